#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

class CRigSim;

// What the owner of the run loop (the rig controller) does around it.
struct RunHooks {
  std::function<void()> loadState;                          // before the engine starts a run
  std::function<void()> saveState;                          // at every EndRun, running or not
  std::function<void()> afterTick;                          // display refreshes after each tick
  std::function<void(const std::string&)> reportFailure;    // "Failed to Connect: ..." to the operator
  std::function<void(bool running)> runningChanged;         // lock or unlock the run-time controls
};

// The one run loop: a single-shot 100 ms timer, re-armed after each tick's work, so ticks never queue
// up or overlap. The engine measures elapsed time with its own clock, so the drift of the re-arming
// does not change simulated speeds.
class CRunControl : public QObject {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 100;

  CRunControl(CRigSim& engine, RunHooks hooks, QObject* parent = nullptr);
  CRunControl(const CRunControl&) = delete;
  CRunControl& operator=(const CRunControl&) = delete;

  // The operator's "Run" check box: 1 starts a run, 0 stops it.
  void OnRunClicked(bool checked);
  void BeginRun();
  void EndRun();

  // 1 while the operator wants a run; a failed start sets it back to 0.
  [[nodiscard]] int RunFlag() const { return m_nRun; }
  // A run is active exactly while the timer is armed or a tick is being handled.
  [[nodiscard]] bool IsRunning() const { return m_timer.isActive() || m_inTick; }

 private:
  void OnRunTimer();

  CRigSim& m_engine;
  RunHooks m_hooks;
  QTimer m_timer;
  int m_nRun = 0;
  bool m_inTick = false;
};
