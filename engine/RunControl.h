#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CRigSim;
class CRunControl;

// What calls the ticks of run loops that do not use their own timer: a fleet's one timer serves all
// of its rigs.
class CTickSourceIF {
 public:
  // From now until StopTicks, calls run.Tick() about every CRunControl::kTickMs.
  virtual void StartTicks(CRunControl& run) = 0;
  virtual void StopTicks(CRunControl& run) = 0;

 protected:
  ~CTickSourceIF() = default;
};

// How the run loop's ticks kept time, on the steady clock, for a monitoring system.
struct TickTiming {
  uint64_t ticks = 0;
  uint64_t late = 0;  // ticks that began more than one and a half tick periods after the one before
  std::chrono::nanoseconds slowest{0};  // the longest tick
};

// What the owner of the run loop (the rig controller) does around it.
struct RunHooks {
  std::function<void()> loadState;                          // before the engine starts a run
  std::function<void()> saveState;                          // at every EndRun, running or not
  std::function<void()> afterTick;                          // display refreshes after each tick
  std::function<void(const std::string&)> reportFailure;    // "Failed to Connect: ..." to the operator
  std::function<void(bool running)> runningChanged;         // lock or unlock the run-time controls
};

// The one run loop: a single-shot 100 ms timer, re-armed after each tick's work, so ticks never queue
// up or overlap; or, given a tick source, that source's ticks. The engine measures elapsed time with its own clock, so the drift of the re-arming
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
  // The ticks come from `source` (none: the own timer) from the next run start. Not owned; a run
  // that began with it ends with it, so it must outlive the run loop's runs.
  void SetTickSource(CTickSourceIF* source) { m_tickSource = source; }
  // One tick of an active run, as the tick source calls it.
  void Tick();

  // 1 while the operator wants a run; a failed start sets it back to 0.
  [[nodiscard]] int RunFlag() const { return m_nRun; }
  // A run is active exactly while the timer is armed (or the tick source ticks) or a tick is being handled.
  [[nodiscard]] bool IsRunning() const { return m_timer.isActive() || m_ticksFrom != nullptr || m_inTick; }
  // Of every run so far.
  [[nodiscard]] const TickTiming& Timing() const { return m_timing; }

 private:
  void OnRunTimer();

  CRigSim& m_engine;
  RunHooks m_hooks;
  QTimer m_timer;
  CTickSourceIF* m_tickSource = nullptr;
  CTickSourceIF* m_ticksFrom = nullptr;  // the source asked for this run's ticks
  int m_nRun = 0;
  bool m_inTick = false;
  TickTiming m_timing;
  std::optional<std::chrono::steady_clock::time_point> m_lastTickStart;  // of this run
};
