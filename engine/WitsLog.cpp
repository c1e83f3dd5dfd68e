#include "engine/WitsLog.h"

#include "support/Time.h"

namespace {

std::string Entry(std::string_view direction, double nowSeconds, std::string_view text) {
  std::string entry(direction);
  entry += vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(nowSeconds), " ");
  entry += '\n';
  entry += text;
  std::erase(entry, '\r');
  return entry;
}

}  // namespace

std::string WitsOutEntry(double nowSeconds, std::string_view frame) { return Entry("OUT ", nowSeconds, frame); }

std::string WitsInEntry(double nowSeconds, std::string_view text) {
  std::string entry = Entry("IN ", nowSeconds, text);
  if (entry.back() != '\n') entry += '\n';
  return entry;
}
