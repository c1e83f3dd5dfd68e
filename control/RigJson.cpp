#include "control/RigJson.h"

#include <algorithm>

#include <rapidjson/document.h>

#include <cmath>

#include "command/RigController.h"
#include "control/JsonText.h"
#include "engine/LinkStatus.h"
#include "engine/RigMode.h"
#include "persist/SettingsFiles.h"
#include "support/System.h"
#include "support/Text.h"

namespace vorn::control {

namespace {

void Named(CJsonText& json, std::string_view key, int index, const std::string& name) {
  json.Key(key).Begin().Integer("index", index).Text("name", name).End();
}

}  // namespace

// Both times are seconds since 2000 with a millisecond fraction, held to about a tenth of a microsecond
// by a double of that size, so their difference carries that noise (4.300000071525574): the age comes
// to the millisecond the clock gives.
double AgeSeconds(double now, double timeReceived) { return std::round((now - timeReceived) * 1000.0) / 1000.0; }

std::string ModeName(int mode) { return NameAt(RigModeNames(), mode, std::to_string(mode)); }

std::string SubStateName(int mode, int subState) {
  return NameAt(SubStateNames(mode), subState, std::to_string(subState));
}

void LinkMembers(CJsonText& json, const RigLinkStatus& link) {
  json.Text("state", LinkStateText(link.state))
      .Integer("stateIndex", link.state)
      .Text("status", link.text)
      .Flag("hasClient", link.hasClient);
}

std::string StatusJson(const CRigController& controller) {
  const RigStatus& status = controller.Status();
  const CRigSim& engine = controller.Engine();
  const CCommsWrapper& skid = engine.m_skidLink;
  CJsonText json;
  json.Begin();
  json.Text("version", GetVersionText());
  json.Flag("running", status.running);
  json.Flag("tenTimes", status.tenTimes);
  Named(json, "mode", status.mode, ModeName(status.mode));
  Named(json, "subState", status.subState, SubStateName(status.mode, status.subState));
  json.Key("link").Begin();
  LinkMembers(json, status.link);
  json.End();
  json.Key("skidLink")
      .Begin()
      .Flag("enabled", engine.SkidLinkEnabled())
      .Text("state", LinkStateText(skid.m_state))
      .Integer("stateIndex", skid.m_state)
      .Text("status", LinkMessageText(skid))
      .End();
  json.Flag("pumpsOn", status.pumpsOn);
  json.Integer("gain", status.gain);
  json.Key("files")
      .Begin()
      .Text("dataRoot", engine.DataRoot())
      .Text("csv", engine.m_strCsvPath)
      .Text("witsLog", engine.m_strWitsLogPath)
      .Text("simSettings", SimSettingsPath(engine.m_strDataRoot))
      .Text("simState", SimStatePath(engine.m_strDataRoot))
      .Text("witsCommSettings", WitsCommSettingsPath(engine.m_strDataRoot))
      .End();
  json.End();
  return json.Take();
}

namespace {

// A well's channels beside the engine's: its own readings, the formation at the bit, each channel's
// unit and its true (pre-sensor) value.
void WellChannelsJson(CJsonText& json, const CWellModelIF& well) {
  const std::vector<std::string>& added = WellChannelNames();
  for (std::size_t i = 0; i < well.ChannelCount(); ++i) {
    const CWellChannel channel = well.Channel(i);
    if (std::find(added.begin(), added.end(), channel.name) != added.end()) {
      json.Number(channel.name, channel.value);
    }
  }
  json.Text("FORMATION", well.FormationAtBit());
  json.Key("units").Begin();
  for (std::size_t i = 0; i < well.ChannelCount(); ++i) {
    const CWellChannel channel = well.Channel(i);
    json.Text(channel.name, channel.unit);
  }
  json.End();
  json.Key("true").Begin();
  for (std::size_t i = 0; i < well.ChannelCount(); ++i) {
    const CWellChannel channel = well.Channel(i);
    json.Number(channel.name, channel.trueValue);
  }
  json.End();
}

}  // namespace

std::string ChannelsJson(const CRigSim& e) {
  CJsonText json;
  json.Begin()
      .Number("DEPTH", e.m_fDepth)
      .Number("HOLE_DEPTH", e.m_fHoleDepth)
      .Number("BLOCK_HEIGHT", e.m_fBlockHeight_)
      .Number("ROP", e.m_fROP)
      .Number("HOOKLOAD", e.m_fHookLoad)
      .Flag("SLIPS", e.m_bInSlips)
      .Flag("ON_BOTTOM", e.m_bOnBottom)
      .Number("RPM", e.m_fRPM)
      .Number("FLOW", e.m_fFlow)
      .Number("SPP", e.m_fSPP)
      .Key("SPM1")
      .Number(e.m_fSPM1)
      .Key("SPM2")
      .Number(e.m_fSPM2)
      .Number("WOB", e.m_fWOB)
      .Number("TORQ", e.m_fTorq);
  if (e.WellModel() != nullptr) WellChannelsJson(json, *e.WellModel());
  json.End();
  return json.Take();
}

std::string ItemsJson(const CRigSim& engine) {
  CJsonText json;
  json.BeginArray();
  for (const COutputItem& item : engine.m_outputItems) {
    std::string stored = RecordJson(item);
    stored.pop_back();  // the closing brace: the run-time members follow
    CJsonText runTime;
    runTime.Begin().Text("valueText", item.m_strValue).Flag("sendPending", item.m_bSendPending).End();
    const std::string tail = runTime.Take();
    json.Raw(stored + "," + tail.substr(1));
  }
  json.EndArray();
  return json.Take();
}

std::string ReceivedJson(const CRigSim& engine) {
  const double now = engine.Clocks().nowSeconds();
  CJsonText json;
  json.BeginArray();
  for (const auto& [key, item] : engine.m_witsInItems) {
    json.Begin()
        .Integer("record", key.record)
        .Integer("item", key.item)
        .Text("description", item.description)
        .Text("valueText", item.valueText)
        .Number("ageSeconds", AgeSeconds(now, item.timeReceived))
        .End();
  }
  json.EndArray();
  return json.Take();
}

std::string FaultsJson(const CRigController& controller) {
  const CWitsWire& wire = controller.Wire();
  CJsonText json;
  json.Begin().Text("seed", std::to_string(wire.Seed())).Key("active").BeginArray();
  for (const std::string& text : wire.ActiveFaults()) json.Text(text);
  json.EndArray().Key("plan").BeginArray();
  for (const FaultOrder& entry : wire.Plan().entries) json.Text(FaultText(entry));
  json.EndArray().End();
  return json.Take();
}

}  // namespace vorn::control
