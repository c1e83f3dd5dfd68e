#include "comms/CommsWrapper.h"

#include "support/Text.h"
#include "support/Time.h"

CCommsWrapper::~CCommsWrapper() { Close(); }

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
    m_server.m_acceptedClient.m_pOwner = this;
    int errorCode = 0;
    if (!m_server.Create(s.nTcpIpPort, errorCode)) {
      m_strStatus = vorn::Sprintf("Server Create on Port %d Failed. GetLastError = %d", s.nTcpIpPort, errorCode);
      return;
    }
    m_state = Connected;
    m_strStatus = vorn::Sprintf("Connected TCP/IP Port %d", s.nTcpIpPort);
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
  m_commPort.Close();
  m_server.Close();
  m_client.Close();
}

LinkWrite CCommsWrapper::Write(const std::vector<uint8_t>& bytes) {
  if (m_settings.commType == Comm) return m_commPort.Write(bytes);
  if (m_settings.commType != TcpIp) return LinkWrite::NoChannel;
  if (m_settings.tcpIpType == Master) {
    const LinkWrite outcome = m_server.m_acceptedClient.Send(bytes);
    return outcome == LinkWrite::NoChannel && m_server.isListening() ? LinkWrite::NoClient : outcome;
  }
  if (m_settings.tcpIpType == Slave) return m_client.Send(bytes);
  return LinkWrite::NoChannel;
}

void CCommsWrapper::DeliverReceived(const std::vector<uint8_t>& bytes) {
  if (m_pReceiver != nullptr) m_pReceiver->CommsReceiverIF_OnReceive(bytes, m_nLinkId);
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
  if (&socket == &m_server.m_acceptedClient && m_server.isListening()) {
    // Receivers come and go; one that reconnects at once finds the server still listening.
    m_server.DropClient();
    return;
  }
  m_state = Closed;
  CloseChannels();
}

void CCommsWrapper::OnPortFailed() { m_state = TryingToConnect; }

std::string CCommsWrapper::TimeStamp() const {
  return vorn::FormatSlashedTimestamp(vorn::SecondsToSystemTime(m_clocks.nowSeconds()), " ");
}
