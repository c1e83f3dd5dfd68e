#include "comms/CommsWrapper.h"

#include <algorithm>
#include <utility>

#include "support/Text.h"
#include "support/Time.h"

CCommsWrapper::~CCommsWrapper() {
  m_pReceiver = nullptr;  // the receiver may be going already
  Close();
}

void CCommsWrapper::Open() {
  ++m_nOpenAttempts;
  m_state = TryingToConnect;
  const CWitsCommSettings& s = m_settings;
  if (s.commType == Comm) {
    m_commPort.Close();
    m_commPort.m_pOwner = this;
    if (m_commPort.Open(s.nCommPort, s.nBaudRate)) {
      m_state = Connected;
      m_strStatus = vorn::Sprintf("Connected to Comm Port %d  baudrate = %d", s.nCommPort, s.nBaudRate);
    } else {
      m_strStatus = vorn::Sprintf("Trying to Connect to Comm Port %d @ %s", s.nCommPort, TimeStamp().c_str());
    }
    return;
  }
  if (s.commType != TcpIp) return;
  if (s.tcpIpType == Master) {
    m_server.m_pOwner = this;
    m_server.SetMaxClients(s.nMaxClients);
    int errorCode = 0;
    if (!m_server.Create(s.nTcpIpPort, s.strListenAddress, errorCode)) {
      m_strStatus = vorn::Sprintf("Server Create on Port %d Failed. GetLastError = %d", s.nTcpIpPort, errorCode);
      return;
    }
    m_state = Connected;
    m_strStatus = vorn::Sprintf("Connected TCP/IP Port %d", s.nTcpIpPort);
    if (!s.strListenAddress.empty()) m_strStatus += " on " + s.strListenAddress;
  } else if (s.tcpIpType == Slave) {
    m_client.m_pOwner = this;
    m_connectStartMs = m_clocks.milliseconds();
    // The status is set first: a connect that fails at once replaces it with its error.
    m_strStatus = vorn::Sprintf("Trying to Connect IP='%s' Port=%d) @ %s", s.strIpAddress.c_str(), s.nTcpIpPort,
                                TimeStamp().c_str());
    m_client.ConnectTo(s.strIpAddress, s.nTcpIpPort);
  }
}

void CCommsWrapper::Close() {
  m_suspendedUntilMs.reset();
  CloseChannels();
  m_strStatus.clear();
  m_state = Closed;
}

void CCommsWrapper::CloseChannels() {
  ++m_nChannelCloses;
  m_commPort.Close();
  m_server.Close();
  m_client.Close();
}

LinkWrite CCommsWrapper::Write(const std::vector<uint8_t>& bytes) { return WriteTo(bytes, m_nArrivalClient); }

LinkWrite CCommsWrapper::WriteTo(const std::vector<uint8_t>& bytes, uint64_t clientId) {
  if (m_settings.commType == Comm) return m_commPort.Write(bytes);
  if (m_settings.commType != TcpIp) return LinkWrite::NoChannel;
  if (m_settings.tcpIpType == Master) return m_server.Send(bytes, clientId);
  if (m_settings.tcpIpType == Slave) return m_client.Send(bytes);
  return LinkWrite::NoChannel;
}

LinkWrite CCommsWrapper::WriteOn(const std::vector<uint8_t>& bytes, uint64_t clientId, const LinkAudience& audience) {
  if (audience.channelCloses != m_nChannelCloses) return LinkWrite::Interrupted;
  if (m_settings.commType != TcpIp || m_settings.tcpIpType != Master || !m_server.HasClient()) {
    return WriteTo(bytes, clientId);
  }
  std::vector<uint64_t> audienceIds;
  for (const CSocketClient* client : m_server.Clients()) {
    if (client->m_nId <= audience.newestClient && (clientId == 0 || client->m_nId == clientId)) {
      audienceIds.push_back(client->m_nId);
    }
  }
  if (audienceIds.empty()) return LinkWrite::Interrupted;  // only clients that came since
  if (clientId != 0 || audienceIds.size() == m_server.Clients().size()) return WriteTo(bytes, clientId);
  bool sent = false;
  LinkWrite refusal = LinkWrite::Interrupted;
  for (const uint64_t id : audienceIds) {
    const LinkWrite outcome = m_server.Send(bytes, id);
    if (outcome == LinkWrite::Sent) sent = true;
    else refusal = outcome;
  }
  return sent ? LinkWrite::Sent : refusal;
}

bool CCommsWrapper::HasPeer(uint64_t clientId) const {
  if (m_settings.commType == Comm) return m_state == Connected && m_commPort.IsOpen();
  if (m_settings.commType != TcpIp) return false;
  if (m_settings.tcpIpType == Slave) return m_client.IsConnected();
  if (m_settings.tcpIpType != Master) return false;
  if (clientId == 0) return m_server.HasClient();
  const std::vector<CSocketClient*>& clients = m_server.Clients();
  return std::any_of(clients.begin(), clients.end(), [clientId](const CSocketClient* c) { return c->m_nId == clientId; });
}

void CCommsWrapper::DeliverReceived(const std::vector<uint8_t>& bytes, uint64_t clientId) {
  if (m_pReceiver == nullptr) return;
  // Whatever the receiver writes while it takes the bytes in is its answer to that client.
  const uint64_t outer = std::exchange(m_nArrivalClient, m_server.ServesSeveral() ? clientId : 0);
  m_pReceiver->CommsReceiverIF_OnReceive(bytes, m_nLinkId);
  m_nArrivalClient = outer;
}

void CCommsWrapper::OnClientGone(uint64_t clientId) {
  if (m_pReceiver != nullptr) m_pReceiver->CommsReceiverIF_OnClientGone(clientId, m_nLinkId);
}

void CCommsWrapper::Service() {
  if (m_nStopRequest == 0) {
    if (m_state == Connected) {
      if (m_settings.commType == Comm) m_commPort.Poll();
    } else if (m_state == TryingToConnect || m_state == Closed) {
      if (SlaveConnectPending() || Suspended()) return;
      Close();
      Open();
    }
  } else if (m_nStopRequest == 1) {
    if (m_state == TryingToConnect || m_state == Connected) Close();
  }
}

void CCommsWrapper::Suspend(uint32_t ms) {
  Close();
  m_suspendedUntilMs = m_clocks.milliseconds() + ms;
  m_strStatus = vorn::Sprintf("Disconnected for %u ms by a fault", static_cast<unsigned>(ms));
}

void CCommsWrapper::Resume() {
  if (!m_suspendedUntilMs) return;
  m_suspendedUntilMs.reset();
  if (m_nStopRequest != 0 || m_state == Connected) return;
  Close();
  Open();
}

bool CCommsWrapper::Suspended() const {
  return m_suspendedUntilMs && vorn::ElapsedMs(m_clocks.milliseconds(), *m_suspendedUntilMs) < 0;
}

bool CCommsWrapper::SlaveConnectPending() const {
  return m_state == TryingToConnect && m_settings.commType == TcpIp && m_settings.tcpIpType == Slave &&
         m_client.IsConnecting() &&
         vorn::ElapsedMs(m_clocks.milliseconds(), m_connectStartMs) < kConnectAttemptLimitMs;
}

void CCommsWrapper::OnConnect(int errorCode) {
  if (errorCode == 0) {
    m_state = Connected;
    m_strStatus = vorn::Sprintf("Connected TCP/IP IP='%s' Port=%d", m_settings.strIpAddress.c_str(),
                                m_settings.nTcpIpPort);
  } else {
    m_strStatus = vorn::Sprintf("OnConnect Error Code: %d", errorCode);
  }
}

void CCommsWrapper::OnClose(const CSocketClient& socket) {
  if (socket.m_nId != 0 && m_server.isListening()) {
    // Receivers come and go; one that reconnects at once finds the server still listening.
    m_server.DropClient(socket.m_nId);
    return;
  }
  m_state = Closed;
  CloseChannels();
}

void CCommsWrapper::OnPortFailed() { m_state = TryingToConnect; }

std::string CCommsWrapper::TimeStamp() const {
  return vorn::FormatSlashedTimestamp(vorn::SecondsToSystemTime(m_clocks.nowSeconds()), " ");
}
