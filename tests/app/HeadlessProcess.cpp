#include "tests/app/HeadlessProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <csignal>

#ifndef VORN_SIMULATOR_BINARY
#error "VORN_SIMULATOR_BINARY must name the simulator binary"
#endif

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    // Runs the event loop for a slice, so sockets and the child process deliver their events.
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

HeadlessProcess::HeadlessProcess(QStringList arguments) {
  arguments.prepend("--headless");
  m_process.setProgram(VORN_SIMULATOR_BINARY);
  m_process.setArguments(arguments);
  m_process.setProcessChannelMode(QProcess::SeparateChannels);
  m_process.start();
}

HeadlessProcess::~HeadlessProcess() {
  if (m_process.state() != QProcess::NotRunning) {
    m_process.kill();
    m_process.waitForFinished(5000);
  }
}

bool HeadlessProcess::WaitForStarted() { return m_process.waitForStarted(10000); }

std::string HeadlessProcess::Status() {
  m_status += m_process.readAllStandardError().toStdString();
  return m_status;
}

bool HeadlessProcess::WaitForStatus(const std::string& text, int timeoutMs) {
  return WaitUntil([&] { return Status().find(text) != std::string::npos; }, timeoutMs);
}

int HeadlessProcess::WaitForExit(int timeoutMs) {
  if (!WaitUntil([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs)) return -1;
  Status();
  return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int HeadlessProcess::Terminate(int timeoutMs) {
  if (m_process.state() != QProcess::NotRunning) ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
  return WaitForExit(timeoutMs);
}
