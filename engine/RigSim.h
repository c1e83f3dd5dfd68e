#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "comms/CommsReceiverIF.h"
#include "comms/CommsWrapper.h"
#include "comms/LinkWrite.h"
#include "engine/OutputItem.h"
#include "engine/ReplaySource.h"
#include "engine/RigMode.h"
#include "engine/SimSettings.h"
#include "engine/SimState.h"
#include "engine/WellModelIF.h"
#include "engine/WitsLog.h"
#include "support/Clock.h"
#include "wits/WitsDictionary.h"
#include "wits/WitsFrameSink.h"
#include "wits/WitsInItem.h"

// Told when the engine changes the activity mode itself (a trip reaching bottom or surface).
class CRigSimMessagesIF {
 public:
  virtual void OnModeChanged(int newMode) = 0;
  virtual ~CRigSimMessagesIF() = default;
};

// Told of what leaves and arrives on the WITS link, after the engine has written, logged and
// tabled it; nothing the listener does changes what the engine writes.
class CWitsTrafficIF {
 public:
  // A frame that DoWitsOut built, as the bytes handed to the link, and what the link did with them.
  virtual void OnFrameOut(std::string_view bytes, LinkWrite outcome) = 0;
  // Text that arrived on the WITS link (zero bytes removed), before any frame sent in answer.
  virtual void OnArrival(std::string_view text) = 0;
  virtual ~CWitsTrafficIF() = default;
};

// The simulated rig. It advances on every OnTick while a run is active: moves bit, block and hole
// bottom as the current mode's sub-state machine says, derives the surface channels, and at their
// intervals evaluates the output items, writes a CSV row and sends a WITS frame. Time comes only from
// the clocks it was given. The rig controller and the settings files write its fields directly; the
// views read them.
class CRigSim : public CommsReceiverIF {
 public:
  // dictionary: where the WITS dictionary's table text comes from, read once here.
  explicit CRigSim(vorn::Clocks clocks = {}, const WitsDictionarySource& dictionary = WitsDictionaryText);
  ~CRigSim() override = default;
  CRigSim(const CRigSim&) = delete;
  CRigSim& operator=(const CRigSim&) = delete;

  void OnTick();
  // Opens the links and creates the run's files; false with the reason when the CSV file cannot be
  // created, and the links closed again.
  bool StartRun(std::string& errorText);
  void StopRun();

  void SetCommSettings(const CWitsCommSettings& settings);
  void SetMode(int newMode);
  void SetBitDepth(double depth);
  void SetHoleDepth(double depth);
  void SetDefaultStartState();
  void SetTenTimesSpeed(bool on) { m_bTenTimesSpeed = on; }
  [[nodiscard]] bool TenTimesSpeed() const { return m_bTenTimesSpeed; }
  // Whether the last OnTick stepped the rig and derived the channels. The first tick of a run, or
  // after a reset of the start state, only takes its time: until the next one, the channels hold
  // values no tick computed.
  [[nodiscard]] bool LastTickStepped() const { return m_bLastTickStepped; }

  [[nodiscard]] CSimState GetSimState() const;
  void SetSimState(const CSimState& state);

  // The fourteen state channels as (name, text): numbers with two decimals, flags TRUE/FALSE.
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> GetStateValues() const;
  [[nodiscard]] const std::vector<std::string>& GetSubStateNames() const;
  [[nodiscard]] int GetSubState() const;

  // A well behind the rig, or none (the rig of the settings' fixed values). The engine's lengths and
  // the settings' flow, WOB and RPM are then in the well's units.
  void SetWellModel(std::unique_ptr<CWellModelIF> model);
  [[nodiscard]] const CWellModelIF* WellModel() const { return m_well.get(); }
  // The reading of one of WellChannelNames(); NaN without a well.
  [[nodiscard]] double WellChannelValue(std::size_t wellChannel) const;
  std::string m_strWellFile;  // the chosen well's file, kept in the settings file; empty: none
  std::string m_strWellText;  // the text the well in use was read from

  // Empties the item list and appends the twenty-two default items.
  void BuildDefaultItems();
  // Appends one CSV row of the enabled items' value texts to the run's CSV file.
  void WriteOutputRow();
  // Sends the items that have a new value as one WITS frame on the WITS link and logs it. With a frame
  // sink attached, the sink takes the items' lines instead, grouped as asked, and writes and logs them.
  void DoWitsOut(FrameGrouping grouping = FrameGrouping::AsConfigured);
  // Bytes that arrived on the WITS link (frames) or the skid link (gain command).
  void CommsReceiverIF_OnReceive(std::vector<uint8_t> bytes, int32_t linkId) override;
  // A client of a server serving several left: its incomplete input goes with it.
  void CommsReceiverIF_OnClientGone(uint64_t clientId, int32_t linkId) override;

  [[nodiscard]] const vorn::Clocks& Clocks() const { return m_clocks; }
  // The data root in use: m_strDataRoot, or the program's.
  [[nodiscard]] std::string DataRoot() const;
  [[nodiscard]] bool SkidLinkEnabled() const { return m_bSkidLinkEnabled; }
  // Why the WITS dictionary could not be read at construction; empty when it was.
  [[nodiscard]] const std::string& DictionaryError() const { return m_strDictionaryError; }

  CRigSimMessagesIF* m_pCallback = nullptr;
  CWitsTrafficIF* m_pTraffic = nullptr;  // not owned; may be absent
  CWitsFrameSinkIF* m_pFrameSink = nullptr;  // not owned; absent: frames go straight to the WITS link
  // A recorded well played instead of the simulated rig; set before StartRun, kept until the run
  // stops. Not owned; absent: the rig simulates.
  CReplaySourceIF* m_pReplay = nullptr;
  std::string m_strWitsLogPath;
  std::string m_strCsvPath;
  // Where the settings files and the run's files are: each rig of a fleet has its own root. Empty:
  // the program's data root. Set before the start-up loads the settings.
  std::string m_strDataRoot;
  CSimSettings m_settings;

  bool m_bPumpsOn = false;
  bool m_bPumpsOnPrev = false;  // the pumps flag of the previous processed tick
  bool m_bRotating = false;
  bool m_bInSlips = false;
  bool m_bOnBottom = true;

  double m_fDepth = 1000.0;  // bit depth
  double m_fHoleDepth = 1000.0;
  double m_fBlockHeight_ = 0.0;
  double m_fHookLoad = 0.0;
  double m_fROP = 0.0;
  double m_fFlow = 0.0;
  double m_fSPM1 = 0.0;
  double m_fSPM2 = 0.0;
  double m_fWOB = 0.0;
  double m_fTorq = 0.0;
  double m_fRPM = 0.0;
  double m_fSPP = 0.0;

  std::vector<COutputItem> m_outputItems;
  // The items a replay feeds, one per channel of the source, made when a run with a replay starts;
  // the run's CSV columns and frames are theirs instead of the output items'.
  std::vector<COutputItem> m_replayItems;

  std::optional<uint32_t> m_lastTickTime;
  std::array<int32_t, kRigModeCount> m_subState{};      // one per mode: Idle, Drill, Trip In, Trip Out
  std::array<int32_t, kRigModeCount> m_subStatePrev{};  // the sub-state whose start was last recorded
  uint32_t m_stateStartTime = static_cast<uint32_t>(-1);
  double m_fDepthStartState = -1.0;
  std::optional<uint32_t> m_lastCalcTime;
  std::optional<uint32_t> m_lastCsvTime;
  std::optional<uint32_t> m_lastWitsTime;

  CCommsWrapper m_witsLink;
  CCommsWrapper m_skidLink;
  std::string m_strWitsInBuffer;
  // When the WITS link is a server serving several receivers, each has its own input buffer, so that
  // frames never mix between them; keyed by the link's number for the client.
  std::map<uint64_t, std::string> m_witsInClientBuffers;
  WitsInItems m_witsInItems;
  std::shared_ptr<const WitsDictionary> m_witsDictionary;  // never null

  // Called on each change of the pumps flag; tests put a recorder here.
  std::function<void(bool)> m_pumpsMessage;

 private:
  struct TickTimes {
    double dtH;     // simulated hours since the previous tick
    double tState;  // simulated seconds in the current sub-state
  };

  void StepDrill(const TickTimes& times);
  void StepTripIn(const TickTimes& times);
  void StepTripOut(const TickTimes& times);
  void DeriveChannels();
  // With a well: tells it the tick's activity and takes its channels.
  void TickWell(const TickTimes& times);
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> WellStateValues() const;
  void RunDueIntervalActions(uint32_t now);
  // The items a run evaluates, writes and sends: the replay's during a replay of values.
  [[nodiscard]] std::vector<COutputItem>& RunItems();
  // A replay's part of a run start and of a tick.
  void MakeReplayItems();
  void ApplyReplayValues();
  void SendReplayedFrames();
  void SendReplayedFrame(const std::string& bytes);
  void ChangeModeFromTick(int newMode);
  // Asks the links to stay closed and closes each one that is open.
  void CloseLinks();
  // The file part of a run start: names the WITS log and the CSV file and writes the CSV header.
  bool CreateRunFiles(std::string& errorText);
  // Arrivals on the WITS link: frames into the received-items table, the log, a frame in answer.
  void ReceiveWits(const std::string& text, std::string& buffer);
  // The answer to an arrival that completed `validFrames` frames with data, by the link's answer mode.
  void AnswerArrival(std::size_t validFrames);
  // An arrival on the skid link: the gain command, nothing else.
  void ReceiveSkidCommand(const std::string& bytes);
  // Logs what the WITS log's minute only counted, once the minute has ended (or at once when the run
  // stops), so the note comes even when nothing more arrives.
  void LogUnloggedWitsIn(bool runStops = false);

  std::unique_ptr<CWellModelIF> m_well;
  std::vector<std::size_t> m_wellChannels;    // the model's index of each of WellChannelNames()
  std::array<std::size_t, 9> m_wellOwn{};     // ... and of ROP, HOOKLOAD, RPM, FLOW, SPP, SPM1, SPM2, WOB, TORQ
  vorn::Clocks m_clocks;
  CWitsInLogBudget m_witsInLogBudget;
  bool m_bTenTimesSpeed = false;
  bool m_bLastTickStepped = false;
  bool m_bSkidLinkEnabled = false;
  std::string m_strDictionaryError;
};
