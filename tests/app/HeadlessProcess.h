#pragma once

#include <QProcess>
#include <QStringList>
#include <functional>
#include <string>

// The real simulator binary run headless in the test's data root and profile, with bounded waits.
class HeadlessProcess {
 public:
  // Open: the program begins as a launcher starts it. Blocked: it begins with SIGINT and SIGTERM
  // blocked, so a signal sent at once is certain to come before the program could take it: it waits
  // in the kernel until the program unblocks the signals.
  enum class StopSignalsAtStart { Open, Blocked };

  // openFileLimit: the program may open at most this many files (soft and hard limit); 0: as the test.
  explicit HeadlessProcess(QStringList arguments, StopSignalsAtStart stopSignals = StopSignalsAtStart::Open,
                           unsigned openFileLimit = 0);
  ~HeadlessProcess();
  HeadlessProcess(const HeadlessProcess&) = delete;
  HeadlessProcess& operator=(const HeadlessProcess&) = delete;

  bool WaitForStarted();
  // Waits (at most timeoutMs) until standard error holds `text`.
  bool WaitForStatus(const std::string& text, int timeoutMs);
  // SIGTERM, then waits for the exit; the exit code, or -1 when it did not end in time.
  int Terminate(int timeoutMs = 10000);
  int WaitForExit(int timeoutMs);
  [[nodiscard]] std::string Status();
  [[nodiscard]] qint64 Pid() const { return m_process.processId(); }

 private:
  QProcess m_process;
  std::string m_status;
};
