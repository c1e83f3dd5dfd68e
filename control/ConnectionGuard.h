#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <cstdint>

#include "control/RequestSizeGuard.h"

class QTcpSocket;

namespace vorn::control {

// Watches one connection's bytes before the HTTP server reads them (its slot is connected first),
// and answers a request that is too big itself: the server is cut off from the connection, what it
// holds of the request is dropped with it, the rest of the body is read and thrown away as it comes
// (so a client that sends its whole body before reading still gets the answer), and the connection
// is closed. A connection that carries an event stream is cut off from the server the same way.
class CConnectionGuard : public QObject {
  Q_OBJECT

 public:
  // How long a refused connection is drained, at most, and how long it may stay silent meanwhile.
  static constexpr int kDrainMs = 30000;
  static constexpr int kDrainIdleMs = 1000;
  static constexpr uint64_t kDrainLimit = 64ull * 1024 * 1024;

  CConnectionGuard(QTcpSocket& socket, QObject& httpServer);

  // The guard of a connection the server got from a CGuardedTcpServer, or none.
  [[nodiscard]] static CConnectionGuard* Of(QTcpSocket* socket);

  // The request being answered asked for the connection to end after the answer.
  [[nodiscard]] bool TakeCloseAfterAnswer() { return m_sizes.TakeCloseAfterAnswer(); }
  // The connection now carries a stream of events out: nothing it sends is read any more.
  void TakeOverForStream();

 private:
  void OnReadyRead();
  void Refuse(int status, const char* message, uint64_t drain);
  void Discard();
  void CloseWhenDrained();

  QTcpSocket& m_socket;
  QPointer<QObject> m_httpServer;
  CRequestSizeGuard m_sizes;
  bool m_cutOff = false;   // the server no longer sees this connection
  bool m_refused = false;  // an answer was sent; the connection closes once drained
  uint64_t m_drainLeft = 0;
  QTimer m_idle;
  QElapsedTimer m_sinceRefusal;
};

// The listening socket of the control API: every connection gets its guard before the HTTP server
// sees it.
class CGuardedTcpServer : public QTcpServer {
  Q_OBJECT

 public:
  // `httpServer`: the server that will take the connections (and is cut off from refused ones).
  explicit CGuardedTcpServer(QObject& httpServer, QObject* parent = nullptr);

 protected:
  void incomingConnection(qintptr socketDescriptor) override;

 private:
  QObject& m_httpServer;
};

}  // namespace vorn::control
