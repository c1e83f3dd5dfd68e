#include "well/RopModel.h"

#include <algorithm>
#include <cmath>

namespace vorn::well {

namespace {

constexpr double kFoot = 0.3048;
constexpr double kPpg = 119.826427;
constexpr double kKlbf = 4448.2216152605;
constexpr double kInch = 0.0254;
constexpr double kMaxExponent = 6.9;  // ln of 1000 ft/h, the fastest any rock drills here

double WeightPerInch(const RopConditions& at) { return at.wob / kKlbf / (at.bitSize / kInch); }

}  // namespace

double BourgoyneYoungRop(const Formation& f, const RopConditions& at) {
  const double w = WeightPerInch(at);
  if (w <= f.thresholdWob || at.bitRpm <= 0.0) return 0.0;
  const double depth = std::max(at.tvd, 0.0) / kFoot;
  const double overbalance = f.poreDensity / kPpg - at.ecd / kPpg;
  const double exponent = f.drillability + f.compaction * (10000.0 - depth) + f.overbalanceExponent * depth * overbalance +
                          f.wobExponent * std::log((w - f.thresholdWob) / (4.0 - f.thresholdWob)) +
                          f.rpmExponent * std::log(at.bitRpm / 60.0) - f.wearExponent * at.wear;
  return std::exp(std::min(exponent, kMaxExponent)) * kFoot / 3600.0;
}

double WearRate(const Bit& bit, const Formation& f, const RopConditions& at) {
  return bit.wearRate / 3600.0 * f.abrasiveness * (at.bitRpm / 60.0) * (WeightPerInch(at) / 4.0);
}

}  // namespace vorn::well
