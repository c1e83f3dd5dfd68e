#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

class QTcpServer;

// Keeps a listening socket answering when the process runs out of file descriptors. An accept that
// fails for want of a descriptor (EMFILE, ENFILE, ENOBUFS) makes the socket stop accepting, so the
// event loop does not spin on a connection it cannot take; it tries again after kRetry, and again
// until one accept succeeds, so it accepts as soon as descriptors are free. Meanwhile the process's
// descriptor reserve is released (see DescriptorReserve.h), and accepting resumes only once it can be
// held again. Other accept errors pass.
class CAcceptPause : public QObject {
  Q_OBJECT

 public:
  static constexpr std::chrono::milliseconds kRetry{100};

  // `report` is told once when accepting stops, with the error's text, and once when it works again.
  CAcceptPause(QTcpServer& server, std::function<void(const std::string& line)> report = {});

  [[nodiscard]] bool Paused() const { return m_paused; }

 private:
  void OnAcceptError();
  void OnAccepted();

  QTcpServer& m_server;
  std::function<void(const std::string&)> m_report;
  QTimer m_retry;
  bool m_paused = false;
};
