#pragma once

#include <optional>
#include <string_view>
#include <vector>

// Reading the fields of a data line: numbers, date-time texts, and splitting by a delimiter.
namespace vorn::replay {

// A whole field as a decimal number (sign, digits, point, exponent; "+" allowed); nothing else.
[[nodiscard]] std::optional<double> ReadNumber(std::string_view text);

// Which of the first two numbers of a slashed date is the day.
enum class DateOrder { DayFirst, MonthFirst };

// A date-time text as seconds since 2000-01-01 00:00:00:
//   DD/MM/YYYY-HH:MM:SS, DD/MM/YYYY HH:MM:SS, with MonthFirst M/D/YYYY H:MM:SS.mmm,
//   YYYY-MM-DDTHH:MM:SS[.fff][Z|+hh:mm] (ISO 8601, the offset taken off), YYYY/MM/DD HH:MM:SS,
//   YYYY-Mon-DD H:MM:SS.mmm; a date alone is its midnight. Seconds may have a fraction.
[[nodiscard]] std::optional<double> ReadDateTime(std::string_view text, DateOrder order = DateOrder::DayFirst);
// HH:MM:SS[.fff] as seconds of the day.
[[nodiscard]] std::optional<double> ReadTimeOfDay(std::string_view text);
// Whether a text reads as a date without a time of day (so that a time field may follow it).
[[nodiscard]] bool IsDateOnly(std::string_view text);

// How many seconds one unit of a time index is: S, SEC, MS, MIN, H, HR, D, DAY; nothing for others.
[[nodiscard]] std::optional<double> SecondsPerTimeUnit(std::string_view unit);

// Fields split at a delimiter (' ' means any run of spaces and tabs); leading and trailing blanks are
// trimmed from each field; a field in double quotes keeps its delimiters. Reuses `fields`.
void SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields);

[[nodiscard]] std::string_view Trim(std::string_view text);
// Trim, but a tab that delimits fields stays.
[[nodiscard]] std::string_view TrimFor(std::string_view text, char delimiter);
[[nodiscard]] bool EqualsNoCase(std::string_view a, std::string_view b);
[[nodiscard]] std::string Upper(std::string_view text);

}  // namespace vorn::replay
