#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Wall-clock time is a double: seconds since 2000-01-01 00:00:00 local time, with the milliseconds as
// its fraction.
namespace vorn {

// Broken-down local time, as the program prints it.
struct SystemTime {
  uint16_t wYear = 2000;
  uint16_t wMonth = 1;  // 1 to 12
  uint16_t wDayOfWeek = 6;  // 0 Sunday; 2000-01-01 was a Saturday
  uint16_t wDay = 1;
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;
};

// The real clocks. Engine code never calls these directly: it reads the clocks it was given (Clock.h).
[[nodiscard]] double NowSeconds();               // local wall clock, seconds since 2000-01-01
[[nodiscard]] uint32_t SteadyMilliseconds();     // monotonic, wraps at 2^32

// Day arithmetic both ways between a broken-down time and a time value.
[[nodiscard]] double SystemTimeToSeconds(const SystemTime& time);
[[nodiscard]] SystemTime SecondsToSystemTime(double seconds);  // milliseconds rounded, 1000 carried

[[nodiscard]] std::string FormatFileStamp(double seconds);  // 3_7_2021_14_05_09
[[nodiscard]] std::string FormatDashedTimestamp(const SystemTime& time, std::string_view separator);  // 2021-Mar-07 14:05:09.045
// A status line of the program without a window: "2021-Mar-07 14:05:09.045 <line>".
[[nodiscard]] std::string StampedLine(double seconds, std::string_view line);
[[nodiscard]] std::string FormatSlashedTimestamp(const SystemTime& time, std::string_view separator);  // 3/7/2021 14:05:09.045
[[nodiscard]] std::string MonthAbbreviation(int month);  // "???" outside 1..12
[[nodiscard]] std::string FormatElapsed(double seconds);  // 0:01:02.046

}  // namespace vorn
