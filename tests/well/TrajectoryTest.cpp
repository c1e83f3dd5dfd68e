#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "RandomWell.h"
#include "well/Trajectory.h"

namespace {

using namespace vorn::well;

TEST(Trajectory, WithoutAPlanTheWellIsVertical) {
  const Trajectory vertical({});
  for (const double md : {0.0, 10.0, 2500.0}) {
    EXPECT_DOUBLE_EQ(vertical.At(md).tvd, md);
    EXPECT_DOUBLE_EQ(vertical.LowSideLength(md), 0.0);
  }
}

TEST(Trajectory, AHoldSectionDropsByTheCosineAndABuildIsAnArc) {
  // Build from 0 to 90 deg over 1000 m: an arc of radius 2000/pi, so TVD at its end is the radius.
  const Trajectory build({{1000.0, 0.0, 0.0}, {2000.0, 90.0, 45.0}, {3000.0, 90.0, 45.0}});
  const double radius = 1000.0 / (M_PI / 2.0);
  EXPECT_NEAR(build.At(2000.0).tvd, 1000.0 + radius, 1e-6);
  EXPECT_NEAR(build.At(1500.0).tvd, 1000.0 + radius * std::sin(M_PI / 4.0), 1e-6);
  EXPECT_NEAR(build.At(1500.0).inclination, 45.0, 1e-9);
  EXPECT_NEAR(build.At(2800.0).tvd, 1000.0 + radius, 1e-6);  // horizontal
  const Trajectory hold({{0.0, 30.0, 10.0}});
  EXPECT_NEAR(hold.At(1000.0).tvd, 1000.0 * std::cos(M_PI / 6.0), 1e-9);
  EXPECT_NEAR(hold.LowSideLength(1000.0), 500.0, 1e-9);
}

// Whole against cut: a station added where the path already runs changes nothing below it.
TEST(Trajectory, AStationOnThePathLeavesThePathAsItIs) {
  std::mt19937_64 random(11);
  for (int run = 0; run < 50; ++run) {
    const Well well = vorn::test::RandomWell(random);
    if (well.plan.empty()) continue;
    const Trajectory whole(well.plan);
    const double cut = std::uniform_real_distribution<double>(well.plan[0].depth + 1.0, well.plan[1].depth - 1.0)(random);
    const Trajectory::Point at = whole.At(cut);
    std::vector<PlanStation> plan = well.plan;
    plan.insert(plan.begin() + 1, {cut, at.inclination, at.azimuth});
    const Trajectory withCut(plan);
    for (const double md : {cut + 1.0, well.plan[1].depth, 5000.0}) {
      EXPECT_NEAR(withCut.At(md).tvd, whole.At(md).tvd, 1e-6) << run;
      EXPECT_NEAR(withCut.At(md).inclination, whole.At(md).inclination, 1e-6) << run;
    }
    // The vertical depth never runs ahead of the measured one, and never back up above 90 deg.
    double last = 0.0;
    for (double md = 0.0; md < 6000.0; md += 100.0) {
      const double tvd = whole.At(md).tvd;
      EXPECT_LE(tvd, md + 1e-9);
      EXPECT_GE(tvd, last - 1e-9);
      last = tvd;
    }
  }
}

}  // namespace
