// OnTick cost in Drill: with no interval action due, and with every interval action due (item
// evaluation, CSV row, WITS frame). Each tick advances 100 ms of simulated time, so the
// "sim_s_per_cpu_s" counter says how much faster than real time one core could run the rig.
// The same ticks through the rig controller with two views attached (the window and the control API,
// say) show what the command layer adds: comparing the rig with what the views were last told, and
// telling them after the tick (and of each frame out).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "BenchClocks.h"
#include "command/RigController.h"
#include "engine/RigSim.h"

namespace {

// A view that only counts what it is told.
class CountingView : public CRigViewIF {
 public:
  void OnSubStateChanged(int) override { ++told; }
  void OnLinkChanged(const RigLinkStatus&) override { ++told; }
  void OnPumpsChanged(bool) override { ++told; }
  void OnFrameOut(std::string_view, LinkWrite) override { ++told; }
  void OnAfterTick() override { ++told; }
  std::size_t told = 0;
};

enum class TickPath { Engine, ControllerWithTwoViews };

void RunDrillTicks(benchmark::State& state, double interval, TickPath path) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  engine.m_settings.m_fCalcOutputInterval = interval;
  engine.m_settings.m_fWriteFileInterval = interval;
  engine.m_settings.m_fWitsOutInterval = interval;
  engine.m_settings.m_fDepthToSlide = 1e9;  // stay in "Drilling Sliding"
  engine.m_subState[Drill] = engine.m_subStatePrev[Drill] = DrillingSliding;
  std::optional<CRigController> controller;
  CountingView window;
  CountingView api;
  if (path == TickPath::ControllerWithTwoViews) {
    controller.emplace(engine);
    controller->AddView(window);
    controller->AddView(api);
  }
  const auto tick = [&] {
    if (controller) {
      controller->TickOnce();
    } else {
      engine.OnTick();
    }
  };
  tick();
  tick();
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    tick();
    benchmark::DoNotOptimize(engine.m_fDepth);
  }
  state.counters["sim_s_per_cpu_s"] =
      benchmark::Counter(0.1 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  // Every run of a program carries the same counters, or the CSV report refuses them: the bare
  // engine tells no view.
  state.counters["told_per_tick"] =
      static_cast<double>(window.told + api.told) / static_cast<double>(state.iterations() + 2);
}

void BM_OnTick_DrillNothingDue(benchmark::State& state) { RunDrillTicks(state, 1e12, TickPath::Engine); }
void BM_OnTick_DrillIntervalsDue(benchmark::State& state) { RunDrillTicks(state, 0.0, TickPath::Engine); }
void BM_ControllerTick_TwoViews_DrillNothingDue(benchmark::State& state) {
  RunDrillTicks(state, 1e12, TickPath::ControllerWithTwoViews);
}
void BM_ControllerTick_TwoViews_DrillIntervalsDue(benchmark::State& state) {
  RunDrillTicks(state, 0.0, TickPath::ControllerWithTwoViews);
}

BENCHMARK(BM_OnTick_DrillNothingDue);
BENCHMARK(BM_OnTick_DrillIntervalsDue);
BENCHMARK(BM_ControllerTick_TwoViews_DrillNothingDue);
BENCHMARK(BM_ControllerTick_TwoViews_DrillIntervalsDue);

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
