#include "support/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vorn {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The span of a decimal number at the start of text (after white space): sign, digits, point and
// fraction, exponent. Its length is 0 when no digit is found.
struct Scan {
  size_t begin = 0;
  size_t length = 0;
};

Scan ScanDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const size_t begin = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return {begin, 0};
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return {begin, i - begin};
}

Scan ScanInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const size_t begin = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const size_t firstDigit = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == firstDigit) return {begin, 0};
  return {begin, i - begin};
}

}  // namespace

double ReadDecimal(std::string_view text) {
  const Scan scan = ScanDecimal(text);
  if (scan.length == 0) return 0.0;
  std::string_view number = text.substr(scan.begin, scan.length);
  if (number.front() == '+') number.remove_prefix(1);  // from_chars takes no plus sign
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error == std::errc::result_out_of_range) {
    // Overflow reads as 0, never as infinity; an underflow is as near to 0 as it gets.
    return 0.0;
  }
  if (error != std::errc() || !std::isfinite(value)) return 0.0;
  (void)end;
  return value;
}

bool HoldsDecimal(std::string_view text) { return ScanDecimal(text).length > 0; }

bool IsWholeDecimal(std::string_view text) {
  const Scan scan = ScanDecimal(text);
  if (scan.length == 0) return false;
  for (size_t i = scan.begin + scan.length; i < text.size(); ++i) {
    if (!IsSpace(text[i])) return false;
  }
  return true;
}

int32_t ReadInteger(std::string_view text) {
  const Scan scan = ScanInteger(text);
  if (scan.length == 0) return 0;
  std::string_view number = text.substr(scan.begin, scan.length);
  const bool negative = number.front() == '-';
  if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);
  int64_t value = 0;
  for (const char c : number) {
    value = value * 10 + (c - '0');
    if (value > int64_t{1} << 32) break;  // saturated whatever the remaining digits
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

bool HoldsInteger(std::string_view text) { return ScanInteger(text).length > 0; }

std::string FormatG(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
}

std::string FormatFixed(double value, int decimals) {
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

}  // namespace vorn
