#pragma once

#include <compare>
#include <cstdint>

// A (record, item) pair, ordered by record, then item.
struct WitsItemKey {
  int32_t record = 0;
  int32_t item = 0;

  auto operator<=>(const WitsItemKey&) const = default;
};
