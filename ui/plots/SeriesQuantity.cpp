#include "ui/plots/SeriesQuantity.h"

#include <cmath>
#include <string_view>

#include "support/Numbers.h"

namespace {

struct Known {
  std::string_view name;
  Quantity quantity;
};

constexpr Known kChannels[] = {
    {"DEPTH", Quantity::Depth},   {"HOLE_DEPTH", Quantity::Depth},  {"BLOCK_HEIGHT", Quantity::BlockHeight},
    {"ROP", Quantity::Rop},       {"HOOKLOAD", Quantity::Hookload}, {"SLIPS", Quantity::Flag},
    {"ON_BOTTOM", Quantity::Flag}, {"RPM", Quantity::Rpm},          {"FLOW", Quantity::Flow},
    {"SPP", Quantity::Pressure},  {"SPM1", Quantity::PumpRate},     {"SPM2", Quantity::PumpRate},
    {"WOB", Quantity::Wob},       {"TORQ", Quantity::Torque}};

// Record 1 (time-based drilling data): the items of the channels, and their neighbours of one kind.
struct KnownItem {
  int item;
  Quantity quantity;
};
constexpr KnownItem kRecordOne[] = {
    {8, Quantity::Depth},     {9, Quantity::Depth},    {10, Quantity::Depth},    {11, Quantity::Depth},
    {12, Quantity::BlockHeight}, {13, Quantity::Rop},  {14, Quantity::Hookload}, {15, Quantity::Hookload},
    {16, Quantity::Wob},      {17, Quantity::Wob},     {18, Quantity::Torque},   {19, Quantity::Torque},
    {20, Quantity::Rpm},      {21, Quantity::Pressure}, {23, Quantity::PumpRate}, {24, Quantity::PumpRate},
    {25, Quantity::PumpRate}, {30, Quantity::Flow},    {44, Quantity::Flag},     {45, Quantity::Flag}};

Quantity ChannelQuantity(std::string_view name) {
  for (const Known& known : kChannels) {
    if (known.name == name) return known.quantity;
  }
  return Quantity::Unknown;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

Quantity SeriesQuantity(const std::string& series) {
  const std::string_view name = series;
  if (StartsWith(name, "Item ")) return ChannelQuantity(name.substr(5));
  if (StartsWith(name, "WITS ")) {
    const std::string_view digits = name.substr(5);
    if (digits.size() != 4 || digits.substr(0, 2) != "01") return Quantity::Unknown;
    if (digits[2] < '0' || digits[2] > '9' || digits[3] < '0' || digits[3] > '9') return Quantity::Unknown;
    const int item = (digits[2] - '0') * 10 + (digits[3] - '0');
    for (const KnownItem& known : kRecordOne) {
      if (known.item == item) return known.quantity;
    }
    return Quantity::Unknown;
  }
  return ChannelQuantity(name);
}

std::string SeriesValueText(Quantity quantity, double value) {
  if (std::isnan(value)) return "-";
  if (quantity == Quantity::Flag) return value != 0.0 ? "TRUE" : "FALSE";
  return vorn::FormatFixed(value, 2);
}
