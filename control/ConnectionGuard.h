#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "control/ConnectionLimits.h"
#include "control/RequestSizeGuard.h"

namespace vorn::control {

// Watches one connection's bytes before the HTTP server reads them (its slot is connected first),
// and answers a request that is too big or malformed itself: the server is cut off from the
// connection, what it holds of the request is dropped with it, the rest of the request is read and
// thrown away as it comes (so a client that sends its whole body before reading still gets the
// answer), and the connection is closed. A connection that carries an event stream is cut off from
// the server the same way. It also keeps the connection's time: a request must come whole within
// the request timeout, and a connection idle between requests is closed after the idle timeout.
class CConnectionGuard : public QObject {
  Q_OBJECT

 public:
  // How long a refused connection is drained, at most, and how long it may stay silent meanwhile;
  // how much of a request of unknown length is drained.
  static constexpr int kDrainMs = 30000;
  static constexpr int kDrainIdleMs = 1000;
  static constexpr uint64_t kDrainLimit = 64ull * 1024 * 1024;

  // `live` counts the connections whose guard exists: this one from now until it is destroyed with
  // its socket.
  CConnectionGuard(QTcpSocket& socket, QObject& httpServer, const ConnectionLimits& limits,
                   std::shared_ptr<int> live);
  ~CConnectionGuard() override;

  // The guard of a connection the server got from a CGuardedTcpServer, or none.
  [[nodiscard]] static CConnectionGuard* Of(QTcpSocket* socket);

  // The request being answered asked for the connection to end after the answer.
  [[nodiscard]] bool TakeCloseAfterAnswer() { return m_sizes.TakeCloseAfterAnswer(); }
  // The connection now carries a stream of events out: nothing it sends is read any more, and no
  // timeout ends it.
  void TakeOverForStream();
  // The HTTP server dropped every connection of the socket (it could not parse what came): the guard
  // answers 400 and closes it, and the socket is deleted once closed.
  void OnParserGaveUp();

 private:
  enum class Phase { Opened, Reading, Idle };

  void OnReadyRead();
  void FollowRequest(bool bytesCame);
  void OnDeadline();
  void Refuse(int status, const std::string& message, uint64_t drain);
  void Discard();
  void CloseWhenDrained();

  QTcpSocket& m_socket;
  QPointer<QObject> m_httpServer;
  ConnectionLimits m_limits;
  std::shared_ptr<int> m_live;
  CRequestSizeGuard m_sizes;
  bool m_cutOff = false;   // the server no longer sees this connection
  bool m_refused = false;  // an answer was sent; the connection closes once drained
  uint64_t m_drainLeft = 0;
  QTimer m_idle;  // of a refused connection's drain
  QElapsedTimer m_sinceRefusal;
  Phase m_phase = Phase::Opened;
  QTimer m_deadline;  // of the request being read, or of the idle connection
  bool m_wroteSinceArmed = false;
};

// A connection of the control API: it tells its guard when the HTTP server dropped it.
class CGuardedSocket : public QTcpSocket {
  Q_OBJECT

 public:
  using QTcpSocket::QTcpSocket;

 protected:
  void disconnectNotify(const QMetaMethod& signal) override;
};

// The listening socket of the control API: every connection gets its guard before the HTTP server
// sees it; one beyond the limit, or one that leaves fewer than kDescriptorHeadroom descriptors to the
// rest of the process, is answered 503 and closed at once. Out of descriptors all the same (taken by
// others), it pauses and accepts again as soon as it can (CAcceptPause).
class CGuardedTcpServer : public QTcpServer {
  Q_OBJECT

 public:
  static constexpr int kDescriptorHeadroom = 16;

  // `httpServer`: the server that will take the connections (and is cut off from refused ones).
  CGuardedTcpServer(QObject& httpServer, const ConnectionLimits& limits, QObject* parent = nullptr);

  // Connections accepted whose socket object still exists.
  [[nodiscard]] int LiveConnections() const { return *m_live; }

 protected:
  void incomingConnection(qintptr socketDescriptor) override;

 private:
  QObject& m_httpServer;
  ConnectionLimits m_limits;
  std::shared_ptr<int> m_live = std::make_shared<int>(0);
};

}  // namespace vorn::control
