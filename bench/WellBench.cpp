// The well model's tick for one rig, drilling the land well on bottom, with its sensors and with
// "sensors": "none"; and at the ten-times speed's one-second step.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "support/TextFile.h"
#include "well/WellFile.h"
#include "well/WellModel.h"

namespace {

vorn::well::Well LandWell() {
  const vorn::well::WellRead read =
      vorn::well::ReadWell(vorn::ReadTextFile(std::string(VORN_SOURCE_DIR) + "/examples/wells/land-metric.json"));
  if (!read.ok()) std::abort();
  return *read.well;
}

void BM_WellTick(benchmark::State& state, bool sensors, double dt) {
  vorn::well::Well well = LandWell();
  well.sensors.enabled = sensors;
  vorn::well::WellModel model(well);
  vorn::well::WellActivity a;
  a.bitDepth = a.holeDepth = well.startDepth;
  a.pumpsOn = a.rotating = a.drilling = true;
  a.setFlow = 0.035;
  a.setWob = 1.2e5;
  a.setRpm = 120.0;
  a.dt = dt;
  for (auto _ : state) {
    model.Tick(a);
    a.bitDepth += model.Rop() * dt;
    a.holeDepth = a.bitDepth;
    benchmark::DoNotOptimize(model.Measured());
  }
  state.counters["depth_m"] = a.bitDepth;
}

BENCHMARK_CAPTURE(BM_WellTick, with_sensors, true, 0.1);
BENCHMARK_CAPTURE(BM_WellTick, without_sensors, false, 0.1);
BENCHMARK_CAPTURE(BM_WellTick, with_sensors_ten_times, true, 1.0);

}  // namespace
