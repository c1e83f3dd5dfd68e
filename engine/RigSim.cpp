#include "engine/RigSim.h"

#include <limits>

#include "engine/PumpBroadcast.h"
#include "support/DataRoot.h"
#include "support/Numbers.h"
#include "support/ProfileSection.h"

namespace {

constexpr const char* kDictionaryUnreadable =
    "Unable to read in master default embedded resource.Tell Programmer.";

// The WITS link's settings until "WitsCommSettings.json" says otherwise.
CWitsCommSettings InitialLinkSettings() {
  CWitsCommSettings settings;
  settings.commType = TcpIp;
  settings.nCommPort = 3;
  settings.nBaudRate = 9600;
  settings.tcpIpType = Master;
  settings.nTcpIpPort = 1234;
  settings.strIpAddress = "127.0.0.1";
  return settings;
}

// The skid link has the WITS link's settings with the port one higher. Past the last 32-bit port
// there is none: the port stays out of range, and the link's open refuses it like any other.
CWitsCommSettings SkidLinkSettings(const CWitsCommSettings& witsSettings) {
  CWitsCommSettings skid = witsSettings;
  if (witsSettings.nTcpIpPort < std::numeric_limits<int32_t>::max()) skid.nTcpIpPort = witsSettings.nTcpIpPort + 1;
  return skid;
}

void AttachLink(CCommsWrapper& link, const CWitsCommSettings& settings, CommsReceiverIF* receiver,
                LinkId id, const vorn::Clocks& clocks) {
  link.m_settings = settings;
  link.m_pReceiver = receiver;
  link.m_nLinkId = id;
  link.SetClocks(clocks);
}

std::string FlagText(bool flag) { return flag ? "TRUE" : "FALSE"; }

}  // namespace

CRigSim::CRigSim(vorn::Clocks clocks, const WitsDictionarySource& dictionary)
    : m_pumpsMessage(SendExternalPumpsMessage), m_clocks(std::move(clocks)) {
  // The skid switch is read once, here, and written back so the entry exists for the user to edit.
  vorn::CProfileSection local("_Local", "");
  const int skidSwitch = local.GetInt("Enable Skid Sim Comms");
  local.WriteInt("Enable Skid Sim Comms", skidSwitch);
  m_bSkidLinkEnabled = skidSwitch != 0;

  bool dictionaryFailed = false;
  m_witsDictionary = SharedWitsDictionary(dictionary, dictionaryFailed);
  if (dictionaryFailed) m_strDictionaryError = kDictionaryUnreadable;

  const CWitsCommSettings linkSettings = InitialLinkSettings();
  AttachLink(m_witsLink, linkSettings, this, WitsLink, m_clocks);
  if (m_bSkidLinkEnabled) AttachLink(m_skidLink, SkidLinkSettings(linkSettings), this, SkidLink, m_clocks);

  // These stand until the first processed tick recomputes them.
  const double gain = m_settings.m_nFlowSPPGain;
  m_fDepth = m_fHoleDepth = 1000.0;
  m_fBlockHeight_ = 0.0;
  m_fROP = 0.0;
  m_bInSlips = false;
  m_bOnBottom = true;
  m_fRPM = m_settings.m_fRPM;
  m_fFlow = gain * m_settings.m_fFlowRate / 100.0;
  m_fSPM1 = m_settings.m_fPump1SPM;
  m_fSPM2 = m_settings.m_fPump2SPM;
  m_fWOB = m_settings.m_fWOB;
  m_fTorq = m_settings.m_fTorq;
  m_fHookLoad = m_settings.m_fHookLoad;
  m_fSPP = gain * m_settings.m_fSPP / 100.0;

  BuildDefaultItems();
}

std::string CRigSim::DataRoot() const { return m_strDataRoot.empty() ? vorn::DataRootFolder() : m_strDataRoot; }

void CRigSim::OnTick() {
  m_witsLink.Service();
  if (m_bSkidLinkEnabled) m_skidLink.Service();
  LogUnloggedWitsIn();

  const uint32_t now = m_clocks.milliseconds();
  m_fROP = 0.0;
  if (m_pReplay != nullptr) m_pReplay->Advance(now);
  m_bLastTickStepped = false;
  if (!m_lastTickTime) {
    m_lastTickTime = now;
    return;
  }

  const double k = m_bTenTimesSpeed ? 10.0 : 1.0;
  TickTimes times{};
  times.dtH = vorn::ElapsedMs(now, *m_lastTickTime) / 1000.0 / 3600.0 * k;
  times.tState = vorn::ElapsedMs(now, m_stateStartTime) / 1000.0 * k;

  m_bPumpsOn = false;
  m_bRotating = false;
  m_bInSlips = false;

  if (m_pReplay != nullptr) {
    // A replayed well moves by its file alone.
    RunDueIntervalActions(now);
    m_lastTickTime = now;
    m_bLastTickStepped = true;
    return;
  }
  const int mode = m_settings.m_mode;
  switch (mode) {
    case Drill: StepDrill(times); break;
    case TripIn: StepTripIn(times); break;
    case TripOut: StepTripOut(times); break;
    default: break;
  }
  // A new sub-state records its start. The mode read before the step names the machine that acted,
  // even when the step itself changed the mode.
  if (mode >= 0 && mode < kRigModeCount) {
    const auto m = static_cast<size_t>(mode);
    if (m_subState[m] != m_subStatePrev[m]) {
      m_subStatePrev[m] = m_subState[m];
      m_fDepthStartState = m_fDepth;
      m_stateStartTime = now;
    }
  }

  DeriveChannels();
  if (m_well) TickWell(times);
  RunDueIntervalActions(now);

  m_bPumpsOnPrev = m_bPumpsOn;
  m_lastTickTime = now;
  m_bLastTickStepped = true;
}

void CRigSim::DeriveChannels() {
  const CSimSettings& s = m_settings;
  const double gain = s.m_nFlowSPPGain;
  if (m_bPumpsOn) {
    m_fSPP = gain * s.m_fSPP / 100.0;
    m_fFlow = gain * s.m_fFlowRate / 100.0;
    m_fSPM1 = s.m_fPump1SPM;
    m_fSPM2 = s.m_fPump2SPM;
  } else {
    m_fSPP = m_fFlow = m_fSPM1 = m_fSPM2 = 0.0;
  }
  if (m_bPumpsOn != m_bPumpsOnPrev && m_pumpsMessage) m_pumpsMessage(m_bPumpsOn);

  m_bOnBottom = m_fDepth >= m_fHoleDepth - 1.0;
  m_fWOB = m_bOnBottom ? s.m_fWOB : 0.0;
  m_fTorq = m_bOnBottom ? s.m_fTorq : 0.0;
  m_fRPM = m_bRotating ? s.m_fRPM : 0.0;
  if (m_bInSlips) {
    m_fHookLoad = 0.0;
  } else {
    m_fHookLoad = s.m_fHookLoad - (m_bOnBottom ? s.m_fWOB : 0.0);
  }
}

void CRigSim::RunDueIntervalActions(uint32_t now) {
  const auto due = [now](const std::optional<uint32_t>& last, double interval) {
    return !last || vorn::ElapsedMs(now, *last) / 1000.0 >= interval;
  };
  if (due(m_lastCalcTime, m_settings.m_fCalcOutputInterval)) {
    if (m_pReplay != nullptr) {
      ApplyReplayValues();
    } else {
      const double t = m_clocks.nowSeconds();
      for (COutputItem& item : m_outputItems) item.Evaluate(*this, t);
      if (m_well) m_well->OnItemsEvaluated();
    }
    m_lastCalcTime = now;
  }
  if (due(m_lastCsvTime, m_settings.m_fWriteFileInterval)) {
    WriteOutputRow();
    m_lastCsvTime = now;
  }
  if (m_pReplay != nullptr && m_pReplay->SendsFrames()) {
    SendReplayedFrames();  // whole frames at their own moments, not at the interval
  } else if (!m_settings.m_bRequiresPing && due(m_lastWitsTime, m_settings.m_fWitsOutInterval)) {
    DoWitsOut();
    m_lastWitsTime = now;
  }
}

bool CRigSim::StartRun(std::string& errorText) {
  m_witsLink.m_nStopRequest = 0;
  m_witsLink.Service();
  if (m_bSkidLinkEnabled) {
    m_skidLink.m_nStopRequest = 0;
    m_skidLink.Service();
  }
  m_lastTickTime.reset();
  m_bLastTickStepped = false;
  m_lastCalcTime.reset();
  m_lastCsvTime.reset();
  m_lastWitsTime.reset();
  MakeReplayItems();
  if (CreateRunFiles(errorText)) return true;
  // No tick will serve the links of a run that did not start: a server would take clients that get
  // nothing, and a serial port would stay locked.
  CloseLinks();
  return false;
}

void CRigSim::StopRun() {
  CloseLinks();
  LogUnloggedWitsIn(true);
  m_witsInItems.clear();
}

void CRigSim::CloseLinks() {
  const auto stop = [](CCommsWrapper& link) {
    link.m_nStopRequest = 1;
    if (link.m_state == TryingToConnect || link.m_state == Connected) link.Close();
    link.Service();
  };
  stop(m_witsLink);
  if (m_bSkidLinkEnabled) stop(m_skidLink);
}

void CRigSim::SetCommSettings(const CWitsCommSettings& settings) {
  m_witsLink.m_settings = settings;
  m_skidLink.m_settings = SkidLinkSettings(settings);
}

void CRigSim::SetMode(int newMode) {
  const int current = m_settings.m_mode;
  if (newMode == current) return;
  for (int mode : {current, newMode}) {
    if (mode >= 0 && mode < kRigModeCount) {
      m_subState[static_cast<size_t>(mode)] = 0;
      m_subStatePrev[static_cast<size_t>(mode)] = 0;
    }
  }
  m_settings.m_mode = newMode;
}

void CRigSim::ChangeModeFromTick(int newMode) {
  m_settings.m_mode = newMode;
  if (m_pCallback != nullptr) m_pCallback->OnModeChanged(newMode);
}

void CRigSim::SetBitDepth(double depth) {
  m_fDepth = depth;
  if (depth >= m_fHoleDepth) m_fHoleDepth = depth;
}

void CRigSim::SetHoleDepth(double depth) {
  m_fHoleDepth = depth;
  if (depth <= m_fDepth) m_fDepth = depth;
}

void CRigSim::SetDefaultStartState() {
  m_lastTickTime.reset();
  m_subState[Drill] = 0;
  m_subStatePrev[Drill] = 0;
  m_fDepthStartState = -1.0;
  m_bPumpsOn = m_bRotating = m_bInSlips = false;
  m_fBlockHeight_ = m_fHookLoad = m_fROP = m_fFlow = m_fSPM1 = m_fSPM2 = 0.0;
  m_fWOB = m_fTorq = m_fRPM = m_fSPP = 0.0;
  m_fDepth = m_fHoleDepth = 1000.0;
  m_settings.m_mode = Drill;
  m_stateStartTime = static_cast<uint32_t>(-1);
  m_lastCalcTime.reset();
  m_lastCsvTime.reset();
  m_lastWitsTime.reset();
  m_bOnBottom = true;
}

CSimState CRigSim::GetSimState() const {
  CSimState state;
  state.m_fDepth = m_fDepth;
  state.m_fHoleDepth = m_fHoleDepth;
  state.m_fBlockHeight_ = m_fBlockHeight_;
  state.m_state_ = m_subState[Drill];
  state.m_statePrev_ = m_subStatePrev[Drill];
  state.nTimeInState = m_lastTickTime ? vorn::ElapsedMs(*m_lastTickTime, m_stateStartTime) : 0;
  state.m_fDepthStartState = m_fDepthStartState;
  return state;
}

void CRigSim::SetSimState(const CSimState& state) {
  const uint32_t now = m_clocks.milliseconds();
  m_fDepth = state.m_fDepth;
  m_fHoleDepth = state.m_fHoleDepth;
  m_fBlockHeight_ = state.m_fBlockHeight_;
  m_subState[Drill] = state.m_state_;
  m_subStatePrev[Drill] = state.m_statePrev_;
  const int32_t spent = state.nTimeInState < 0 ? 0 : state.nTimeInState;
  m_stateStartTime = now - static_cast<uint32_t>(spent);
  m_fDepthStartState = state.m_fDepthStartState;
}

std::vector<std::pair<std::string, std::string>> CRigSim::GetStateValues() const {
  const auto number = [](double value) { return vorn::FormatFixed(value, 2); };
  if (m_well) return WellStateValues();
  return {
      {"DEPTH", number(m_fDepth)},       {"HOLE_DEPTH", number(m_fHoleDepth)},
      {"BLOCK_HEIGHT", number(m_fBlockHeight_)}, {"ROP", number(m_fROP)},
      {"HOOKLOAD", number(m_fHookLoad)}, {"SLIPS", FlagText(m_bInSlips)},
      {"ON_BOTTOM", FlagText(m_bOnBottom)}, {"RPM", number(m_fRPM)},
      {"FLOW", number(m_fFlow)},         {"SPP", number(m_fSPP)},
      {"SPM1", number(m_fSPM1)},         {"SPM2", number(m_fSPM2)},
      {"WOB", number(m_fWOB)},           {"TORQ", number(m_fTorq)},
  };
}

const std::vector<std::string>& CRigSim::GetSubStateNames() const { return SubStateNames(m_settings.m_mode); }

int CRigSim::GetSubState() const {
  const int mode = m_settings.m_mode;
  if (mode < 0 || mode >= kRigModeCount) return 0;
  return m_subState[static_cast<size_t>(mode)];
}
