#pragma once

#include <cstdint>
#include <functional>

#include "support/Time.h"

namespace vorn {

// The two clocks the engine and its links read time from. Tests drive both by hand.
struct Clocks {
  // Monotonic milliseconds, wrapping at 2^32; differences are taken modulo 2^32 and read as signed.
  std::function<uint32_t()> milliseconds = SteadyMilliseconds;
  // Local seconds since 2000-01-01 00:00:00 with a millisecond fraction.
  std::function<double()> nowSeconds = NowSeconds;
};

// Signed difference of two millisecond readings, correct across the 2^32 wrap.
[[nodiscard]] inline int32_t ElapsedMs(uint32_t now, uint32_t then) {
  return static_cast<int32_t>(now - then);
}

// Time on the millisecond clock summed reading by reading, so a span may outlast the clock's wrap.
// A reading behind the last one adds nothing.
class CElapsedSum {
 public:
  // The next reading counts from `now`; what was summed stays.
  void CountFrom(uint32_t now) { m_lastMs = now; }
  // Adds the time since the last reading; the sum so far.
  uint64_t Add(uint32_t now) {
    const int32_t elapsed = ElapsedMs(now, m_lastMs);
    if (elapsed > 0) m_sumMs += static_cast<uint64_t>(elapsed);
    m_lastMs = now;
    return m_sumMs;
  }

 private:
  uint64_t m_sumMs = 0;
  uint32_t m_lastMs = 0;
};

}  // namespace vorn
