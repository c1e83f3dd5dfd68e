#include "control/HttpFront.h"

#include <QTcpSocket>
#include <QtHttpServer/QHttpServerRequest>

namespace vorn::control {

CHttpFront::CHttpFront(Handler handler, QObject* parent) : QAbstractHttpServer(parent), m_handler(std::move(handler)) {}

bool CHttpFront::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
  if (socket != nullptr) m_handler(request, *socket);
  return true;
}

// Never called: every request is handled.
void CHttpFront::missingHandler(const QHttpServerRequest&, QTcpSocket*) {}

}  // namespace vorn::control
