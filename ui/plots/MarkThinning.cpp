#include "ui/plots/MarkThinning.h"

#include <cmath>

std::vector<bool> MarkNamesShown(const std::vector<double>& pixels, const std::vector<bool>& first, double extent) {
  std::vector<bool> shown(pixels.size(), false);
  std::vector<double> kept;
  const auto clear = [&](double at) {
    for (const double other : kept) {
      if (std::abs(other - at) < extent) return false;
    }
    return true;
  };
  for (const bool pass : {true, false}) {
    for (size_t i = pixels.size(); i-- > 0;) {
      const bool inPass = i < first.size() && first[i];
      if (inPass != pass || !clear(pixels[i])) continue;
      shown[i] = true;
      kept.push_back(pixels[i]);
    }
  }
  return shown;
}
