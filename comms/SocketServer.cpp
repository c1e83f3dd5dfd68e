#include "comms/SocketServer.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <cerrno>

#include "comms/SocketErrors.h"
#include "support/Console.h"

namespace {

constexpr int kListenBacklog = 5;

}  // namespace

CSocketServer::CSocketServer() {
  setListenBacklogSize(kListenBacklog);
  connect(this, &QTcpServer::newConnection, this, &CSocketServer::OnAccept);
  connect(this, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
    vorn::Console() << "Accept error " << LinkErrorCode(error) << ": " << errorString().toStdString() << "\n";
  });
}

CSocketServer::~CSocketServer() { Close(); }

bool CSocketServer::Create(int32_t port, int& errorCode) {
  Close();
  if (port < 0 || port > 65535) {
    // Qt would silently listen on the port number cut to 16 bits.
    errorCode = EINVAL;
    vorn::Console() << "Listen on port " << port << ": no such port\n";
    return false;
  }
  if (listen(QHostAddress::AnyIPv4, static_cast<quint16>(port))) return true;
  errorCode = LinkErrorCode(serverError());
  vorn::Console() << "Listen on port " << port << ": " << errorString().toStdString() << "\n";
  return false;
}

void CSocketServer::Close() {
  DropClient();
  close();
}

void CSocketServer::DropClient() {
  m_acceptedClient.Close();
  m_bHasClient = false;
}

void CSocketServer::OnAccept() {
  // The newest connection replaces the older one (Adopt closes it first).
  while (QTcpSocket* socket = nextPendingConnection()) {
    m_bHasClient = true;
    m_acceptedClient.Adopt(socket);
  }
}
