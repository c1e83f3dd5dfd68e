#pragma once

#include <cstdint>

#include "support/Clock.h"

// Engine clocks that a benchmark moves by hand.
struct BenchClocks {
  uint32_t ms = 1000;
  double seconds = 700'000'000.0;
  vorn::Clocks Make() { return {[this] { return ms; }, [this] { return seconds; }}; }
};
