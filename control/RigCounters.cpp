#include "control/RigCounters.h"

#include <numeric>

#include "command/RigController.h"

namespace vorn::control {

CRigCounters::CRigCounters(CRigController& controller) : m_controller(controller) { m_controller.AddView(*this); }

CRigCounters::~CRigCounters() { m_controller.RemoveView(*this); }

uint64_t RigCounts::FramesNotSent() const { return std::accumulate(framesNotSent.begin(), framesNotSent.end(), uint64_t{0}); }

void CRigCounters::OnFrameOut(std::string_view bytes, LinkWrite outcome) {
  if (outcome == LinkWrite::Sent) {
    ++m_counts.framesSent;
    m_counts.bytesSent += bytes.size();
    return;
  }
  const auto index = static_cast<std::size_t>(outcome);
  if (index < m_counts.framesNotSent.size()) ++m_counts.framesNotSent[index];
}

void CRigCounters::OnArrival(std::string_view text) {
  ++m_counts.arrivals;
  m_counts.bytesReceived += text.size();
}

void CRigCounters::OnLinkChanged(const RigLinkStatus& link) {
  // A server has a peer while a receiver is attached; a client (or a serial port) while connected. A
  // listening server's own state is "connected" too, so the receiver decides for it.
  const CWitsCommSettings& settings = m_controller.Engine().m_witsLink.m_settings;
  const bool server = settings.commType == TcpIp && settings.tcpIpType == Master;
  const bool peer = link.state == Connected && (!server || link.hasClient);
  if (peer && !m_hadPeer) {
    if (m_counts.connects > 0) ++m_counts.reconnects;
    ++m_counts.connects;
  }
  m_hadPeer = peer;
}

void CRigCounters::OnFault(const FaultReport&) { ++m_counts.faultsApplied; }

}  // namespace vorn::control
