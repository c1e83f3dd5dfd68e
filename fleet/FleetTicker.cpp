#include "fleet/FleetTicker.h"

#include <algorithm>

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr auto kTickMs = static_cast<uint32_t>(CRunControl::kTickMs);

bool IsDue(uint32_t dueMs, uint32_t now) { return vorn::ElapsedMs(now, dueMs) >= 0; }

// The first moment after `now` that is a whole number of ticks from `phaseMs`.
uint32_t NextInPhase(uint32_t phaseMs, uint32_t now) {
  const uint32_t sincePhase = (now - phaseMs) % kTickMs;  // the clock's wrap moves the phase once in 49 days
  return now + (kTickMs - sincePhase);
}

}  // namespace

CFleetTicker::CFleetTicker(std::function<uint32_t()> clock)
    : m_clock(clock), m_wakeTimer(std::move(clock), [this] { Service(); }) {}

CFleetTicker::~CFleetTicker() = default;

void CFleetTicker::StartTicks(CRunControl& run) {
  const uint32_t now = m_clock();
  const uint32_t due = m_phaseAnchorMs ? NextInPhase(*m_phaseAnchorMs, now) : now + kTickMs;
  m_ticking.push_back({&run, due});
  WakeNoLaterThan(due);
}

void CFleetTicker::StopTicks(CRunControl& run) {
  // Marked, not erased, and the timer left as it is: a rig may stop from inside a tick while the list
  // is walked, and a fleet's thousands of rigs stop one after the other. The next wake-up sweeps.
  for (Ticking& ticking : m_ticking) {
    if (ticking.run == &run) {
      ticking.run = nullptr;
      break;  // a run ticks once at most
    }
  }
}

void CFleetTicker::CallAt(uint32_t dueMs, std::function<void()> call) {
  m_calls.push_back({dueMs, std::move(call)});
  WakeNoLaterThan(dueMs);
}

void CFleetTicker::WakeNoLaterThan(uint32_t dueMs) {
  // Only an earlier due time moves the timer, so starting many rigs costs no search each.
  if (m_servicing || (m_armedMs && vorn::ElapsedMs(dueMs, *m_armedMs) >= 0)) return;
  m_armedMs = dueMs;
  m_wakeTimer.WakeAt(dueMs);
}

void CFleetTicker::Service() {
  if (m_servicing) return;
  m_servicing = true;
  const auto wakeStart = SteadyClock::now();
  const uint32_t now = m_clock();
  // Entries added while walking (a call that starts a run) are left for the next wake-up.
  const std::size_t ticking = m_ticking.size();
  for (std::size_t i = 0; i < ticking; ++i) {
    if (m_ticking[i].run == nullptr || !IsDue(m_ticking[i].dueMs, now)) continue;
    const auto tickStart = SteadyClock::now();
    m_ticking[i].run->Tick();
    m_slowest.tick = std::max(m_slowest.tick, std::chrono::nanoseconds(SteadyClock::now() - tickStart));
    Ticking& ticked = m_ticking[i];  // the tick may have added entries
    ticked.dueMs += kTickMs;
    if (IsDue(ticked.dueMs, now)) ticked.dueMs = NextInPhase(ticked.dueMs, now);
  }
  std::vector<Call> due;
  for (auto it = m_calls.begin(); it != m_calls.end();) {
    if (IsDue(it->dueMs, now)) {
      due.push_back(std::move(*it));
      it = m_calls.erase(it);
    } else {
      ++it;
    }
  }
  for (Call& call : due) call.call();
  std::erase_if(m_ticking, [](const Ticking& entry) { return entry.run == nullptr; });
  m_slowest.wake = std::max(m_slowest.wake, std::chrono::nanoseconds(SteadyClock::now() - wakeStart));
  m_servicing = false;
  if (m_afterWake) m_afterWake();
  Rearm();
}

std::optional<uint32_t> CFleetTicker::NextDue() const {
  std::optional<uint32_t> next;
  const uint32_t now = m_clock();
  const auto consider = [&](uint32_t dueMs) {
    if (!next || vorn::ElapsedMs(dueMs, now) < vorn::ElapsedMs(*next, now)) next = dueMs;
  };
  for (const Ticking& ticking : m_ticking) {
    if (ticking.run != nullptr) consider(ticking.dueMs);
  }
  for (const Call& call : m_calls) consider(call.dueMs);
  return next;
}

std::size_t CFleetTicker::TickingCount() const {
  return static_cast<std::size_t>(
      std::count_if(m_ticking.begin(), m_ticking.end(), [](const Ticking& entry) { return entry.run != nullptr; }));
}

CFleetTicker::Slowest CFleetTicker::TakeSlowest() { return std::exchange(m_slowest, Slowest{}); }

void CFleetTicker::Rearm() {
  m_armedMs = NextDue();
  m_wakeTimer.WakeAt(m_armedMs);
}
