#include "control/RigJson.h"

#include <rapidjson/document.h>

#include "command/RigController.h"
#include "control/JsonText.h"
#include "engine/LinkStatus.h"
#include "engine/RigMode.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/System.h"
#include "support/Text.h"

namespace vorn::control {

namespace {

void Named(CJsonText& json, std::string_view key, int index, const std::string& name) {
  json.Key(key).Begin().Key("index").Integer(index).Key("name").Text(name).End();
}

}  // namespace

std::string StatusJson(const CRigController& controller) {
  const RigStatus& status = controller.Status();
  const CRigSim& engine = controller.Engine();
  const CCommsWrapper& skid = engine.m_skidLink;
  CJsonText json;
  json.Begin();
  json.Key("version").Text(GetVersionText());
  json.Key("running").Flag(status.running);
  json.Key("tenTimes").Flag(status.tenTimes);
  Named(json, "mode", status.mode, NameAt(RigModeNames(), status.mode, std::to_string(status.mode)));
  Named(json, "subState", status.subState,
        NameAt(SubStateNames(status.mode), status.subState, std::to_string(status.subState)));
  json.Key("link").Begin()
      .Key("state").Text(LinkStateText(status.link.state))
      .Key("stateIndex").Integer(status.link.state)
      .Key("status").Text(status.link.text)
      .Key("hasClient").Flag(status.link.hasClient)
      .End();
  json.Key("skidLink").Begin()
      .Key("enabled").Flag(engine.SkidLinkEnabled())
      .Key("state").Text(LinkStateText(skid.m_state))
      .Key("stateIndex").Integer(skid.m_state)
      .Key("status").Text(LinkMessageText(skid))
      .End();
  json.Key("pumpsOn").Flag(status.pumpsOn);
  json.Key("gain").Integer(status.gain);
  json.Key("files").Begin()
      .Key("dataRoot").Text(DataRootFolder())
      .Key("csv").Text(engine.m_strCsvPath)
      .Key("witsLog").Text(engine.m_strWitsLogPath)
      .Key("simSettings").Text(SimSettingsPath())
      .Key("simState").Text(SimStatePath())
      .Key("witsCommSettings").Text(WitsCommSettingsPath())
      .End();
  json.End();
  return json.Take();
}

std::string ChannelsJson(const CRigSim& e) {
  CJsonText json;
  json.Begin()
      .Key("DEPTH").Number(e.m_fDepth)
      .Key("HOLE_DEPTH").Number(e.m_fHoleDepth)
      .Key("BLOCK_HEIGHT").Number(e.m_fBlockHeight_)
      .Key("ROP").Number(e.m_fROP)
      .Key("HOOKLOAD").Number(e.m_fHookLoad)
      .Key("SLIPS").Flag(e.m_bInSlips)
      .Key("ON_BOTTOM").Flag(e.m_bOnBottom)
      .Key("RPM").Number(e.m_fRPM)
      .Key("FLOW").Number(e.m_fFlow)
      .Key("SPP").Number(e.m_fSPP)
      .Key("SPM1").Number(e.m_fSPM1)
      .Key("SPM2").Number(e.m_fSPM2)
      .Key("WOB").Number(e.m_fWOB)
      .Key("TORQ").Number(e.m_fTorq)
      .End();
  return json.Take();
}

std::string ItemsJson(const CRigSim& engine) {
  CJsonText json;
  json.BeginArray();
  for (const COutputItem& item : engine.m_outputItems) {
    std::string stored = RecordJson(item);
    stored.pop_back();  // the closing brace: the run-time members follow
    CJsonText runTime;
    runTime.Begin().Key("valueText").Text(item.m_strValue).Key("sendPending").Flag(item.m_bSendPending).End();
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
        .Key("record").Integer(key.record)
        .Key("item").Integer(key.item)
        .Key("description").Text(item.description)
        .Key("valueText").Text(item.valueText)
        .Key("ageSeconds").Number(now - item.timeReceived)
        .End();
  }
  json.EndArray();
  return json.Take();
}

}  // namespace vorn::control
