#include "control/ConnectionGuard.h"

#include <QMetaMethod>
#include <algorithm>
#include <limits>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comms/AcceptPause.h"
#include "control/HttpText.h"

namespace vorn::control {

namespace {

constexpr const char* kGuardName = "vorn-connection-guard";

uint64_t SaturatingSum(uint64_t a, uint64_t b) {
  return a > std::numeric_limits<uint64_t>::max() - b ? std::numeric_limits<uint64_t>::max() : a + b;
}

std::string Seconds(std::chrono::milliseconds time) {
  const auto ms = time.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// A connection past the limit gets its answer straight on the descriptor, which is closed at once:
// it never costs a socket object. Read what the client sent already, so the close is not a reset
// that could overtake the answer.
void RefuseOverLimit(qintptr descriptor, int limit) {
  const int fd = static_cast<int>(descriptor);
  const std::string answer = ErrorResponse(
      503, "the control API serves " + std::to_string(limit) + " connections at once; try again later",
      {{"Retry-After", "1"}}, true);
  [[maybe_unused]] const ssize_t sent = ::send(fd, answer.data(), answer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  ::shutdown(fd, SHUT_WR);
  char scratch[4096];
  for (int i = 0; i < 16 && ::recv(fd, scratch, sizeof scratch, MSG_DONTWAIT) > 0; ++i) {
  }
  ::close(fd);
}

// Descriptors are numbered from the lowest free one, so a connection numbered among the last few the
// process may open leaves at most that few for everything else.
bool AmongTheLastDescriptors(qintptr descriptor) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return false;
  return static_cast<rlim_t>(descriptor) + CGuardedTcpServer::kDescriptorHeadroom >= limit.rlim_cur;
}

}  // namespace

CConnectionGuard::CConnectionGuard(QTcpSocket& socket, QObject& httpServer, const ConnectionLimits& limits,
                                   std::shared_ptr<int> live)
    : QObject(&socket), m_socket(socket), m_httpServer(&httpServer), m_limits(limits), m_live(std::move(live)) {
  setObjectName(kGuardName);
  ++*m_live;
  connect(&m_socket, &QTcpSocket::readyRead, this, &CConnectionGuard::OnReadyRead);
  connect(&m_socket, &QTcpSocket::bytesWritten, this, [this] { m_wroteSinceArmed = true; });
  m_idle.setSingleShot(true);
  m_idle.setInterval(kDrainIdleMs);
  connect(&m_idle, &QTimer::timeout, this, [this] { m_socket.disconnectFromHost(); });
  m_deadline.setSingleShot(true);
  connect(&m_deadline, &QTimer::timeout, this, &CConnectionGuard::OnDeadline);
  m_deadline.start(m_limits.requestTimeout);
}

CConnectionGuard::~CConnectionGuard() { --*m_live; }

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
             SaturatingSum(m_sizes.DeclaredLength(), CRequestSizeGuard::kHeadLimit));
      break;
    case Verdict::HeadTooLarge: Refuse(431, "the request head is over 16 KiB", kDrainLimit); break;
    case Verdict::LengthRequired: Refuse(411, "send the body with a Content-Length, not chunked", kDrainLimit); break;
    case Verdict::BadFraming: Refuse(400, "the request's Content-Length is not valid", kDrainLimit); break;
    case Verdict::BadRequest: Refuse(400, std::string(m_sizes.Problem()), kDrainLimit); break;
  }
  if (!m_cutOff) FollowRequest(!fresh.isEmpty());
}

void CConnectionGuard::FollowRequest(bool bytesCame) {
  if (m_sizes.InRequest()) {
    if (m_phase != Phase::Reading) {
      m_phase = Phase::Reading;
      m_deadline.start(m_limits.requestTimeout);
    }
  } else if (bytesCame) {
    // The request is whole and is answered now; the next one may take the idle timeout to begin.
    m_phase = Phase::Idle;
    m_wroteSinceArmed = false;
    m_deadline.start(m_limits.idleTimeout);
  }
}

void CConnectionGuard::OnDeadline() {
  if (m_cutOff) return;
  switch (m_phase) {
    case Phase::Opened: m_socket.disconnectFromHost(); break;  // nothing came: nothing to answer
    case Phase::Reading:
      Refuse(408, "the request did not come whole within " + Seconds(m_limits.requestTimeout), kDrainLimit);
      break;
    case Phase::Idle:
      if (m_socket.bytesToWrite() > 0 && m_wroteSinceArmed) {
        // An answer still going out to a client that reads it: idle counts from its end.
        m_wroteSinceArmed = false;
        m_deadline.start(m_limits.idleTimeout);
        break;
      }
      m_socket.disconnectFromHost();
      break;
  }
}

void CConnectionGuard::TakeOverForStream() {
  if (m_httpServer) disconnect(&m_socket, &QTcpSocket::readyRead, m_httpServer.data(), nullptr);
  m_cutOff = true;
  m_deadline.stop();
}

void CConnectionGuard::OnParserGaveUp() {
  // Every connection of the socket went with the server's: what reading, answering and deleting it
  // need comes back here.
  connect(&m_socket, &QTcpSocket::readyRead, this, &CConnectionGuard::OnReadyRead);
  connect(&m_socket, &QTcpSocket::disconnected, &m_socket, &QObject::deleteLater);
  if (m_socket.state() == QAbstractSocket::UnconnectedState) {
    m_socket.deleteLater();
    return;
  }
  if (!m_refused) Refuse(400, "the request is not HTTP/1.1 as this API reads it", kDrainLimit);
}

void CConnectionGuard::Refuse(int status, const std::string& message, uint64_t drain) {
  TakeOverForStream();
  m_refused = true;
  // Counted from the bytes at hand: what the client still sends is read and dropped up to this much,
  // or until it closes or falls silent, so it reads the answer instead of a reset.
  m_drainLeft = drain;
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

void CGuardedSocket::disconnectNotify(const QMetaMethod& signal) {
  QTcpSocket::disconnectNotify(signal);
  // Only the HTTP server drops every connection at once, when it gives a request up.
  if (signal.isValid()) return;
  if (CConnectionGuard* guard = CConnectionGuard::Of(this)) {
    QMetaObject::invokeMethod(guard, [guard] { guard->OnParserGaveUp(); }, Qt::QueuedConnection);
  }
}

CGuardedTcpServer::CGuardedTcpServer(QObject& httpServer, const ConnectionLimits& limits, QObject* parent)
    : QTcpServer(parent), m_httpServer(httpServer), m_limits(limits) {
  new CAcceptPause(*this);  // owned by this server
}

void CGuardedTcpServer::incomingConnection(qintptr socketDescriptor) {
  if (*m_live >= m_limits.maxConnections || AmongTheLastDescriptors(socketDescriptor)) {
    RefuseOverLimit(socketDescriptor, std::min(*m_live, m_limits.maxConnections));
    return;
  }
  auto* socket = new CGuardedSocket(this);
  if (!socket->setSocketDescriptor(socketDescriptor)) {
    delete socket;
    return;
  }
  new CConnectionGuard(*socket, m_httpServer, m_limits, m_live);  // owned by the socket
  addPendingConnection(socket);
}

}  // namespace vorn::control
