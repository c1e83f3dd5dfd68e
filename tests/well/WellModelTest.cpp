#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "RandomWell.h"
#include "well/RopModel.h"
#include "well/WellModel.h"

namespace {

using namespace vorn::well;
using vorn::test::Driller;
using vorn::test::RandomWell;

double In(std::mt19937_64& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}

Well CleanWell(std::mt19937_64& random) {
  Well well = RandomWell(random);
  well.sensors.enabled = false;
  return well;
}

double Mud(const MudBalance& b) { return b.pit + b.tripTank + b.well + b.flowLine - b.reserveAdded; }

// No mud is made or lost: what the pit gains is what came back less what was pumped, and what the
// hole, the pipe, the flow line and the trip tank took makes up the rest.
TEST(WellModel, ThePitBalanceCloses) {
  std::mt19937_64 random(21);
  for (int run = 0; run < 8; ++run) {
    const Well well = CleanWell(random);
    WellModel model(well);
    const double dt = run % 2 == 0 ? 0.1 : 1.0;
    Driller d(model, well.startDepth, In(random, 0.01, 0.05), In(random, 5e4, 2e5), In(random, 40, 180));
    d.Step(dt);
    const double start = Mud(model.Balance());
    const MudBalance first = model.Balance();
    double sumOutLessIn = 0.0, largestFlow = 0.0;
    d.onTick = [&] {
      sumOutLessIn += (model.Truth(Channel::FlowOut) - model.Truth(Channel::Flow)) * dt;
      largestFlow = std::max(largestFlow, model.Truth(Channel::Flow));
    };
    auto check = [&] { EXPECT_NEAR(Mud(model.Balance()), start, 1e-9 * start) << run; };
    for (int stand = 0; stand < 3; ++stand) {
      d.Drill(300.0, dt);
      check();
      d.Connection(dt);
      check();
    }
    d.Set(false, false, false, false);
    d.Move(-300.0, 0.4, dt);  // a short trip out, the hole filled from the trip tank, and back
    check();
    d.Move(300.0, 0.4, dt);
    d.Drill(120.0, dt);
    check();
    const MudBalance& b = model.Balance();
    EXPECT_GT(b.pumpedIn, 0.0);
    // The flow channels, summed tick by tick, tell the same as the circuit's totals.
    EXPECT_NEAR(sumOutLessIn, (b.returned - first.returned) - (b.pumpedIn - first.pumpedIn),
                0.002 * b.pumpedIn + 20.0 * largestFlow * dt)
        << run;
  }
}

// The weight the bit takes is what the hook loses: off bottom at the same depth, rotating, the
// hook carries it again.
TEST(WellModel, WobIsTheOffBottomHookloadLessTheHookloadWhileDrilling) {
  std::mt19937_64 random(22);
  for (int run = 0; run < 20; ++run) {
    const Well well = CleanWell(random);
    WellModel model(well);
    const double dt = run % 2 == 0 ? 0.1 : 1.0;
    Driller d(model, well.startDepth, In(random, 0.01, 0.05), In(random, 2e4, 2e5), In(random, 40, 180));
    d.Drill(200.0, dt);
    const double wob = model.Truth(Channel::Wob), drilling = model.Truth(Channel::Hookload);
    ASSERT_GT(wob, 0.0) << run;
    d.activity.holeDepth += 0.5;
    d.Set(true, true, false, false);
    d.Step(dt);
    EXPECT_DOUBLE_EQ(model.Truth(Channel::Wob), 0.0);
    EXPECT_NEAR(model.Truth(Channel::Hookload) - drilling, wob, 0.02 * wob + 100.0) << run;
  }
}

TEST(WellModel, PickUpIsAboveSlackOffAndTheSlipsCarryTheString) {
  std::mt19937_64 random(23);
  for (int run = 0; run < 20; ++run) {
    const Well well = CleanWell(random);
    WellModel model(well);
    Driller d(model, well.startDepth, 0.03, 1e5, 120);
    d.Drill(60.0, 0.1);
    d.Set(false, false, false, false);
    d.Move(-10.0, 0.3, 0.1);
    const double pickUp = model.Truth(Channel::Hookload);
    d.Hold(1.0, 0.1);
    const double still = model.Truth(Channel::Hookload);
    d.Move(5.0, 0.3, 0.1);
    const double slackOff = model.Truth(Channel::Hookload);
    EXPECT_GT(pickUp, still) << run;
    EXPECT_GT(still, slackOff) << run;
    EXPECT_DOUBLE_EQ(model.Truth(Channel::Torque), 0.0);  // no rotation, no torque
    d.Set(false, false, false, true);
    d.Step(0.1);
    EXPECT_DOUBLE_EQ(model.Truth(Channel::Hookload), well.rig.blockWeight);
  }
}

TEST(WellModel, DoublingTheFlowRaisesTheStandpipePressureByAPowerFrom1_8To2) {
  std::mt19937_64 random(24);
  for (int run = 0; run < 50; ++run) {
    Well well = CleanWell(random);
    well.pumps.rampSeconds = 0.0;
    WellModel model(well);
    const double flow = In(random, 0.002, 0.04);
    Driller d(model, well.startDepth, flow, 0.0, 0.0);
    d.Set(true, false, false, false);
    d.Hold(1.0, 0.1);
    const double low = model.Truth(Channel::Spp);
    d.activity.setFlow = 2.0 * flow;
    d.Step(0.1);
    const double ratio = model.Truth(Channel::Spp) / low;
    EXPECT_GE(ratio, std::pow(2.0, 1.8) - 1e-9) << run;
    EXPECT_LE(ratio, 4.0 + 1e-9) << run;
  }
}

TEST(WellModel, HarderRockDrillsSlowerAndSlidingSlowerThanRotating) {
  std::mt19937_64 random(25);
  for (int run = 0; run < 20; ++run) {
    Well soft = CleanWell(random);
    soft.formations.resize(1);
    Well hard = soft;
    hard.formations[0].drillability -= In(random, 0.1, 1.5);
    const double flow = In(random, 0.01, 0.05), wob = In(random, 5e4, 2e5), rpm = In(random, 40, 180);
    WellModel softModel(soft), hardModel(hard), slideModel(soft);
    Driller a(softModel, soft.startDepth, flow, wob, rpm), b(hardModel, soft.startDepth, flow, wob, rpm),
        c(slideModel, soft.startDepth, flow, wob, rpm);
    a.Drill(120.0, 0.5);
    b.Drill(120.0, 0.5);
    c.Drill(120.0, 0.5, false);
    EXPECT_GT(softModel.Rop(), 0.0) << run;
    EXPECT_LT(hardModel.Rop(), softModel.Rop()) << run;
    EXPECT_LT(slideModel.Rop(), softModel.Rop()) << run;
  }
}

// A day at ten-times speed (one-second steps): stands, connections and a trip every six hours;
// every channel, true and read, stays a finite number within its range.
TEST(WellModel, EveryChannelStaysFiniteAndInRangeThroughADay) {
  std::mt19937_64 random(26);
  for (int run = 0; run < 2; ++run) {
    const Well well = RandomWell(random);
    WellModel model(well, static_cast<uint64_t>(run));
    Driller d(model, well.startDepth, In(random, 0.01, 0.05), In(random, 5e4, 2e5), In(random, 40, 180));
    int bad = 0;
    auto check = [&] {
      for (std::size_t i = 0; i < kChannelCount && bad < 5; ++i) {
        const ChannelInfo& info = Info(static_cast<Channel>(i));
        for (const double v : {model.Truth()[i], model.Measured()[i]}) {
          if (!std::isfinite(v) || v < info.minSi || v > info.maxSi) {
            ++bad;
            ADD_FAILURE() << info.mnemonic << " = " << v << " at " << d.seconds << " s";
          }
        }
      }
    };
    double lastTrip = 0.0;
    while (d.seconds < 86400.0 && bad == 0) {
      const double top = d.activity.holeDepth;
      while (d.activity.holeDepth - top < well.rig.standLength && d.seconds < 86400.0) {
        d.Drill(60.0, 1.0, static_cast<int>(d.seconds / 600.0) % 3 != 0);
        check();
      }
      d.Connection(1.0, well.rig.standLength);
      check();
      if (d.seconds - lastTrip > 6 * 3600.0) {
        lastTrip = d.seconds;
        d.Set(false, false, false, false);
        d.Move(-std::min(d.activity.bitDepth - 10.0, 1500.0), 0.3, 1.0);
        check();
        d.Move(d.activity.holeDepth - d.activity.bitDepth, 0.3, 1.0);
        check();
      }
    }
    EXPECT_GT(d.activity.holeDepth, well.startDepth);
  }
}

// In steady drilling each sensor's error has the deviation and the step-to-step correlation the
// well's settings give it.
TEST(WellModel, SensorNoiseHasTheSettingsDeviationAndCorrelation) {
  std::mt19937_64 random(27);
  const Channel channels[] = {Channel::Hookload, Channel::Wob, Channel::Torque, Channel::Spp,
                              Channel::Flow, Channel::PitVolume, Channel::DensityIn, Channel::FlowOut};
  for (int run = 0; run < 3; ++run) {
    Well well = RandomWell(random);
    well.sensors.sppRipple = 0.0;
    well.sensors.pitSlosh = 0.0;
    WellModel probe(well);
    Driller p(probe, well.startDepth, 0.03, 1e5, 120);
    p.Drill(60.0, 0.1);
    for (const Channel c : channels) {
      SensorSpec& noise = well.sensors.channel[Index(c)];
      noise.std = In(random, 0.002, 0.02) * probe.Truth(c);
      noise.tau = In(random, 0.3, 2.0);
      noise.resolution = noise.std / 50.0;
      noise.spikesPerHour = 0.0;
    }
    WellModel model(well);
    Driller d(model, well.startDepth, 0.03, 1e5, 120);
    d.Drill(60.0, 0.1);
    std::vector<std::vector<double>> errors(std::size(channels));
    for (int i = 0; i < 20000; ++i) {
      d.Drill(0.1, 0.1);
      for (std::size_t k = 0; k < std::size(channels); ++k) {
        errors[k].push_back(model.Measured(channels[k]) - model.Truth(channels[k]));
      }
    }
    for (std::size_t k = 0; k < std::size(channels); ++k) {
      const SensorSpec& noise = well.sensors.channel[Index(channels[k])];
      const std::vector<double>& e = errors[k];
      double mean = 0.0;
      for (const double v : e) mean += v / static_cast<double>(e.size());
      double var = 0.0, cov = 0.0;
      for (std::size_t i = 0; i < e.size(); ++i) {
        var += (e[i] - mean) * (e[i] - mean);
        if (i > 0) cov += (e[i] - mean) * (e[i - 1] - mean);
      }
      const double std = std::sqrt(var / static_cast<double>(e.size()));
      const std::string_view name = Info(channels[k]).mnemonic;
      EXPECT_NEAR(std, noise.std, 0.2 * noise.std) << name << " run " << run;
      const double a = std::exp(-0.1 / noise.tau);
      EXPECT_NEAR(cov / var, a, 0.2 * a) << name << " run " << run;
    }
  }
}

TEST(WellModel, TheSameWellAndSeedGiveTheSameReadingsAndNoneGivesTheTruth) {
  std::mt19937_64 random(28);
  const Well well = RandomWell(random);
  WellModel a(well), b(well), other(well, 1);
  Well clean = well;
  clean.sensors.enabled = false;
  WellModel none(clean);
  Driller da(a, well.startDepth, 0.03, 1e5, 120), db(b, well.startDepth, 0.03, 1e5, 120),
      dother(other, well.startDepth, 0.03, 1e5, 120), dnone(none, well.startDepth, 0.03, 1e5, 120);
  bool differ = false;
  for (int i = 0; i < 100; ++i) {
    da.Drill(1.0, 0.1);
    db.Drill(1.0, 0.1);
    dother.Drill(1.0, 0.1);
    dnone.Drill(1.0, 0.1);
    EXPECT_EQ(a.Measured(), b.Measured());
    EXPECT_EQ(none.Measured(), none.Truth());
    differ = differ || a.Measured(Channel::Hookload) != other.Measured(Channel::Hookload);
  }
  EXPECT_TRUE(differ);
}

// After a connection the mud that stood at the bit comes up with gas one lag later.
TEST(WellModel, ConnectionGasArrivesOneLagAfterThePumpsStart) {
  Well well;
  well.sensors.enabled = false;
  well.formations[0].backgroundGas = 0.5;
  well.formations[0].connectionGas = 5.0;
  well.pumps.rampSeconds = 0.0;
  WellModel model(well);
  Driller d(model, well.startDepth, 0.03, 1e5, 120);
  d.Drill(600.0, 1.0);
  const double background = model.Truth(Channel::Gas);
  d.Connection(1.0);
  const double pumpsOnFor = 35.0;  // the pause after the pumps start and the wipe back to bottom
  double arrival = -1.0, peak = 0.0;
  const double start = d.seconds;
  while (d.seconds - start < 3600.0) {
    d.Drill(1.0, 1.0);
    peak = std::max(peak, model.Truth(Channel::Gas));
    if (arrival < 0.0 && model.Truth(Channel::Gas) > background + 2.5) arrival = d.seconds - start;
  }
  // The lag in time: the annular volume (lag strokes times a stroke of both pumps) over the flow.
  const double displacement = model.Truth(Channel::Flow) / (model.Truth(Channel::Spm1) * 2.0 / 60.0);
  const double lagSeconds = model.Truth(Channel::LagStrokes) * displacement / 0.03;
  EXPECT_GT(peak, background + 4.5);
  EXPECT_NEAR(arrival + pumpsOnFor, lagSeconds, lagSeconds / LagLine::kParcelsPerAnnulus + 3.0);
}

}  // namespace
