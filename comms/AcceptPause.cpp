#include "comms/AcceptPause.h"

#include <QTcpServer>

#include "support/DescriptorReserve.h"

CAcceptPause::CAcceptPause(QTcpServer& server, std::function<void(const std::string&)> report)
    : QObject(&server), m_server(server), m_report(std::move(report)) {
  m_retry.setSingleShot(true);
  m_retry.setInterval(kRetry);
  connect(&m_retry, &QTimer::timeout, this, [this] {
    // Accepting again only leaves the reserve's descriptors free if it can be held again.
    if (!vorn::HoldDescriptorReserve()) {
      m_retry.start();
      return;
    }
    if (m_server.isListening()) m_server.resumeAccepting();
  });
  connect(&m_server, &QTcpServer::acceptError, this, [this](QAbstractSocket::SocketError error) {
    if (error == QAbstractSocket::SocketResourceError) OnAcceptError();
  });
  connect(&m_server, &QTcpServer::newConnection, this, &CAcceptPause::OnAccepted);
}

void CAcceptPause::OnAcceptError() {
  m_server.pauseAccepting();  // the socket stays readable while its connection waits
  vorn::ReleaseDescriptorReserve();
  if (!m_paused && m_report) {
    m_report("Accepting paused: " + m_server.errorString().toStdString() + "; tried again every " +
             std::to_string(kRetry.count()) + " ms");
  }
  m_paused = true;
  m_retry.start();
}

void CAcceptPause::OnAccepted() {
  if (!m_paused) return;
  m_paused = false;
  if (m_report) m_report("Accepting again");
}
