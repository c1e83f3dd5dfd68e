// OnTick cost in Drill: with no interval action due, and with every interval action due (item
// evaluation, CSV row, WITS frame). Each tick advances 100 ms of simulated time, so the
// "sim_s_per_cpu_s" counter says how much faster than real time one core could run the rig.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchClocks.h"
#include "engine/RigSim.h"

namespace {

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

// One evaluation pass over the item list: the default 22, or 1000 items cycling through every type.
void BM_EvaluateItems(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  engine.m_bPumpsOn = true;
  if (state.range(0) != 22) {
    engine.m_outputItems.clear();
    for (int i = 0; i < state.range(0); ++i) {
      engine.m_outputItems.emplace_back(false, true, std::to_string(i), 0.0, i % 20, 1.0, 100.0, 60.0, "text",
                                        FilterBoth, false, 1, i % 99);
    }
  }
  double t = clocks.seconds;
  for (auto _ : state) {
    t += 1.0;
    for (COutputItem& item : engine.m_outputItems) item.Evaluate(engine, t);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EvaluateItems)->Arg(22)->Arg(1000);

// One CSV row of the default items appended to a real file.
void BM_WriteOutputRow(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  for (COutputItem& item : engine.m_outputItems) item.Evaluate(engine, clocks.seconds);
  for (auto _ : state) engine.WriteOutputRow();
  engine.StopRun();
}
BENCHMARK(BM_WriteOutputRow);

}  // namespace
