// OnTick cost in Drill: with no interval action due, and with every interval action due (item
// evaluation, CSV row, WITS frame). Each tick advances 100 ms of simulated time, so the
// "sim_s_per_cpu_s" counter says how much faster than real time one core could run the rig.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/RigSim.h"

namespace {

struct BenchClocks {
  uint32_t ms = 1000;
  double seconds = 700'000'000.0;
  vorn::Clocks Make() { return {[this] { return ms; }, [this] { return seconds; }}; }
};

void RunDrillTicks(benchmark::State& state, double interval) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  engine.m_settings.m_fCalcOutputInterval = interval;
  engine.m_settings.m_fWriteFileInterval = interval;
  engine.m_settings.m_fWitsOutInterval = interval;
  engine.m_settings.m_fDepthToSlide = 1e9;  // stay in "Drilling Sliding"
  engine.m_subState[Drill] = engine.m_subStatePrev[Drill] = DrillingSliding;
  engine.OnTick();
  engine.OnTick();
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    engine.OnTick();
    benchmark::DoNotOptimize(engine.m_fDepth);
  }
  state.counters["sim_s_per_cpu_s"] =
      benchmark::Counter(0.1 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_OnTick_DrillNothingDue(benchmark::State& state) { RunDrillTicks(state, 1e12); }
void BM_OnTick_DrillIntervalsDue(benchmark::State& state) { RunDrillTicks(state, 0.0); }

BENCHMARK(BM_OnTick_DrillNothingDue);
BENCHMARK(BM_OnTick_DrillIntervalsDue);

}  // namespace

int main(int argc, char** argv) {
  // Keep the engine's profile value and run files out of the user's real folders.
  const auto scratch = std::filesystem::temp_directory_path() / "vornrigsim-bench-engine";
  std::filesystem::create_directories(scratch / "root");
  setenv("VORN_RIG_SIM_ROOT", (scratch / "root").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(scratch);
  return 0;
}
