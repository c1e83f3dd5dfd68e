// The Plots tab's layout as the profile keeps it.
#include <gtest/gtest.h>

#include "ui/plots/PlotLayout.h"

namespace {

TEST(PlotLayoutJson, ALayoutReadsBackAsItWasWritten) {
  PlotLayout layout = DefaultPlotLayout();
  layout.timeDown = false;
  layout.windowSeconds = 600;
  layout.tracks[0].curves[1].autoScale = false;
  layout.tracks[0].curves[1].min = -5.5;
  layout.tracks[0].curves[1].max = 2500.25;
  layout.tracks[2].curves.push_back({"WITS 0108", 0xABCDEF, true, 0.0, 100.0});
  layout.tracks[4].curves[1].ownScale = true;
  layout.tracks.emplace_back();
  PlotLayout read;
  ASSERT_TRUE(PlotLayoutFromJson(PlotLayoutToJson(layout), read));
  EXPECT_EQ(read, layout);
}

// A layout as it was written before curves could keep a scale of their own reads as it did, and is
// written back byte for byte: the new member comes only where a curve keeps its own scale.
TEST(PlotLayoutJson, AnEarlierLayoutReadsAsBeforeAndIsWrittenBackAsItWas) {
  const std::string earlier =
      R"({"timeDown":false,"tracks":[{"bands":false,"curves":[{"auto":true,"rgb":2056127,"series":"DEPTH"},)"
      R"({"auto":false,"max":1100,"min":900,"rgb":12597547,"series":"HOLE_DEPTH"}]},)"
      R"({"bands":true,"curves":[{"auto":false,"max":1,"min":0,"rgb":2056127,"series":"SLIPS"}]}],"window":600})";
  PlotLayout expected;
  expected.timeDown = false;
  expected.windowSeconds = 600;
  expected.tracks = {PlotTrack{{{"DEPTH", 0x1F5FBF, true, 0.0, 100.0}, {"HOLE_DEPTH", 0xC0392B, false, 900.0, 1100.0}}},
                     PlotTrack{{{"SLIPS", 0x1F5FBF, false, 0.0, 1.0}}, true}};
  PlotLayout read;
  ASSERT_TRUE(PlotLayoutFromJson(earlier, read));
  EXPECT_EQ(read, expected);
  EXPECT_EQ(PlotLayoutToJson(read), earlier);
  read.tracks[0].curves[1].ownScale = true;
  EXPECT_NE(PlotLayoutToJson(read).find(R"("ownScale":true,"rgb":12597547)"), std::string::npos);
}

TEST(PlotLayoutJson, TextThatIsNoLayoutLeavesTheLayoutAndBadValuesAreMended) {
  PlotLayout layout = DefaultPlotLayout();
  EXPECT_FALSE(PlotLayoutFromJson("", layout));
  EXPECT_FALSE(PlotLayoutFromJson("[1,2]", layout));
  EXPECT_FALSE(PlotLayoutFromJson("{\"window\": 60}", layout));
  EXPECT_EQ(layout, DefaultPlotLayout());

  ASSERT_TRUE(PlotLayoutFromJson(
      R"({"window": 5, "tracks": [{"curves": [{"series": "DEPTH", "auto": false, "min": 3, "max": 1}, {"rgb": 1}]}, 7]})",
      layout));
  EXPECT_EQ(layout.windowSeconds, PlotLayout::kMinWindow);
  ASSERT_EQ(layout.tracks.size(), 1U);
  ASSERT_EQ(layout.tracks[0].curves.size(), 1U);
  EXPECT_TRUE(layout.tracks[0].curves[0].autoScale);  // a fixed scale that ends below its start
}

// A layout with a member nested past the JSON depth limit is no layout; one level less still reads.
TEST(PlotLayoutJson, ALayoutNestedBeyondTheJsonDepthLimitIsNoLayout) {
  const auto nested = [](int levels) {
    return R"({"window": 120, "tracks": [], "x": )" + std::string(static_cast<size_t>(levels), '[') +
           std::string(static_cast<size_t>(levels), ']') + "}";
  };
  PlotLayout layout = DefaultPlotLayout();
  EXPECT_FALSE(PlotLayoutFromJson(nested(64), layout));
  EXPECT_FALSE(PlotLayoutFromJson(std::string(140000, '{'), layout));
  EXPECT_EQ(layout, DefaultPlotLayout());
  EXPECT_TRUE(PlotLayoutFromJson(nested(63), layout));
  EXPECT_EQ(layout.windowSeconds, 120);
}

TEST(PlotLayoutDefaults, SixTracksWithTheChannelsPairedAndTheFlagsAsBands) {
  const PlotLayout layout = DefaultPlotLayout();
  ASSERT_EQ(layout.tracks.size(), 6U);
  const std::vector<std::vector<std::string>> expected{{"DEPTH", "HOLE_DEPTH"}, {"HOOKLOAD", "WOB"}, {"FLOW", "SPP"},
                                                       {"RPM", "TORQ"},         {"SPM1", "SPM2"},     {"SLIPS", "ON_BOTTOM"}};
  for (size_t t = 0; t < expected.size(); ++t) {
    ASSERT_EQ(layout.tracks[t].curves.size(), 2U);
    for (size_t c = 0; c < 2; ++c) EXPECT_EQ(layout.tracks[t].curves[c].series, expected[t][c]);
    EXPECT_EQ(layout.tracks[t].bands, t == 5);
  }
  EXPECT_TRUE(layout.timeDown);
  EXPECT_EQ(layout.windowSeconds, 3600);
}

}  // namespace
