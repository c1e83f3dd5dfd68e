#pragma once

#include <QtHttpServer/QAbstractHttpServer>
#include <functional>

class QHttpServerRequest;
class QTcpSocket;

namespace vorn::control {

// The HTTP server of the control API: Qt's request parsing, every request handed to one handler,
// which answers it on the socket.
class CHttpFront : public QAbstractHttpServer {
  Q_OBJECT

 public:
  using Handler = std::function<void(const QHttpServerRequest& request, QTcpSocket& socket)>;

  explicit CHttpFront(Handler handler, QObject* parent = nullptr);

 protected:
  bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
  void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

 private:
  Handler m_handler;
};

}  // namespace vorn::control
