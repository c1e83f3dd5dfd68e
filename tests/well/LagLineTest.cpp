#include <gtest/gtest.h>

#include <random>

#include "well/LagLine.h"

namespace {

using namespace vorn::well;

// Gas marked at the bit reaches the surface one annular volume of pumping later: at the annular
// volume over the flow in time, plus every pause of the pumps.
TEST(LagLine, TheLagIsTheAnnularVolumeOverTheFlowAndStopsWithThePumps) {
  std::mt19937_64 random(5);
  auto in = [&random](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
  for (int run = 0; run < 40; ++run) {
    const double annulus = in(5.0, 200.0);   // m3
    const double flow = in(0.005, 0.08);     // m3/s
    const double dt = run % 2 == 0 ? 0.1 : 1.0;
    const double pause = in(0.0, 600.0);
    LagLine line;
    line.Reset({0.0, 1200.0, 30.0, 1000.0});
    // Run a while so the line holds parcels of its own, then mark the mud from t0 on.
    double t = 0.0;
    for (; t < 300.0; t += dt) line.Pump(flow * dt, {0.0, 1200.0, 30.0, 1000.0}, annulus);
    const double t0 = t;
    double arrival = -1.0, pumpingTime = 0.0, stopped = 0.0;
    const Returns marked{10.0, 1200.0, 30.0, 2000.0};
    while (arrival < 0.0 && pumpingTime < 3.0 * annulus / flow) {
      if (stopped == 0.0 && pumpingTime >= annulus / flow / 2.0) {
        for (; stopped < pause; stopped += dt) {
          line.Pump(0.0, marked, annulus);
          EXPECT_LT(line.AtSurface().gas, 5.0);
        }
        t += stopped;
      }
      line.Pump(flow * dt, marked, annulus);
      pumpingTime += dt;
      t += dt;
      if (line.AtSurface().gas > 5.0) arrival = t;
    }
    // The parcels are 1/400 of the annulus, and the first marked one is half old mud.
    const double parcel = annulus / LagLine::kParcelsPerAnnulus / flow;
    EXPECT_NEAR(pumpingTime, annulus / flow, parcel + 2.0 * dt) << run;
    EXPECT_NEAR(arrival - t0, annulus / flow + stopped, parcel + 2.0 * dt) << run;
    for (double v = 0.0; v < 2.0 * annulus / LagLine::kParcelsPerAnnulus + flow * dt; v += flow * dt) {
      line.Pump(flow * dt, marked, annulus);
    }
    EXPECT_NEAR(line.AtSurface().depth, 2000.0, 1e-9);  // the first parcel all marked mud
  }
}

TEST(LagLine, NothingMovesWithThePumpsStopped) {
  LagLine line;
  line.Reset({1.0, 1200.0, 30.0, 500.0});
  for (int i = 0; i < 1000; ++i) line.Pump(0.0, {50.0, 1300.0, 60.0, 900.0}, 10.0);
  EXPECT_DOUBLE_EQ(line.AtSurface().gas, 1.0);
  EXPECT_DOUBLE_EQ(line.PumpedVolume(), 0.0);
}

}  // namespace
