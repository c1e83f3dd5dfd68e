#include "control/ConnectionGuard.h"

#include <QTcpSocket>
#include <algorithm>

#include "control/HttpText.h"

namespace vorn::control {

namespace {

constexpr const char* kGuardName = "vorn-connection-guard";

}  // namespace

CConnectionGuard::CConnectionGuard(QTcpSocket& socket, QObject& httpServer)
    : QObject(&socket), m_socket(socket), m_httpServer(&httpServer) {
  setObjectName(kGuardName);
  connect(&m_socket, &QTcpSocket::readyRead, this, &CConnectionGuard::OnReadyRead);
  m_idle.setSingleShot(true);
  m_idle.setInterval(kDrainIdleMs);
  connect(&m_idle, &QTimer::timeout, this, [this] { m_socket.disconnectFromHost(); });
}

CConnectionGuard* CConnectionGuard::Of(QTcpSocket* socket) {
  return socket ? socket->findChild<CConnectionGuard*>(kGuardName, Qt::FindDirectChildrenOnly) : nullptr;
}

void CConnectionGuard::OnReadyRead() {
  if (m_cutOff) {
    Discard();
    return;
  }
  // What the server has not read yet: exactly the bytes that came since the last time.
  const QByteArray fresh = m_socket.peek(m_socket.bytesAvailable());
  using Verdict = CRequestSizeGuard::Verdict;
  switch (m_sizes.Feed(std::string_view(fresh.constData(), static_cast<size_t>(fresh.size())))) {
    case Verdict::Pass: break;
    case Verdict::SendContinue: m_socket.write("HTTP/1.1 100 Continue\r\n\r\n"); break;
    case Verdict::BodyTooLarge:
      // The whole body and its head, at most: the client has sent it all by then and reads the answer.
      Refuse(413, "the request body is over 64 KiB (65536 bytes)",
             m_sizes.DeclaredLength() + CRequestSizeGuard::kHeadLimit);
      break;
    case Verdict::HeadTooLarge: Refuse(431, "the request head is over 16 KiB", kDrainLimit); break;
    case Verdict::LengthRequired: Refuse(411, "send the body with a Content-Length, not chunked", kDrainLimit); break;
    case Verdict::BadFraming: Refuse(400, "the request's Content-Length is not valid", kDrainLimit); break;
  }
}

void CConnectionGuard::TakeOverForStream() {
  if (m_httpServer) disconnect(&m_socket, &QTcpSocket::readyRead, m_httpServer.data(), nullptr);
  m_cutOff = true;
}

void CConnectionGuard::Refuse(int status, const char* message, uint64_t drain) {
  TakeOverForStream();
  m_refused = true;
  // Counted from the bytes at hand: what the client still sends is read and dropped up to this much,
  // or until it closes or falls silent, so it reads the answer instead of a reset.
  m_drainLeft = std::min<uint64_t>(drain, kDrainLimit);
  if (m_socket.isTransactionStarted()) m_socket.commitTransaction();
  m_socket.write(QByteArray::fromStdString(ErrorResponse(status, message, {}, true)));
  m_sinceRefusal.start();
  Discard();
}

void CConnectionGuard::Discard() {
  const qint64 dropped = m_socket.skip(m_socket.bytesAvailable());
  if (!m_refused) return;
  if (dropped > 0) m_drainLeft -= std::min<uint64_t>(m_drainLeft, static_cast<uint64_t>(dropped));
  CloseWhenDrained();
}

void CConnectionGuard::CloseWhenDrained() {
  if (m_drainLeft == 0 || m_sinceRefusal.elapsed() > kDrainMs) {
    m_idle.stop();
    m_socket.disconnectFromHost();  // after the answer has gone out
    return;
  }
  m_idle.start();  // a client that stops sending is not waited for
}

CGuardedTcpServer::CGuardedTcpServer(QObject& httpServer, QObject* parent)
    : QTcpServer(parent), m_httpServer(httpServer) {}

void CGuardedTcpServer::incomingConnection(qintptr socketDescriptor) {
  auto* socket = new QTcpSocket(this);
  if (!socket->setSocketDescriptor(socketDescriptor)) {
    delete socket;
    return;
  }
  new CConnectionGuard(*socket, m_httpServer);  // owned by the socket
  addPendingConnection(socket);
}

}  // namespace vorn::control
