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

}  // namespace vorn
