#include "control/RigEvents.h"

#include "command/RigController.h"
#include "control/JsonText.h"
#include "engine/LinkStatus.h"
#include "engine/RigMode.h"
#include "support/Text.h"

namespace vorn::control {

namespace {

}  // namespace

// One event's JSON object: its name, then the members `fill` writes; nothing is built for no reader.
template <typename Fill>
void CRigEvents::Send(std::string_view name, const Fill& fill) {
  if (m_streams.Count() == 0) return;
  CJsonText json;
  json.Begin().Key("event").Text(name);
  fill(json);
  json.End();
  m_streams.Publish(json.Take());
}

CRigEvents::CRigEvents(CRigController& controller) : m_controller(controller) { m_controller.AddView(*this); }

CRigEvents::~CRigEvents() { m_controller.RemoveView(*this); }

void CRigEvents::OnRunChanged(bool running) {
  const CRigSim& engine = m_controller.Engine();
  Send("run", [&](CJsonText& json) { json
                        .Key("running").Flag(running)
                        .Key("csv").Text(engine.m_strCsvPath)
                        .Key("witsLog").Text(engine.m_strWitsLogPath); });
}

void CRigEvents::OnTenTimesChanged(bool on) { Send("ten-times", [&](CJsonText& json) { json.Key("on").Flag(on); }); }

void CRigEvents::OnModeChanged(int mode, bool byEngine) {
  Send("mode", [&](CJsonText& json) { json
                        .Key("index").Integer(mode)
                        .Key("name").Text(NameAt(RigModeNames(), mode, std::to_string(mode)))
                        .Key("byEngine").Flag(byEngine); });
}

void CRigEvents::OnSubStateChanged(int subState) {
  const int mode = m_controller.Engine().m_settings.m_mode;
  Send("sub-state", [&](CJsonText& json) { json
                        .Key("index").Integer(subState)
                        .Key("name").Text(NameAt(SubStateNames(mode), subState, std::to_string(subState))); });
}

void CRigEvents::OnLinkChanged(const RigLinkStatus& link) {
  Send("link", [&](CJsonText& json) { json
                        .Key("state").Text(LinkStateText(link.state))
                        .Key("stateIndex").Integer(link.state)
                        .Key("status").Text(link.text)
                        .Key("hasClient").Flag(link.hasClient); });
}

void CRigEvents::OnPumpsChanged(bool on) { Send("pumps", [&](CJsonText& json) { json.Key("on").Flag(on); }); }

void CRigEvents::OnFrameOut(std::string_view bytes, LinkWrite outcome) {
  Send("frame-out", [&](CJsonText& json) { json
                        .Key("bytes").Text(bytes)
                        .Key("sent").Flag(outcome == LinkWrite::Sent)
                        .Key("notSentBecause").Text(LinkWriteRefusal(outcome)); });
}

void CRigEvents::OnArrival(std::string_view text) {
  Send("arrival", [&](CJsonText& json) { json.Key("text").Text(text); });
}

void CRigEvents::OnItemsChanged() {
  const int count = static_cast<int>(m_controller.Engine().m_outputItems.size());
  Send("items", [&](CJsonText& json) { json.Key("count").Integer(count); });
}

void CRigEvents::OnSettingsChanged(const CSimSettings& settings) {
  Send("settings", [&](CJsonText& json) { json.Key("settings").Raw(RecordJson(settings)); });
}

void CRigEvents::OnLinkSettingsChanged(const CWitsCommSettings& settings) {
  Send("link-settings", [&](CJsonText& json) { json.Key("settings").Raw(RecordJson(settings)); });
}

void CRigEvents::OnStateChanged(StateChange what) {
  const CRigSim& engine = m_controller.Engine();
  Send("state", [&](CJsonText& json) { json
                        .Key("change").Text(what == StateChange::Depths ? "depths" : "default-start-state")
                        .Key("bitDepth").Number(engine.m_fDepth)
                        .Key("holeDepth").Number(engine.m_fHoleDepth); });
}

void CRigEvents::OnMessage(const std::string& line) {
  Send("message", [&](CJsonText& json) { json.Key("text").Text(line); });
}

}  // namespace vorn::control
