#include "fleet/FleetRig.h"

CFleetRig::CFleetRig(int number, const std::string& dataRoot, vorn::Clocks clocks, vorn::StatusPrinter print)
    : m_number(number), m_print(std::move(print)), m_engine(std::move(clocks)), m_controller(m_engine) {
  m_engine.m_strDataRoot = dataRoot;  // before the start-up reads the rig's files
  m_controller.AddView(*this);
  m_controller.LoadAtStartup();
}

CFleetRig::~CFleetRig() { m_controller.RemoveView(*this); }

bool CFleetRig::LinkHasPeer() const {
  const CCommsWrapper& link = m_engine.m_witsLink;
  if (link.m_state != Connected) return false;
  return link.m_settings.tcpIpType == Master ? link.HasClient() : true;
}

void CFleetRig::Print(std::string_view kind, const std::string& line) const { m_print({kind, m_number, line}); }

void CFleetRig::OnFrameOut(std::string_view, LinkWrite outcome) {
  if (outcome == LinkWrite::Sent) ++m_framesSent;
}

void CFleetRig::OnMessage(const std::string& line) { Print("message", line); }
