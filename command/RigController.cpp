#include "command/RigController.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "command/ReadOnlyItems.h"
#include "command/WellSelection.h"
#include "engine/LinkStatus.h"
#include "engine/WitsLog.h"
#include "faults/FrameFaults.h"
#include "engine/RigMode.h"
#include "persist/SettingsFiles.h"
#include "persist/Startup.h"
#include "support/Console.h"
#include "support/Text.h"
#include "support/TextFile.h"

namespace {

bool IsMode(int mode) { return mode >= 0 && mode < kRigModeCount; }

CommandResult NotAMode(int mode) {
  return CommandResult::Invalid(
      vorn::Sprintf("Mode %d is none of 0 (Idle), 1 (Drill), 2 (Trip In), 3 (Trip Out)", mode));
}

// The item "+" appends.
COutputItem NewConstantItem() {
  COutputItem item;
  item.m_bReadOnly = false;
  item.m_bEnable = true;
  item.m_strMnem = "Mnem";
  item.m_fSampleRateDepth = 10.0;
  item.m_type = ItemConstant;
  item.m_fA = 50.0;
  item.m_fB = 25.0;
  item.m_fC = 100.0;
  item.m_slidingRotating = FilterBoth;
  item.m_bFlowOnOnly = false;
  item.m_nWitsRecord = -1;
  item.m_nWitsChannel = -1;
  return item;
}

}  // namespace

CRigController::CRigController(CRigSim& engine)
    : m_engine(engine),
      m_stateFile(engine, [this](const std::string& line) { Report(line); }),
      m_run(engine, MakeRunHooks()),
      m_wire(engine.m_witsLink, engine.Clocks().milliseconds),
      m_wireTimer(engine.Clocks().milliseconds, [this] {
        m_wire.Service();
        Publish();
      }) {
  m_engine.m_pCallback = this;
  m_engine.m_pTraffic = this;
  m_engine.m_pFrameSink = &m_wire;
  m_wire.SetListener(this);
  m_wire.SetWakeRequest([this](std::optional<uint32_t> due) { m_wireTimer.WakeAt(due); });
  // A frame may wait behind one in pieces for an output interval, not longer (and not past a day).
  m_wire.SetWaitBound([this] {
    const double ms = m_engine.m_settings.m_fWitsOutInterval * 1000.0;
    return ms > 0.0 ? static_cast<uint32_t>(std::min(ms, 86'400'000.0)) : 0u;
  });
  m_status = Observe();
}

CRigController::~CRigController() {
  if (m_engine.m_pCallback == this) m_engine.m_pCallback = nullptr;
  if (m_engine.m_pTraffic == this) m_engine.m_pTraffic = nullptr;
  if (m_engine.m_pFrameSink == &m_wire) m_engine.m_pFrameSink = nullptr;
  m_wire.SetWakeRequest(nullptr);
  m_wire.SetListener(nullptr);
}

RunHooks CRigController::MakeRunHooks() {
  RunHooks hooks;
  AttachStateFiles(hooks, m_stateFile);
  hooks.afterTick = [this] { AfterTick(); };
  hooks.reportFailure = [this](const std::string& message) { m_runFailure = message; };
  hooks.runningChanged = [this](bool running) {
    if (running) {
      m_wire.RunStarted();
    } else {
      m_wire.RunStopped();
    }
  };
  return hooks;
}

void CRigController::LoadAtStartup() {
  LoadEngineAtStartup(m_engine);
  m_wellRestoreError = RestoreWell(m_engine);
  m_status = Observe();
}

CommandResult CRigController::UseWellFile(const std::string& path, uint64_t rigSeed) {
  return ::UseWellFile(m_engine, path, rigSeed);
}

CommandResult CRigController::UseWellText(std::string_view text, uint64_t rigSeed) {
  return ::UseWellText(m_engine, text, std::string(), rigSeed);
}

CommandResult CRigController::ClearWell() {
  ::ClearWell(m_engine);
  return CommandResult::Done();
}

bool CRigController::IsRunning() const {
  // The flag drops at once when a run ends inside a tick, the timer only when the tick is over.
  return m_run.RunFlag() == 1 && m_run.IsRunning();
}

CommandResult CRigController::RefusedDuringRun(std::string_view what) const {
  return CommandResult::Refused(std::string(what) + " while a run is active");
}

CommandResult CRigController::SetRunning(bool run) {
  if (run == IsRunning()) return CommandResult::Done();
  if (!run) {
    m_run.EndRun();
    Publish();
    return CommandResult::Done();
  }
  m_runFailure.clear();
  m_run.BeginRun();
  const bool started = IsRunning();  // a view told of the start may stop it again at once
  Publish();
  return started ? CommandResult::Done() : CommandResult::Refused(m_runFailure);
}

CommandResult CRigController::SetTenTimes(bool on) {
  m_engine.SetTenTimesSpeed(on);
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::SetGain(int percent) {
  if (percent < 0 || percent > 100) {
    return CommandResult::Invalid(vorn::Sprintf("A gain of %d%% is outside 0 to 100", percent));
  }
  m_engine.m_settings.m_nFlowSPPGain = percent;
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::SetMode(int mode) {
  if (!IsMode(mode)) return NotAMode(mode);
  m_engine.SetMode(mode);
  SaveAfterModeChange(m_stateFile);
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::SetBitDepth(double depth) {
  return SetDepth(depth, "The bit depth cannot be set", &CRigSim::SetBitDepth);
}

CommandResult CRigController::SetHoleDepth(double depth) {
  return SetDepth(depth, "The hole depth cannot be set", &CRigSim::SetHoleDepth);
}

CommandResult CRigController::SetDepth(double depth, std::string_view refusal, void (CRigSim::*set)(double)) {
  if (!std::isfinite(depth)) return CommandResult::Invalid("A depth must be a finite number");
  if (IsRunning()) return RefusedDuringRun(refusal);
  (m_engine.*set)(depth);
  m_stateFile.Save();
  Notify([](CRigViewIF& view) { view.OnStateChanged(StateChange::Depths); });
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::SetDefaultStartState() {
  if (IsRunning()) return RefusedDuringRun("The default start state cannot be set");
  m_engine.SetDefaultStartState();
  SaveAfterModeChange(m_stateFile);  // the default state includes the mode Drill
  Notify([](CRigViewIF& view) { view.OnStateChanged(StateChange::DefaultStartState); });
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::ApplySettings(const CSimSettings& edited, int modeWhenOpened) {
  if (const std::string problem = edited.Validate(); !problem.empty()) return CommandResult::Invalid(problem);
  const bool modeChosen = edited.m_mode != modeWhenOpened;
  if (modeChosen && !IsMode(edited.m_mode)) return NotAMode(edited.m_mode);
  // The run went on while the settings were edited: the mode is the engine's (a trip may have reached
  // its end), unless the editor itself changed it, and then it changes as a choice of mode does.
  const int engineMode = m_engine.m_settings.m_mode;
  m_engine.m_settings = edited;
  m_engine.m_settings.m_mode = engineMode;
  if (modeChosen) {
    m_engine.SetMode(edited.m_mode);
    SaveAfterModeChange(m_stateFile);
  } else {
    SaveSimSettings(m_engine);
  }
  m_status.gain = m_engine.m_settings.m_nFlowSPPGain;  // told with the settings, not on its own
  Notify([this](CRigViewIF& view) { view.OnSettingsChanged(m_engine.m_settings); });
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::ReplaceItems(std::vector<COutputItem> edited) {
  const std::vector<COutputItem>& current = m_engine.m_outputItems;
  std::vector<COutputItem> items = KeepReadOnlyItems(current, std::move(edited));
  // The window adds and removes items only between runs; during a run only edits in place.
  if (items.size() != current.size() && IsRunning()) {
    return RefusedDuringRun("Output items cannot be added or removed");
  }
  // A click, or an edit of another item, must not disturb a run: an item that stays as it was keeps
  // its value, its pending send and its generator's state.
  for (std::size_t i = 0; i < items.size() && i < current.size(); ++i) {
    if (current[i].SameStoredFields(items[i])) items[i] = current[i];
  }
  m_engine.m_outputItems = std::move(items);
  ItemsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::AddItem() {
  if (IsRunning()) return RefusedDuringRun("Output items cannot be added");
  m_engine.m_outputItems.push_back(NewConstantItem());
  ItemsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::RemoveItems(const std::vector<std::size_t>& indices) {
  if (IsRunning()) return RefusedDuringRun("Output items cannot be removed");
  std::vector<COutputItem>& items = m_engine.m_outputItems;
  for (const std::size_t index : indices) {
    if (index >= items.size()) {
      return CommandResult::Invalid(vorn::Sprintf("There is no output item %zu: the list holds %zu", index,
                                                  items.size()));
    }
  }
  std::vector<std::size_t> doomed;
  for (const std::size_t index : indices) {
    if (IsRemovable(items[index])) doomed.push_back(index);
  }
  std::sort(doomed.begin(), doomed.end());
  doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
  if (doomed.empty()) return CommandResult::Done();
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    items.erase(items.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  ItemsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::LoadDefaultItems() {
  m_engine.BuildDefaultItems();
  ItemsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::SetLinkSettings(const CWitsCommSettings& settings) {
  if (IsRunning()) return RefusedDuringRun("The link settings cannot change");
  m_engine.SetCommSettings(settings);
  SaveWitsCommSettings(m_engine);
  Notify([this](CRigViewIF& view) { view.OnLinkSettingsChanged(m_engine.m_witsLink.m_settings); });
  Publish();
  return CommandResult::Done();
}

CommandResult CRigController::InjectFault(const FaultOrder& fault) {
  m_wire.Inject(fault);
  FaultsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::InjectFault(std::string_view text) {
  const Parsed<FaultOrder> fault = ParseFaultText(text);
  if (!fault.ok()) return CommandResult::Invalid(fault.error);
  return InjectFault(*fault.value);
}

CommandResult CRigController::SetFaultPlan(const FaultPlan& plan) {
  m_wire.SetPlan(plan);
  FaultsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::SetFaultPlan(std::string_view json) {
  const Parsed<FaultPlan> plan = ParseFaultPlan(json);
  if (!plan.ok()) return CommandResult::Invalid(plan.error);
  return SetFaultPlan(*plan.value);
}

CommandResult CRigController::ClearFaultPlan() {
  m_wire.StopFaults();
  FaultsChanged();
  return CommandResult::Done();
}

CommandResult CRigController::SetFaultSeed(uint64_t seed) {
  m_wire.SetSeed(seed);
  FaultsChanged();
  return CommandResult::Done();
}

void CRigController::FaultsChanged() {
  Notify([](CRigViewIF& view) { view.OnFaultsChanged(); });
  Publish();  // a disconnect changes the link
}

void CRigController::OnWireOut(const WireOut& out) {
  // CR LF becomes LF in the entry as always; a lone CR (a line-end profile or fault) a line feed too.
  const double now = m_engine.Clocks().nowSeconds();
  const std::string note = WireOutNote(out);
  vorn::AppendTextFile(m_engine.m_strWitsLogPath, HasLoneCr(out.bytes)
                                                      ? WitsOutNotedEntry(now, WireLogText(out.bytes), note)
                                                      : WitsOutNotedEntry(now, out.bytes, note));
  Notify([&out](CRigViewIF& view) { view.OnFrameOut(out.bytes, out.outcome); });
}

void CRigController::OnFaultApplied(const FaultReport& report) {
  vorn::AppendTextFile(m_engine.m_strWitsLogPath, WitsFaultEntry(m_engine.Clocks().nowSeconds(), report.text));
  vorn::Console() << "FAULT " << report.text << std::endl;
  Notify([&report](CRigViewIF& view) { view.OnFault(report); });
}

void CRigController::Close() {
  m_run.EndRun();  // saves the state even when no run was active
  Publish();
}

void CRigController::ItemsChanged() {
  SaveSimSettings(m_engine);
  Notify([](CRigViewIF& view) { view.OnItemsChanged(); });
}

void CRigController::AddView(CRigViewIF& view) {
  if (std::find(m_views.begin(), m_views.end(), &view) == m_views.end()) m_views.push_back(&view);
}

void CRigController::RemoveView(CRigViewIF& view) {
  const auto found = std::find(m_views.begin(), m_views.end(), &view);
  if (found == m_views.end()) return;
  if (m_notifying > 0) {
    *found = nullptr;  // the loop that runs holds indices: the slot goes once it is done
  } else {
    m_views.erase(found);
  }
}

template <typename Tell>
void CRigController::Notify(const Tell& tell) {
  ++m_notifying;
  // Views added meanwhile hear from the next notification on.
  const std::size_t count = m_views.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (CRigViewIF* view = m_views[i]) tell(*view);
  }
  if (--m_notifying == 0) std::erase(m_views, nullptr);
}

void CRigController::OnModeChanged(int) {
  SaveAfterModeChange(m_stateFile);
  const int mode = m_engine.m_settings.m_mode;
  m_status.mode = mode;  // the comparison after the tick must not tell it again
  Notify([mode](CRigViewIF& view) { view.OnModeChanged(mode, true); });
}

void CRigController::OnFrameOut(std::string_view bytes, LinkWrite outcome) {
  Notify([bytes, outcome](CRigViewIF& view) { view.OnFrameOut(bytes, outcome); });
}

void CRigController::OnArrival(std::string_view text) {
  Notify([text](CRigViewIF& view) { view.OnArrival(text); });
  Publish();
}

void CRigController::TickOnce() {
  m_engine.OnTick();
  AfterTick();
}

void CRigController::AfterTick() {
  Publish();
  Notify([](CRigViewIF& view) { view.OnAfterTick(); });
}

RigStatus CRigController::Observe() const {
  const CCommsWrapper& link = m_engine.m_witsLink;
  RigStatus status;
  status.running = IsRunning();
  status.tenTimes = m_engine.TenTimesSpeed();
  status.mode = m_engine.m_settings.m_mode;
  status.subState = m_engine.GetSubState();
  status.link.state = link.m_state;
  status.link.text = LinkMessageText(link);
  status.link.hasClient = link.HasClient();
  status.pumpsOn = m_engine.m_bPumpsOn;
  status.gain = m_engine.m_settings.m_nFlowSPPGain;
  return status;
}

void CRigController::Publish() {
  if (m_publishing) {
    m_publishAgain = true;
    return;
  }
  m_publishing = true;
  do {
    m_publishAgain = false;
    PublishRound();
  } while (m_publishAgain);
  m_publishing = false;
}

void CRigController::PublishRound() {
  const RigStatus was = m_status;
  m_status = Observe();
  const RigStatus now = m_status;  // what this round tells, whatever a view's command changes meanwhile
  if (now == was) return;
  // A start is told before what it changed, a stop after.
  if (now.running && !was.running) Notify([](CRigViewIF& view) { view.OnRunChanged(true); });
  if (now.tenTimes != was.tenTimes) Notify([&now](CRigViewIF& view) { view.OnTenTimesChanged(now.tenTimes); });
  if (now.link != was.link) Notify([&now](CRigViewIF& view) { view.OnLinkChanged(now.link); });
  if (now.mode != was.mode) Notify([&now](CRigViewIF& view) { view.OnModeChanged(now.mode, false); });
  if (now.mode != was.mode || now.subState != was.subState) {
    Notify([&now](CRigViewIF& view) { view.OnSubStateChanged(now.subState); });
  }
  if (now.pumpsOn != was.pumpsOn) Notify([&now](CRigViewIF& view) { view.OnPumpsChanged(now.pumpsOn); });
  if (now.gain != was.gain) Notify([this](CRigViewIF& view) { view.OnSettingsChanged(m_engine.m_settings); });
  if (!now.running && was.running) Notify([](CRigViewIF& view) { view.OnRunChanged(false); });
}

void CRigController::Report(const std::string& line) {
  if (m_views.empty()) {
    vorn::Console() << line << std::endl;
    return;
  }
  Notify([&line](CRigViewIF& view) { view.OnMessage(line); });
}
