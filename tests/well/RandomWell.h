#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <random>

#include "well/WellDescription.h"
#include "well/WellModel.h"

namespace vorn::test {

// A well drawn at random within the ranges the file reader accepts, with a few formations and, one
// time in two, a deviated plan.
inline well::Well RandomWell(std::mt19937_64& random) {
  auto in = [&random](double low, double high) { return std::uniform_real_distribution<double>(low, high)(random); };
  using namespace vorn::well;
  Well w;
  w.seed = random();
  w.startDepth = in(500.0, 4000.0);
  w.formations.clear();
  double top = 0.0;
  const int count = std::uniform_int_distribution<int>(1, 5)(random);
  for (int i = 0; i < count; ++i) {
    Formation f;
    f.name = "F" + std::to_string(i);
    f.top = top;
    f.drillability = in(1.5, 4.5);
    f.wobExponent = in(0.5, 1.5);
    f.rpmExponent = in(0.3, 1.0);
    f.abrasiveness = in(0.2, 3.0);
    f.poreDensity = in(1000.0, 1150.0);
    f.fractureDensity = in(1600.0, 2000.0);
    f.backgroundGas = in(0.0, 4.0);
    f.connectionGas = in(0.0, 5.0);
    f.tripGas = in(0.0, 10.0);
    w.formations.push_back(f);
    top += in(50.0, 1500.0);
  }
  const double inch = 0.0254;
  w.bit.size = in(6.0, 17.5) * inch;
  w.bit.flowArea = in(0.3, 1.5) * inch * inch;
  w.string.pipeOd = std::min(in(3.5, 5.5) * inch, w.bit.size * 0.7);
  w.string.pipeId = w.string.pipeOd * in(0.7, 0.9);
  w.string.pipeWeight = in(15.0, 40.0);
  w.string.bhaOd = std::min(in(4.75, 9.5) * inch, w.bit.size * 0.85);
  w.string.bhaId = w.string.bhaOd * in(0.3, 0.5);
  w.string.bhaLength = in(50.0, 400.0);
  w.string.bhaWeight = in(60.0, 250.0);
  w.hole.shoeDepth = in(200.0, 3000.0);
  w.hole.casingId = w.bit.size * in(1.02, 1.3);
  w.mud.density = in(1000.0, 1800.0);
  w.mud.plasticViscosity = in(0.008, 0.050);
  w.mud.yieldPoint = in(2.0, 20.0);
  w.pumps.count = std::uniform_int_distribution<int>(1, 2)(random);
  w.pumps.liner = in(5.0, 7.0) * inch;
  w.surface.flowLineSeconds = in(2.0, 20.0);
  if (random() % 2 == 0) {
    const double kop = in(100.0, 1500.0);
    const double inc = in(5.0, 60.0), azi = in(0.0, 359.0);
    w.plan = {{kop, 0.0, azi}, {kop + in(300.0, 1000.0), inc, azi}, {8000.0, inc, azi}};
  }
  return w;
}

// Drives a well model as a rig's engine does, without the engine: the bit advances at the model's
// rate, the block moves with it, stands are drilled and connections made.
struct Driller {
  well::WellModel& model;
  well::WellActivity activity;
  double seconds = 0.0;
  std::function<void()> onTick;  // called after every tick

  Driller(well::WellModel& m, double depth, double flow, double wob, double rpm) : model(m) {
    activity.bitDepth = activity.holeDepth = depth;
    activity.setFlow = flow;
    activity.setWob = wob;
    activity.setRpm = rpm;
  }
  void Step(double dt) {
    activity.dt = dt;
    model.Tick(activity);
    seconds += dt;
    if (onTick) onTick();
  }
  // Drills on bottom, rotating or sliding, for a time; the hole deepens at the model's rate.
  void Drill(double duration, double dt, bool rotate = true) {
    Set(true, rotate, true, false);
    for (double t = 0.0; t < duration; t += dt) {
      Step(dt);
      const double advance = model.Rop() * dt;
      activity.bitDepth += advance;
      activity.holeDepth = std::max(activity.holeDepth, activity.bitDepth);
      activity.blockHeight -= advance;
    }
  }
  // Pumps off, in slips, a stand added, pumps on, back to bottom.
  void Connection(double dt, double standLength = 28.5) {
    Set(true, false, false, false);
    Move(-1.0, 0.2, dt);
    Set(false, false, false, false);
    Hold(20.0, dt);
    Set(false, false, false, true, true);
    Hold(60.0, dt);
    activity.blockHeight = standLength + 1.0;
    Set(true, false, false, false);
    Hold(30.0, dt);
    Move(1.0, 0.2, dt);
  }
  // Moves the bit by `distance` at `speed` m/s (the block going stand by stand is left out).
  void Move(double distance, double speed, double dt) {
    const double sign = distance < 0.0 ? -1.0 : 1.0;
    for (double done = 0.0; done < std::abs(distance);) {
      const double d = std::min(speed * dt, std::abs(distance) - done);
      Step(dt);
      activity.bitDepth += sign * d;
      activity.holeDepth = std::max(activity.holeDepth, activity.bitDepth);
      done += d;
    }
  }
  void Hold(double duration, double dt) {
    for (double t = 0.0; t < duration; t += dt) Step(dt);
  }
  void Set(bool pumps, bool rotating, bool drilling, bool slips, bool connection = false) {
    activity.pumpsOn = pumps;
    activity.rotating = rotating;
    activity.drilling = drilling;
    activity.inSlips = slips;
    activity.connection = connection;
  }
};

}  // namespace vorn::test
