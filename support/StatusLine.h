#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The status lines of the program without a window (standard error, so that a service manager's
// journal keeps them): as text, "2026-Dec-11 09:30:00.100 Rig 3: Mode Drill", or with
// --log-format json one JSON object a line for log shippers:
// {"time":"2026-12-11T09:30:00.100","kind":"mode","rig":3,"text":"Mode Drill"}.
namespace vorn {

enum class StatusFormat { Text, Json };

struct StatusLine {
  std::string_view kind;  // "run", "link", "mode", "sub-state", "fault", "message", "fleet", "control"...
  // 0: the program's one rig; k: rig k of a fleet (its text lines begin "Rig k: "); none: no one rig.
  std::optional<int> rig;
  std::string_view text;
};

using StatusPrinter = std::function<void(const StatusLine& line)>;

// The line at wall-clock `seconds` (see Time.h), without its line end.
[[nodiscard]] std::string FormatStatusLine(StatusFormat format, double seconds, const StatusLine& line);

// "2026-12-11T09:30:00.100": ISO 8601 local time with milliseconds.
[[nodiscard]] std::string FormatIsoTimestamp(double seconds);

}  // namespace vorn
