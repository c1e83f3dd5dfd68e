#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "well/WellDescription.h"

namespace vorn::well {

// The longest well file read: a well with a long plan and many formations stays far below it.
inline constexpr std::size_t kMaxWellFileBytes = 1 << 20;

// A well read from its JSON text, or why not: the message names the member at fault.
struct WellRead {
  std::optional<Well> well;
  std::string error;
  [[nodiscard]] bool ok() const { return well.has_value(); }
};

// Reads a well's JSON text. Every member has a default, so "{}" is a well; numbers are in the units
// the well's "units" names. A member of the wrong type, out of its range or unknown refuses the whole
// text.
[[nodiscard]] WellRead ReadWell(std::string_view text);

}  // namespace vorn::well
