#include "support/WakeTimer.h"

#include <algorithm>

namespace vorn {

CWakeTimer::CWakeTimer(std::function<uint32_t()> clock, std::function<void()> wake, QObject* parent)
    : QObject(parent), m_clock(std::move(clock)), m_wake(std::move(wake)) {
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, [this] { m_wake(); });
}

void CWakeTimer::WakeAt(std::optional<uint32_t> dueMs) {
  if (!dueMs) {
    m_timer.stop();
    return;
  }
  m_timer.start(std::max(ElapsedMs(*dueMs, m_clock()), 0));
}

}  // namespace vorn
