#include "control/RigEvents.h"

#include "command/RigController.h"
#include "control/JsonText.h"
#include "control/RigJson.h"

namespace vorn::control {

namespace {}  // namespace

// One event's JSON object: its name, then the members `fill` writes; nothing is built for no reader.
template <typename Fill>
void CRigEvents::Send(std::string_view name, const Fill& fill) {
  if (m_streams.Count() == 0) return;
  CJsonText json;
  json.Begin().Text("event", name);
  fill(json);
  json.End();
  m_streams.Publish(json.Take());
}

CRigEvents::CRigEvents(CRigController& controller) : m_controller(controller) { m_controller.AddView(*this); }

CRigEvents::~CRigEvents() { m_controller.RemoveView(*this); }

void CRigEvents::OnRunChanged(bool running) {
  const CRigSim& engine = m_controller.Engine();
  Send("run", [&](CJsonText& json) {
    json.Flag("running", running).Text("csv", engine.m_strCsvPath).Text("witsLog", engine.m_strWitsLogPath);
  });
}

void CRigEvents::OnTenTimesChanged(bool on) {
  Send("ten-times", [&](CJsonText& json) { json.Flag("on", on); });
}

void CRigEvents::OnModeChanged(int mode, bool byEngine) {
  Send("mode", [&](CJsonText& json) {
    json.Integer("index", mode).Text("name", ModeName(mode)).Flag("byEngine", byEngine);
  });
}

void CRigEvents::OnSubStateChanged(int subState) {
  const int mode = m_controller.Engine().m_settings.m_mode;
  Send("sub-state", [&](CJsonText& json) {
    json.Integer("index", subState).Text("name", SubStateName(mode, subState));
  });
}

void CRigEvents::OnLinkChanged(const RigLinkStatus& link) {
  Send("link", [&](CJsonText& json) { LinkMembers(json, link); });
}

void CRigEvents::OnPumpsChanged(bool on) {
  Send("pumps", [&](CJsonText& json) { json.Flag("on", on); });
}

void CRigEvents::OnFrameOut(std::string_view bytes, LinkWrite outcome) {
  Send("frame-out", [&](CJsonText& json) {
    json.Text("bytes", bytes)
        .Flag("sent", outcome == LinkWrite::Sent)
        .Text("notSentBecause", LinkWriteRefusal(outcome));
  });
}

void CRigEvents::OnArrival(std::string_view text) {
  Send("arrival", [&](CJsonText& json) { json.Text("text", text); });
}

void CRigEvents::OnItemsChanged() {
  const int count = static_cast<int>(m_controller.Engine().m_outputItems.size());
  Send("items", [&](CJsonText& json) { json.Integer("count", count); });
}

void CRigEvents::OnSettingsChanged(const CSimSettings& settings) {
  Send("settings", [&](CJsonText& json) { json.Key("settings").Raw(RecordJson(settings)); });
}

void CRigEvents::OnLinkSettingsChanged(const CWitsCommSettings& settings) {
  Send("link-settings", [&](CJsonText& json) { json.Key("settings").Raw(RecordJson(settings)); });
}

void CRigEvents::OnStateChanged(StateChange what) {
  const CRigSim& engine = m_controller.Engine();
  Send("state", [&](CJsonText& json) {
    json.Text("change", what == StateChange::Depths ? "depths" : "default-start-state")
        .Number("bitDepth", engine.m_fDepth)
        .Number("holeDepth", engine.m_fHoleDepth);
  });
}

void CRigEvents::OnMessage(const std::string& line) {
  Send("message", [&](CJsonText& json) { json.Text("text", line); });
}

void CRigEvents::OnFault(const FaultReport& report) {
  const double now = m_controller.Engine().Clocks().nowSeconds();
  Send("fault", [&](CJsonText& json) {
    json.Text("name", FaultName(report.kind)).Text("fault", report.text).Flag("fromPlan", report.fromPlan).Number("time", now);
  });
}

}  // namespace vorn::control
