#include "replay/FieldText.h"

#include <array>
#include <charconv>
#include <cctype>
#include <string>

#include "support/Time.h"

namespace vorn::replay {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads a run of digits as a whole number; advances the text past it.
std::optional<int> TakeDigits(std::string_view& text, std::size_t minDigits, std::size_t maxDigits) {
  std::size_t n = 0;
  int value = 0;
  while (n < text.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(text[n])) != 0) {
    value = value * 10 + (text[n] - '0');
    ++n;
  }
  if (n < minDigits) return std::nullopt;
  text.remove_prefix(n);
  return value;
}

bool TakeChar(std::string_view& text, std::string_view choices) {
  if (text.empty() || choices.find(text.front()) == std::string_view::npos) return false;
  text.remove_prefix(1);
  return true;
}

std::optional<int> TakeMonthName(std::string_view& text) {
  static constexpr std::array<const char*, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
  if (text.size() < 3) return std::nullopt;
  for (std::size_t m = 0; m < kMonths.size(); ++m) {
    if (EqualsNoCase(text.substr(0, 3), kMonths[m])) {
      text.remove_prefix(3);
      return static_cast<int>(m) + 1;
    }
  }
  return std::nullopt;
}

// H:MM[:SS[.fff]] from the front of the text, as seconds of the day.
std::optional<double> TakeTime(std::string_view& text) {
  const auto hour = TakeDigits(text, 1, 2);
  if (!hour || !TakeChar(text, ":")) return std::nullopt;
  const auto minute = TakeDigits(text, 2, 2);
  if (!minute) return std::nullopt;
  double second = 0.0;
  if (TakeChar(text, ":")) {
    std::size_t n = 0;
    while (n < text.size() && (std::isdigit(static_cast<unsigned char>(text[n])) != 0 || text[n] == '.')) ++n;
    const auto value = ReadNumber(text.substr(0, n));
    if (!value || n < 2) return std::nullopt;
    second = *value;
    text.remove_prefix(n);
  }
  if (*hour > 24 || *minute > 59 || second < 0.0 || second >= 61.0) return std::nullopt;
  return *hour * 3600.0 + *minute * 60.0 + second;
}

// Z, +hh:mm, -hhmm at the end of an ISO text, as seconds to take off.
std::optional<double> TakeZone(std::string_view& text) {
  if (text.empty()) return 0.0;
  if (text == "Z" || text == "z") {
    text = {};
    return 0.0;
  }
  const char sign = text.front();
  if (sign != '+' && sign != '-') return std::nullopt;
  text.remove_prefix(1);
  const auto hours = TakeDigits(text, 2, 2);
  if (!hours) return std::nullopt;
  TakeChar(text, ":");
  const auto minutes = TakeDigits(text, 2, 2);
  if (!minutes || !text.empty()) return std::nullopt;
  const double offset = *hours * 3600.0 + *minutes * 60.0;
  return sign == '+' ? offset : -offset;
}

std::optional<double> DaySeconds(int year, int month, int day) {
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  vorn::SystemTime time;
  time.wYear = static_cast<uint16_t>(year);
  time.wMonth = static_cast<uint16_t>(month);
  time.wDay = static_cast<uint16_t>(day);
  return vorn::SystemTimeToSeconds(time);
}

}  // namespace

std::optional<double> ReadNumber(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<double> ReadTimeOfDay(std::string_view text) {
  text = Trim(text);
  const auto seconds = TakeTime(text);
  if (!seconds || !text.empty()) return std::nullopt;
  return seconds;
}

std::optional<double> ReadDateTime(std::string_view text, DateOrder order) {
  text = Trim(text);
  if (text.size() > 64) return std::nullopt;
  std::string_view rest = text;
  const auto first = TakeDigits(rest, 1, 4);
  if (!first || rest.empty()) return std::nullopt;
  int year = 0;
  int month = 0;
  int day = 0;
  bool iso = false;
  const std::string_view afterFirst = rest;
  if (TakeChar(rest, "-/.") && text.size() - rest.size() == 5) {
    // A four-digit year first: YYYY-MM-DD, YYYY/MM/DD or YYYY-Mon-DD.
    year = *first;
    const auto named = TakeMonthName(rest);
    const auto m = named ? named : TakeDigits(rest, 1, 2);
    if (!m || !TakeChar(rest, "-/.")) return std::nullopt;
    const auto d = TakeDigits(rest, 1, 2);
    if (!d) return std::nullopt;
    month = *m;
    day = *d;
    iso = afterFirst.front() == '-' && !named;
  } else {
    rest = afterFirst;
    if (!TakeChar(rest, "/.-")) return std::nullopt;
    const auto second = TakeDigits(rest, 1, 2);
    if (!second || !TakeChar(rest, "/.-")) return std::nullopt;
    const auto y = TakeDigits(rest, 4, 4);
    if (!y) return std::nullopt;
    year = *y;
    day = order == DateOrder::DayFirst ? *first : *second;
    month = order == DateOrder::DayFirst ? *second : *first;
  }
  auto seconds = DaySeconds(year, month, day);
  if (!seconds) return std::nullopt;
  if (rest.empty()) return seconds;
  if (!TakeChar(rest, "T- ")) return std::nullopt;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const auto time = TakeTime(rest);
  if (!time) return std::nullopt;
  double offset = 0.0;
  if (!rest.empty()) {
    if (!iso) return std::nullopt;
    const auto zone = TakeZone(rest);
    if (!zone) return std::nullopt;
    offset = *zone;
  }
  return *seconds + *time - offset;
}

bool IsDateOnly(std::string_view text) {
  text = Trim(text);
  return text.find(':') == std::string_view::npos && ReadDateTime(text).has_value();
}

std::optional<double> SecondsPerTimeUnit(std::string_view unit) {
  const std::string u = Upper(Trim(unit));
  if (u == "S" || u == "SEC" || u == "SECS" || u == "SECONDS" || u == "SECOND") return 1.0;
  if (u == "MS" || u == "MSEC") return 0.001;
  if (u == "MIN" || u == "MINS" || u == "MINUTES") return 60.0;
  if (u == "H" || u == "HR" || u == "HRS" || u == "HOURS") return 3600.0;
  if (u == "D" || u == "DAY" || u == "DAYS") return 86400.0;
  return std::nullopt;
}

void SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t i = 0;
  const std::size_t n = line.size();
  if (delimiter == ' ') {
    while (i < n) {
      while (i < n && IsBlank(line[i])) ++i;
      if (i >= n) break;
      std::size_t start = i;
      if (line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        if (close != std::string_view::npos) {
          fields.push_back(line.substr(i + 1, close - i - 1));
          i = close + 1;
          continue;
        }
      }
      while (i < n && !IsBlank(line[i])) ++i;
      fields.push_back(line.substr(start, i - start));
    }
    return;
  }
  // A tab that separates is no blank to trim.
  const auto blank = [delimiter](char c) { return c == ' ' || (c == '\t' && delimiter != '\t'); };
  for (;;) {
    while (i < n && blank(line[i])) ++i;
    std::size_t start = i;
    std::size_t end = 0;
    if (i < n && line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close != std::string_view::npos) {
        start = i + 1;
        end = close;
        i = close + 1;
        while (i < n && line[i] != delimiter) ++i;
        fields.push_back(line.substr(start, end - start));
        if (i >= n) return;
        ++i;
        continue;
      }
    }
    const std::size_t next = line.find(delimiter, i);
    end = next == std::string_view::npos ? n : next;
    std::size_t trimmed = end;
    while (trimmed > start && blank(line[trimmed - 1])) --trimmed;
    fields.push_back(line.substr(start, trimmed - start));
    if (next == std::string_view::npos) return;
    i = next + 1;
  }
}

std::string_view TrimFor(std::string_view text, char delimiter) {
  if (delimiter != '\t') return Trim(text);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace vorn::replay
