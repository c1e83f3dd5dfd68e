#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "command/CommandResult.h"
#include "command/ReplayCommands.h"
#include "command/RigViewIF.h"
#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "faults/FaultOrder.h"
#include "faults/WitsWire.h"
#include "persist/SimStateFile.h"
#include "support/WakeTimer.h"

// The commands of one rig, with their checks, their saves and their order of operations, for every
// issuer alike: the main window, the headless runner, the control API. It owns the run loop and the
// keeper of the state file, hears the engine's own mode changes and its WITS traffic, and tells every
// attached view what changed (see CRigViewIF): the changes a command names at once, and the run,
// ten-times, link, mode, sub-state, pumps and gain by comparing after each tick, arrival and command.
//
// Commands that change stored data save their file at once. The commands whose controls the window
// locks during a run (link settings, adding and removing items, bit and hole depth, default start
// state) are refused while a run is active.
//
// The engine's frames go to the WITS link through the controller's wire (the wire profile and the
// fault layer); the fault commands arm and disarm its faults.
class CRigController : public CRigSimMessagesIF, public CWitsTrafficIF, private CWireListenerIF {
 public:
  // The engine must outlive the controller; the controller becomes its callback and traffic listener.
  explicit CRigController(CRigSim& engine);
  ~CRigController() override;
  CRigController(const CRigController&) = delete;
  CRigController& operator=(const CRigController&) = delete;

  // The start-up after the engine is built: the link settings, the data folders, the settings and the
  // saved state. Views are not told: they read the rig as it stands when they attach.
  void LoadAtStartup();

  // Starts or stops a run. A start loads the saved state (unless its last save failed), opens the links,
  // makes the run's files and ticks every 100 ms; one that fails is Refused with "Failed to Connect: %s"
  // and the engine's reason. A stop saves the state and closes the links. Asking for the run as it is
  // changes nothing.
  // The well behind the rig, from a file or a text (a path, when given, is remembered), or none.
  CommandResult UseWellFile(const std::string& path, uint64_t rigSeed = 0);
  CommandResult UseWellText(std::string_view text, uint64_t rigSeed = 0);
  CommandResult ClearWell();
  // Why the well the settings file remembers could not be loaded at start-up; empty when it was.
  [[nodiscard]] const std::string& WellRestoreError() const { return m_wellRestoreError; }
  CommandResult SetRunning(bool run);
  // Simulated time ten times as fast from the next tick. Nothing is saved.
  CommandResult SetTenTimes(bool on);
  // The flow and standpipe-pressure gain, 0 to 100 percent, live: nothing is saved.
  CommandResult SetGain(int percent);
  // The operator's choice of mode (0 Idle, 1 Drill, 2 Trip In, 3 Trip Out): a different mode starts the
  // old and the new mode's machines at Idle; both files are saved even for the mode already set.
  CommandResult SetMode(int mode);
  // Bit depth (the hole follows when the bit passes it) and hole depth (the bit follows when the hole
  // rises above it); the state is saved. Refused during a run.
  CommandResult SetBitDepth(double depth);
  CommandResult SetHoleDepth(double depth);
  // The default starting state (mode Drill among it); both files are saved. Refused during a run.
  CommandResult SetDefaultStartState();
  // The settings editor's OK: every field of `edited` is taken but the mode, which stays the engine's
  // (a trip may have ended while the editor was open) unless the editor changed it from
  // `modeWhenOpened`; then it changes as SetMode does. Invalid when the settings do not hold together.
  // The settings file is saved.
  CommandResult ApplySettings(const CSimSettings& edited, int modeWhenOpened);
  // The item list as the output grid reads it back: the read-only items stay as they are (see
  // KeepReadOnlyItems); an item whose stored fields did not change keeps its run-time state (value,
  // pending send, generator). Refused during a run when the list would grow or shrink. The settings
  // file is saved.
  CommandResult ReplaceItems(std::vector<COutputItem> edited);
  // Appends a constant item ("Mnem", 50). Refused during a run.
  CommandResult AddItem();
  // Removes the items at these indices, read-only items excepted; the file is saved when one went.
  // Invalid for an index past the list. Refused during a run.
  CommandResult RemoveItems(const std::vector<std::size_t>& indices);
  // The default item list in place of the current one; allowed during a run.
  CommandResult LoadDefaultItems();
  // The WITS link's settings (the skid link's follow), from the next run start; the file is saved.
  // Refused during a run.
  CommandResult SetLinkSettings(const CWitsCommSettings& settings);
  // Arms a fault: once (the next frame; a silence or disconnect at once during a run, else at the
  // first frame), every N-th frame or with probability p per frame. The text form reads
  // "NAME[:KEY=VALUE,...]"; Invalid, naming the fault and the parameter, when it does not read.
  CommandResult InjectFault(const FaultOrder& fault);
  CommandResult InjectFault(std::string_view text);
  // A fault plan in place of the current one: its times count from the run start, or from now during
  // a run. The JSON form is the plan file's; Invalid when it does not read, and nothing is taken.
  CommandResult SetFaultPlan(const FaultPlan& plan);
  CommandResult SetFaultPlan(std::string_view json);
  // Disarms the plan and every injected fault.
  CommandResult ClearFaultPlan();
  // The seed of the faults' random choices, from now and at every run start.
  CommandResult SetFaultSeed(uint64_t seed);
  [[nodiscard]] const CWitsWire& Wire() const { return m_wire; }

  // The run loop's ticks come from `source` (none: its own timer) from the next run start; see
  // CRunControl::SetTickSource.
  void SetTickSource(CTickSourceIF* source) { m_run.SetTickSource(source); }

  // What closing the program does: the run ends, and the state is saved whether a run was active or not.
  void Close();

  // One step of the run loop without its timer: the engine's tick, then the views told as after every
  // tick. For those that drive a rig at their own pace (benchmarks); the run loop does the same.
  void TickOnce();

  // Views are told in the order they were added. Adding one twice adds it once. A view is not owned:
  // remove it before it is destroyed, and before the controller is.
  void AddView(CRigViewIF& view);
  void RemoveView(CRigViewIF& view);

  [[nodiscard]] bool IsRunning() const;
  [[nodiscard]] const TickTiming& Timing() const { return m_run.Timing(); }
  // The last save of the state failed (it was told); a successful save ends that.
  [[nodiscard]] bool StateSaveFailed() const { return m_stateFile.LastSaveFailed(); }
  [[nodiscard]] const RigStatus& Status() const { return m_status; }
  [[nodiscard]] const CRigSim& Engine() const { return m_engine; }
  // The replay of a recorded well: loaded and dropped between runs, steered during one.
  [[nodiscard]] CReplayCommands& Replay() { return m_replay; }

  // The engine changed the mode itself, inside a tick: both files are saved and the views told.
  void OnModeChanged(int newMode) override;
  void OnFrameOut(std::string_view bytes, LinkWrite outcome) override;
  void OnArrival(std::string_view text) override;

 private:
  void OnWireOut(const WireOut& out) override;
  void OnFaultApplied(const FaultReport& report) override;
  void FaultsChanged();
  RunHooks MakeRunHooks();
  void AfterTick();
  // The rig as the views would show it now.
  [[nodiscard]] RigStatus Observe() const;
  // Tells the views what differs from what they were last told. One round at a time: a command issued
  // from inside a round is told in a round of its own once this one is done.
  void Publish();
  void PublishRound();
  // Calls `tell` for every view attached now, skipping any removed meanwhile.
  template <typename Tell>
  void Notify(const Tell& tell);
  // "<what> while a run is active".
  [[nodiscard]] CommandResult RefusedDuringRun(std::string_view what) const;
  // Either depth command: checked, set by the engine's `set`, saved, told.
  CommandResult SetDepth(double depth, std::string_view refusal, void (CRigSim::*set)(double));
  // After the list changed: the settings file, then the views.
  void ItemsChanged();
  void Report(const std::string& line);

  CRigSim& m_engine;
  CReplayCommands m_replay{m_engine};
  CSimStateFile m_stateFile;
  std::string m_wellRestoreError;
  CRunControl m_run;
  CWitsWire m_wire;
  vorn::CWakeTimer m_wireTimer;
  std::string m_runFailure;  // the reason of the last failed run start

  std::vector<CRigViewIF*> m_views;  // a removed view leaves a null until the notifications end
  int m_notifying = 0;
  RigStatus m_status;
  bool m_publishing = false;
  bool m_publishAgain = false;
};
