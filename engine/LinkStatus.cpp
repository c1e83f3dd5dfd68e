#include "engine/LinkStatus.h"

#include <iterator>

std::string LinkStateText(int state) {
  if (state < 0 || state >= static_cast<int>(std::size(kConnectionStateNames))) return {};
  return kConnectionStateNames[state];
}

bool IsListeningServer(const CCommsWrapper& link) {
  return link.m_settings.commType == TcpIp && link.m_settings.tcpIpType == Master && link.m_state == Connected;
}

std::string LinkMessageText(const CCommsWrapper& link) {
  std::string text = link.m_strStatus;
  if (IsListeningServer(link)) {
    const int clients = link.ClientCount();
    text += clients > 1    ? " - " + std::to_string(clients) + " Clients Connected"
            : clients == 1 ? " - Client Connected"
                           : " - Client NOT Connected";
  }
  return text;
}
