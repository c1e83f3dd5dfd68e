#pragma once

#include <optional>
#include <string_view>

// Units that drilling files state, each a multiple (and for temperatures an offset) of one base unit
// of its kind, so a value converts between two units of the same kind.
namespace vorn::replay {

enum class UnitSystem { AsFile, Metric, Imperial };

// The value in `to` of `value` in `from`; nothing when either unit is unknown or the kinds differ.
[[nodiscard]] std::optional<double> ConvertUnit(double value, std::string_view from, std::string_view to);
// Whether a unit text is one the conversion knows.
[[nodiscard]] bool IsKnownUnit(std::string_view unit);

}  // namespace vorn::replay
