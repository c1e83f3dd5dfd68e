#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGINT and SIGTERM, delivered on the main loop: the handler only writes a byte to a pipe, and a
// socket notifier on the other end calls the stop function between two events.
//
// CatchStopSignals() installs the handler; main() calls it before anything else, so a signal that
// comes while the program is still starting waits in the pipe until a CStopSignals exists and the
// event loop runs. The handler stays installed until the process ends.
void CatchStopSignals();

class CStopSignals : public QObject {
  Q_OBJECT

 public:
  // Catches the signals (if that was not done yet) and calls `onStop` for each one, including those
  // that came before this object existed, once the event loop runs.
  explicit CStopSignals(std::function<void(int signal)> onStop, QObject* parent = nullptr);
  CStopSignals(const CStopSignals&) = delete;
  CStopSignals& operator=(const CStopSignals&) = delete;

 private:
  std::function<void(int)> m_onStop;
  QSocketNotifier* m_notifier = nullptr;
};
