#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "support/Clock.h"

namespace vorn {

// Calls back once when a time on the engine's millisecond clock has come: the thin adapter between a
// part that keeps its own due times (read from the injectable clock) and Qt's timer. Tests leave it
// out and call the part's service themselves after moving the clock.
class CWakeTimer : public QObject {
  Q_OBJECT

 public:
  CWakeTimer(std::function<uint32_t()> clock, std::function<void()> wake, QObject* parent = nullptr);
  CWakeTimer(const CWakeTimer&) = delete;
  CWakeTimer& operator=(const CWakeTimer&) = delete;

  // Wakes at `dueMs` (at once when it has passed); nothing: no wake-up.
  void WakeAt(std::optional<uint32_t> dueMs);

 private:
  std::function<uint32_t()> m_clock;
  std::function<void()> m_wake;
  QTimer m_timer;
};

}  // namespace vorn
