#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// SIGINT and SIGTERM, delivered on the main loop: the handler only writes a byte to a pipe, and a
// socket notifier on the other end calls the stop function between two events.
class CStopSignals : public QObject {
  Q_OBJECT

 public:
  explicit CStopSignals(std::function<void(int signal)> onStop, QObject* parent = nullptr);
  ~CStopSignals() override;
  CStopSignals(const CStopSignals&) = delete;
  CStopSignals& operator=(const CStopSignals&) = delete;

 private:
  std::function<void(int)> m_onStop;
  QSocketNotifier* m_notifier = nullptr;
};
