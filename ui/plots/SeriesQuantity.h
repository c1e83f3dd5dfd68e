#pragma once

#include <string>

// What a history series measures, so that curves of one quantity can share a value scale: the bit and
// hole depths are both "depth", the two pump rates both "pump rate". A series names its channel
// ("DEPTH"), an output item ("Item DEPTH", whose read-only channel items carry their channel's name) or
// a received WITS item ("WITS 0108", known for the record-1 items the channels go out as).
enum class Quantity {
  Unknown,  // a series of its own kind: never shares a scale
  Depth,
  BlockHeight,
  Rop,
  Hookload,
  Wob,
  Rpm,
  Torque,
  Flow,
  Pressure,
  PumpRate,
  Flag,  // 0 or 1: slips, on bottom
};

[[nodiscard]] Quantity SeriesQuantity(const std::string& series);

// The value as a curve's legend shows it: "TRUE"/"FALSE" for a flag, else two decimals; "-" for none.
[[nodiscard]] std::string SeriesValueText(Quantity quantity, double value);
