#pragma once

// Comparing two JSON texts of the same records, for the targets that write records, read them back
// and write them again.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace fuzz {

// A double's place on the number line, counted in units of the last place.
inline int64_t Ordinal(double value) {
  int64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits < 0 ? INT64_MIN - bits : bits;
}

inline bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

// Two saved texts hold the same records. The reader takes numbers with its default flags, which may
// bring back the writer's shortest form of a long number up to two units in the last place off; such
// a floating-point number counts as the same, everything else (names, texts, integers, flags, the
// layout) must be the same byte for byte.
inline bool SameRecords(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  bool inString = false;
  while (i < a.size() && j < b.size()) {
    const char c = a[i];
    if (inString || !(c == '-' || (c >= '0' && c <= '9'))) {
      if (c != b[j]) return false;
      if (c == '"') inString = !inString;
      if (inString && c == '\\') {  // an escape: the next character is taken as it is
        if (++i >= a.size() || ++j >= b.size() || a[i] != b[j]) return false;
      }
      ++i, ++j;
      continue;
    }
    size_t endA = i, endB = j;
    while (endA < a.size() && IsNumberChar(a[endA])) ++endA;
    while (endB < b.size() && IsNumberChar(b[endB])) ++endB;
    const std::string_view numberA = a.substr(i, endA - i), numberB = b.substr(j, endB - j);
    if (numberA.find_first_of(".eE") == std::string_view::npos) {
      if (numberA != numberB) return false;  // an integer comes back exactly
    } else {
      double x = 0.0, y = 0.0;
      std::from_chars(numberA.data(), numberA.data() + numberA.size(), x);
      std::from_chars(numberB.data(), numberB.data() + numberB.size(), y);
      if (std::llabs(Ordinal(x) - Ordinal(y)) > 2) return false;
    }
    i = endA, j = endB;
  }
  return i == a.size() && j == b.size();
}

}  // namespace fuzz
