#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/RunControl.h"
#include "support/Clock.h"
#include "support/WakeTimer.h"

// The one timer of a fleet: it ticks every running rig's run loop every CRunControl::kTickMs, and
// calls the calls scheduled on it (the rigs' delayed run starts). A rig keeps the phase at which its
// run started, rounded up to the fleet's grid of kFleetSlotMs, so rigs started at different moments
// tick at different moments; rigs due at the same wake-up tick one after the other, in the order they
// started. A wake-up that comes late ticks each
// due rig once, and a rig more than a tick behind goes on a tick from now: ticks never queue up.
//
// Time comes from the given millisecond clock (tests drive it and call Service themselves); the time a
// tick takes is measured on the steady clock for the fleet's status line.
class CFleetTicker : public CTickSourceIF {
 public:
  explicit CFleetTicker(std::function<uint32_t()> clock);
  ~CFleetTicker();
  CFleetTicker(const CFleetTicker&) = delete;
  CFleetTicker& operator=(const CFleetTicker&) = delete;

  // The first tick comes at the next moment, after now, that is a whole number of ticks from the
  // phase anchor; without an anchor, a tick from now.
  void StartTicks(CRunControl& run) override;
  void StopTicks(CRunControl& run) override;

  // The phase of the runs started from now on: the moment they are meant to start.
  void SetPhaseAnchor(std::optional<uint32_t> anchorMs) { m_phaseAnchorMs = anchorMs; }

  // Calls `call` once at `dueMs` on the clock (at the next wake-up when it has passed).
  void CallAt(uint32_t dueMs, std::function<void()> call);
  // After every wake-up, once its ticks and calls are done.
  void SetAfterWake(std::function<void()> afterWake) { m_afterWake = std::move(afterWake); }

  // Ticks what is due and calls what is due now, then arms the timer for the next due time.
  void Service();
  // The next time something is due; none when nothing is.
  [[nodiscard]] std::optional<uint32_t> NextDue() const;
  [[nodiscard]] std::size_t TickingCount() const;

  // The longest single tick and the longest wake-up (all its ticks) since the last call, and resets them.
  struct Slowest {
    std::chrono::nanoseconds tick{0};
    std::chrono::nanoseconds wake{0};
  };
  Slowest TakeSlowest();

 private:
  struct Ticking {
    CRunControl* run;  // null once stopped, until the entry is swept
    uint32_t dueMs;
  };
  struct Call {
    uint32_t dueMs;
    std::function<void()> call;
  };

  void Rearm();
  void WakeNoLaterThan(uint32_t dueMs);

  std::function<uint32_t()> m_clock;
  std::optional<uint32_t> m_phaseAnchorMs;
  std::optional<uint32_t> m_armedMs;  // when the timer wakes next
  vorn::CWakeTimer m_wakeTimer;
  std::vector<Ticking> m_ticking;
  std::vector<Call> m_calls;
  std::function<void()> m_afterWake;
  Slowest m_slowest;
  bool m_servicing = false;
};
