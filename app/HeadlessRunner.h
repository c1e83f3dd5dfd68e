#pragma once

#include <functional>

#include <QObject>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/LinkStatusLines.h"
#include "command/RigController.h"
#include "engine/RigSim.h"
#include "history/HistoryRecorder.h"

// The fault options of the command line (a plan, a seed, faults to inject) given to a controller.
void ApplyFaultOptions(CRigController& controller, const CommandLineOptions& options);
// Loads the --replay file into the controller when one is given; each replay line (and why the file
// did not load) goes to `print`. False when it did not load.
bool ApplyReplayOption(CRigController& controller, const CommandLineOptions& options,
                       const std::function<void(const std::string&)>& print);
// --well: the well behind the rig; false, with the reason on `status`, when its file does not read.
bool ApplyWellOption(CRigController& controller, const CommandLineOptions& options, std::ostream& status,
                     uint64_t rigSeed = 0);

// The simulator without a window, for test benches and servers: the window's start-up and run control
// without the window, a run started at once, and one status line on standard error for every change of
// link (see CLinkStatusLines), mode or sub-state, every run start and stop, and every save of the state
// that failed. It is a view of its rig's controller, so a run started or stopped by another issuer (the
// control API) shows in the same lines.
class CHeadlessRunner : public QObject, private CRigViewIF {
  Q_OBJECT

 public:
  // The engine reads time from `clocks` (tests drive them by hand).
  CHeadlessRunner(const CommandLineOptions& options, std::ostream& status, vorn::Clocks clocks = {});
  ~CHeadlessRunner() override;
  CHeadlessRunner(const CHeadlessRunner&) = delete;
  CHeadlessRunner& operator=(const CHeadlessRunner&) = delete;

  // Starts the run. False when it could not start; the exit code is then ExitCode().
  bool Start();
  // Ends the run as closing the window does (state saved, links closed) and leaves the event loop with
  // `exitCode`, or 1 when it is 0 but the state could not be saved.
  void Stop(int exitCode);
  [[nodiscard]] int ExitCode() const { return m_exitCode; }

  [[nodiscard]] CRigController& Controller() { return m_controller; }
  // The run's history: kept only when --history-csv or --control asks for it.
  [[nodiscard]] const CHistoryRecorder* History() const { return m_history.get(); }

 private:
  void OnRunChanged(bool running) override;
  void OnModeChanged(int mode, bool byEngine) override;
  void OnSubStateChanged(int subState) override;
  void OnLinkChanged(const RigLinkStatus& link) override;
  void OnMessage(const std::string& line) override;
  void OnFault(const FaultReport& report) override;
  void OnAfterTick() override;

  void ReportChanges();
  void EndWhenDurationPassed();
  void Print(std::string_view kind, const std::string& line);
  void WriteHistoryCsv();

  CommandLineOptions m_options;
  std::ostream& m_status;
  CRigSim m_engine;
  CRigController m_controller{m_engine};
  std::unique_ptr<CHistoryRecorder> m_history;
  // The run's time on the engine's millisecond clock since "Run started", summed tick by tick (so a
  // run may last longer than the clock's wrap).
  vorn::CElapsedSum m_runTime;
  int m_exitCode = 0;
  bool m_stopped = false;

  // What the last status lines said, so only changes are printed.
  CLinkStatusLines m_linkLines;
  int m_lastMode = -1000;
  std::string m_lastSubState;
};
