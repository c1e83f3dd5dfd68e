#pragma once

#include <cstdint>

#include "support/Clock.h"

namespace vorn::test {

// Both engine clocks, driven by hand: the millisecond counter and the wall clock move together.
struct ManualClocks {
  uint32_t ms = 5000;
  double seconds = 700'000'000.0;  // about 2022

  [[nodiscard]] vorn::Clocks Make() {
    return vorn::Clocks{[this] { return ms; }, [this] { return seconds; }};
  }
  void Advance(uint32_t deltaMs) {
    ms += deltaMs;
    seconds += deltaMs / 1000.0;
  }
};

}  // namespace vorn::test
