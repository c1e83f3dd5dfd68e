// Which curves of a track share a value scale, and which marks' names are shown.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "ui/plots/MarkThinning.h"
#include "ui/plots/PlotLayout.h"
#include "ui/plots/ScaleSharing.h"
#include "ui/plots/SeriesQuantity.h"

namespace {

TEST(ScaleLeaders, TheDefaultTracksShareOnlyTheDepthsAndThePumpRates) {
  const PlotLayout layout = DefaultPlotLayout();
  const std::vector<std::vector<size_t>> expected{{0, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 0}, {0, 1}};
  for (size_t t = 0; t < expected.size(); ++t) EXPECT_EQ(ScaleLeaders(layout.tracks[t]), expected[t]) << t;
}

// Over random tracks: a curve is drawn on the scale of the first earlier leading curve of its known
// quantity, set alike, when neither keeps its own; otherwise it leads.
TEST(ScaleLeaders, ACurveJoinsTheFirstEarlierScaleOfItsQuantitySetAlike) {
  const std::vector<std::string> names{"DEPTH", "HOLE_DEPTH", "Item DEPTH", "WITS 0110", "WITS 0123",
                                       "SPM1",  "SPM2",       "HOOKLOAD",   "WOB",       "WITS 0299", "Item GAM"};
  std::mt19937 random(24);
  for (int round = 0; round < 500; ++round) {
    PlotTrack track;
    track.bands = random() % 8 == 0;
    const size_t count = random() % 7;
    for (size_t c = 0; c < count; ++c) {
      PlotCurve curve;
      curve.series = names[random() % names.size()];
      curve.ownScale = random() % 6 == 0;
      curve.autoScale = random() % 3 != 0;
      if (!curve.autoScale) curve.max = random() % 2 == 0 ? 100.0 : 2000.0;
      track.curves.push_back(curve);
    }
    const std::vector<size_t> leaders = ScaleLeaders(track);
    ASSERT_EQ(leaders.size(), count);
    for (size_t c = 0; c < count; ++c) {
      const PlotCurve& curve = track.curves[c];
      const Quantity quantity = SeriesQuantity(curve.series);
      // The first earlier curve that could take it, whatever the code's order of looking.
      size_t want = c;
      for (size_t p = 0; p < c && !track.bands && !curve.ownScale && quantity != Quantity::Unknown; ++p) {
        const PlotCurve& earlier = track.curves[p];
        const bool alike = earlier.autoScale == curve.autoScale &&
                           (curve.autoScale || (earlier.min == curve.min && earlier.max == curve.max));
        if (leaders[p] == p && !earlier.ownScale && SeriesQuantity(earlier.series) == quantity && alike) {
          want = p;
          break;
        }
      }
      EXPECT_EQ(leaders[c], want) << "round " << round << " curve " << c;
    }
  }
}

TEST(SeriesQuantity, ChannelsTheirItemsAndTheirWitsItemsAreOfOneQuantity) {
  EXPECT_EQ(SeriesQuantity("DEPTH"), Quantity::Depth);
  EXPECT_EQ(SeriesQuantity("Item HOLE_DEPTH"), Quantity::Depth);
  EXPECT_EQ(SeriesQuantity("WITS 0108"), Quantity::Depth);
  EXPECT_EQ(SeriesQuantity("WITS 0124"), SeriesQuantity("SPM1"));
  EXPECT_NE(SeriesQuantity("HOOKLOAD"), SeriesQuantity("WOB"));
  EXPECT_NE(SeriesQuantity("BLOCK_HEIGHT"), SeriesQuantity("DEPTH"));
  for (const char* unknown : {"WITS 0208", "WITS 01x8", "WITS 010", "Item GAM", "", "depth"}) {
    EXPECT_EQ(SeriesQuantity(unknown), Quantity::Unknown) << unknown;
  }
  EXPECT_EQ(SeriesValueText(Quantity::Flag, 1.0), "TRUE");
  EXPECT_EQ(SeriesValueText(Quantity::Flag, 0.0), "FALSE");
  EXPECT_EQ(SeriesValueText(Quantity::Depth, 1071.176), "1071.18");
  EXPECT_EQ(SeriesValueText(Quantity::Flag, std::nan("")), "-");
}

// Over random marks: the names shown keep `extent` apart, the newest of the first kind is shown,
// and every name left out would run into one shown of its kind or of the first kind.
TEST(MarkNamesShown, NamesShownKeepApartAndOnlyThoseThatWouldOverlapAreLeftOut) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const size_t count = random() % 40;
    std::vector<double> pixels;
    std::vector<bool> first;
    double at = 0.0;
    const bool upward = random() % 2 == 0;
    for (size_t i = 0; i < count; ++i) {
      at += static_cast<double>(random() % 30);
      pixels.push_back(upward ? -at : at);
      first.push_back(random() % 3 == 0);
    }
    const double extent = 12.0;
    const std::vector<bool> shown = MarkNamesShown(pixels, first, extent);
    ASSERT_EQ(shown.size(), count);
    for (size_t i = 0; i < count; ++i) {
      bool near = false;
      for (size_t j = 0; j < count; ++j) {
        if (j == i || !shown[j] || std::abs(pixels[i] - pixels[j]) >= extent) continue;
        EXPECT_FALSE(shown[i]) << "round " << round << ": names " << i << " and " << j << " overlap";
        near = near || first[j] || !first[i];
      }
      if (!shown[i]) {
        EXPECT_TRUE(near) << "round " << round << ": name " << i << " left out with room";
      }
    }
    for (size_t i = count; i-- > 0;) {
      if (!first[i]) continue;
      EXPECT_TRUE(shown[i]) << "round " << round << ": the newest mode's name";
      break;
    }
  }
}

}  // namespace
