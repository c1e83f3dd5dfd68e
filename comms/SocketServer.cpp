#include "comms/SocketServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <algorithm>
#include <cerrno>

#include "comms/AcceptPause.h"
#include "comms/CommsWrapper.h"
#include "comms/SocketErrors.h"
#include "comms/WitsCommSettings.h"
#include "support/Console.h"

namespace {

constexpr int kListenBacklog = 5;

}  // namespace

CSocketServer::CSocketServer() {
  setListenBacklogSize(kListenBacklog);
  connect(this, &QTcpServer::newConnection, this, &CSocketServer::OnAccept);
  connect(this, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::SocketResourceError) return;  // the pause says it once
    vorn::Console() << "Accept error " << LinkErrorCode(error) << ": " << errorString().toStdString() << "\n";
  });
  new CAcceptPause(*this, [](const std::string& line) { vorn::Console() << line << "\n"; });
}

CSocketServer::~CSocketServer() {
  m_pOwner = nullptr;  // nothing is told while the link goes
  Close();
}

bool CSocketServer::Create(int32_t port, const std::string& address, int& errorCode) {
  Close();
  if (port < 0 || port > 65535) {
    // Qt would silently listen on the port number cut to 16 bits.
    errorCode = EINVAL;
    vorn::Console() << "Listen on port " << port << ": no such port\n";
    return false;
  }
  QHostAddress host(QHostAddress::AnyIPv4);
  if (!address.empty() && !host.setAddress(QString::fromStdString(address))) {
    errorCode = EINVAL;
    vorn::Console() << "Listen on '" << address << "': not an IP address\n";
    return false;
  }
  if (listen(host, static_cast<quint16>(port))) return true;
  errorCode = LinkErrorCode(serverError());
  vorn::Console() << "Listen on port " << port << ": " << errorString().toStdString() << "\n";
  return false;
}

void CSocketServer::Close() {
  while (!m_clients.empty()) Retire(m_clients.size() - 1);
  close();
}

void CSocketServer::DropClient(uint64_t clientId) {
  const auto it = std::find_if(m_clients.begin(), m_clients.end(),
                               [clientId](const CSocketClient* client) { return client->m_nId == clientId; });
  if (it != m_clients.end()) Retire(static_cast<std::size_t>(it - m_clients.begin()));
}

void CSocketServer::SetMaxClients(int32_t count) { m_nMaxClients = std::clamp(count, 1, kMaxLinkClients); }

void CSocketServer::Retire(std::size_t index) {
  CSocketClient* client = m_clients[index];
  m_clients.erase(m_clients.begin() + static_cast<std::ptrdiff_t>(index));
  client->Close();
  client->m_pOwner = nullptr;
  client->deleteLater();
  if (m_pOwner != nullptr) m_pOwner->OnClientGone(client->m_nId);
}

LinkWrite CSocketServer::Send(const std::vector<uint8_t>& bytes, uint64_t clientId) {
  if (m_clients.empty()) return isListening() ? LinkWrite::NoClient : LinkWrite::NoChannel;
  if (m_nMaxClients == 1) {
    // One client: a frame that would pass the bound is dropped and the client kept, as always.
    CSocketClient& client = *m_clients.front();
    return clientId == 0 || client.m_nId == clientId ? client.Send(bytes) : LinkWrite::NoClient;
  }
  bool sent = false;
  bool found = false;
  LinkWrite refusal = LinkWrite::NoClient;
  for (std::size_t i = 0; i < m_clients.size();) {
    CSocketClient& client = *m_clients[i];
    if (clientId != 0 && client.m_nId != clientId) {
      ++i;
      continue;
    }
    found = true;
    const qint64 waiting = client.BytesWaitingToSend();
    if (waiting + static_cast<qint64>(bytes.size()) > kMaxBytesWaitingToSend) {
      vorn::Console() << "Client " << client.PeerText() << " dropped: " << waiting
                      << " bytes sent to it are still not read\n";
      refusal = LinkWrite::SendBoundPassed;
      Retire(i);
      continue;
    }
    const LinkWrite outcome = client.Send(bytes);
    if (outcome == LinkWrite::Sent) sent = true;
    else refusal = outcome;
    ++i;
  }
  if (sent) return LinkWrite::Sent;
  return found ? refusal : LinkWrite::NoClient;
}

void CSocketServer::OnAccept() {
  while (QTcpSocket* socket = nextPendingConnection()) {
    if (m_nMaxClients == 1) {
      // The newest connection replaces the older one.
      while (!m_clients.empty()) Retire(0);
    } else if (ClientCount() >= m_nMaxClients) {
      vorn::Console() << "Connection from " << PeerAddressText(*socket) << " refused: " << ClientCount()
                      << " clients connected, the most this link serves\n";
      socket->close();
      socket->deleteLater();
      continue;
    }
    auto* client = new CSocketClient;
    client->setParent(this);
    client->m_nId = m_nNextClientId++;
    client->m_pOwner = m_pOwner;
    m_clients.push_back(client);
    client->Adopt(socket);
  }
}
