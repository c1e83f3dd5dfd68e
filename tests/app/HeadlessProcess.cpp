#include "tests/app/HeadlessProcess.h"

#include "tests/common/EventWait.h"

#include <QCoreApplication>
#include <sys/resource.h>

#include <csignal>

#ifndef VORN_SIMULATOR_BINARY
#error "VORN_SIMULATOR_BINARY must name the simulator binary"
#endif

HeadlessProcess::HeadlessProcess(QStringList arguments, StopSignalsAtStart stopSignals, unsigned openFileLimit) {
  arguments.prepend("--headless");
  m_process.setProgram(VORN_SIMULATOR_BINARY);
  m_process.setArguments(arguments);
  m_process.setProcessChannelMode(QProcess::SeparateChannels);
  // Runs in the child between fork and exec; the signal mask and the limits survive the exec.
  m_process.setChildProcessModifier([stopSignals, openFileLimit] {
    if (stopSignals == StopSignalsAtStart::Blocked) {
      sigset_t stop;
      sigemptyset(&stop);
      sigaddset(&stop, SIGINT);
      sigaddset(&stop, SIGTERM);
      pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    }
    if (openFileLimit != 0) {
      const rlimit limit{openFileLimit, openFileLimit};
      setrlimit(RLIMIT_NOFILE, &limit);
    }
  });
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
  return vorn::test::WaitUntil([&] { return Status().find(text) != std::string::npos; }, timeoutMs);
}

int HeadlessProcess::WaitForExit(int timeoutMs) {
  if (!vorn::test::WaitUntil([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs)) return -1;
  (void)Status();  // takes in the last of standard error
  return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

int HeadlessProcess::Terminate(int timeoutMs) {
  if (m_process.state() != QProcess::NotRunning) ::kill(static_cast<pid_t>(m_process.processId()), SIGTERM);
  return WaitForExit(timeoutMs);
}
