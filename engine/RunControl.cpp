#include "engine/RunControl.h"

#include <algorithm>
#include <utility>

#include "engine/RigSim.h"
#include "support/Text.h"

CRunControl::CRunControl(CRigSim& engine, RunHooks hooks, QObject* parent)
    : QObject(parent), m_engine(engine), m_hooks(std::move(hooks)) {
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, &CRunControl::OnRunTimer);
}

void CRunControl::OnRunClicked(bool checked) {
  m_nRun = checked ? 1 : 0;
  if (m_nRun == 1) {
    BeginRun();
  } else {
    EndRun();
  }
}

void CRunControl::BeginRun() {
  m_nRun = 1;
  // The run starts from the saved state, so time spent stopped does not count in the sub-state.
  if (m_hooks.loadState) m_hooks.loadState();
  std::string reason;
  if (m_engine.StartRun(reason)) {
    m_lastTickStart.reset();
    if (m_tickSource != nullptr) {
      m_ticksFrom = m_tickSource;
      m_ticksFrom->StartTicks(*this);
    } else {
      m_timer.start(kTickMs);
    }
    if (m_hooks.runningChanged) m_hooks.runningChanged(true);
    return;
  }
  m_nRun = 0;
  if (m_hooks.reportFailure) m_hooks.reportFailure(vorn::Sprintf("Failed to Connect: %s", reason.c_str()));
}

void CRunControl::EndRun() {
  m_nRun = 0;
  if (m_hooks.saveState) m_hooks.saveState();
  m_engine.StopRun();
  m_timer.stop();
  if (CTickSourceIF* source = std::exchange(m_ticksFrom, nullptr)) source->StopTicks(*this);
  if (m_hooks.runningChanged) m_hooks.runningChanged(false);
}

void CRunControl::Tick() {
  if (m_nRun != 1 || m_inTick) return;
  m_inTick = true;
  using std::chrono::steady_clock;
  const steady_clock::time_point start = steady_clock::now();
  if (m_lastTickStart && start - *m_lastTickStart > std::chrono::milliseconds(kTickMs * 3 / 2)) ++m_timing.late;
  m_lastTickStart = start;
  m_engine.OnTick();
  if (m_hooks.afterTick) m_hooks.afterTick();
  ++m_timing.ticks;
  m_timing.slowest = std::max(m_timing.slowest, std::chrono::duration_cast<std::chrono::nanoseconds>(steady_clock::now() - start));
  m_inTick = false;
}

void CRunControl::OnRunTimer() {
  m_timer.stop();
  Tick();
  // EndRun may have been called from inside the tick (a refresh, a callback): then stay stopped.
  if (m_nRun == 1) m_timer.start(kTickMs);
}
