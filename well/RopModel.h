#pragma once

#include "well/WellDescription.h"

namespace vorn::well {

// What the rate of penetration depends on at one moment, in SI.
struct RopConditions {
  double tvd = 0.0;           // m
  double wob = 0.0;           // N
  double bitSize = 0.2159;    // m
  double bitRpm = 0.0;
  double wear = 0.0;          // tooth dullness 0..1
  double ecd = 1200.0;        // kg/m3, the circulating density at the bit
};

// The rate of penetration in m/s by the Bourgoyne-Young model in its field units:
// ROP[ft/h] = exp(a1 + a2 (10000 - D) + a4 D (gp - ecd) + a5 ln((w - t)/(4 - t)) + a6 ln(N/60) - a7 h),
// D the vertical depth in ft, gp and ecd in ppg, w the weight per inch of bit in klbf/in, t its
// threshold, N the bit's speed in rpm, h the dullness. Zero below the threshold or without rotation.
[[nodiscard]] double BourgoyneYoungRop(const Formation& formation, const RopConditions& at);

// Dullness gained per second of drilling: the bit's wear rate times the formation's abrasiveness,
// in proportion to the bit's speed (per 60 rpm) and weight (per 4 klbf/in).
[[nodiscard]] double WearRate(const Bit& bit, const Formation& formation, const RopConditions& at);

}  // namespace vorn::well
