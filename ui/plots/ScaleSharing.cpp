#include "ui/plots/ScaleSharing.h"

#include "ui/plots/SeriesQuantity.h"

namespace {

bool SameScale(const PlotCurve& a, const PlotCurve& b) {
  if (a.autoScale || b.autoScale) return a.autoScale == b.autoScale;
  return a.min == b.min && a.max == b.max;
}

}  // namespace

std::vector<size_t> ScaleLeaders(const PlotTrack& track) {
  std::vector<size_t> leaders(track.curves.size());
  for (size_t c = 0; c < track.curves.size(); ++c) {
    leaders[c] = c;
    const PlotCurve& curve = track.curves[c];
    const Quantity quantity = SeriesQuantity(curve.series);
    if (track.bands || curve.ownScale || quantity == Quantity::Unknown) continue;
    for (size_t p = 0; p < c; ++p) {
      const PlotCurve& earlier = track.curves[p];
      if (leaders[p] == p && !earlier.ownScale && SeriesQuantity(earlier.series) == quantity &&
          SameScale(earlier, curve)) {
        leaders[c] = p;
        break;
      }
    }
  }
  return leaders;
}
