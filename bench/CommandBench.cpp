// What the command layer adds to a tick: the same Drill tick on the bare engine, and through the rig
// controller with two views attached (the window and the control API, say), which compares the rig
// with what the views were last told and tells them after the tick. Once with no interval action
// due, once with all of them due (the frame out is then told as well).
#include <benchmark/benchmark.h>

#include "BenchClocks.h"
#include "command/RigController.h"
#include "engine/RigMode.h"

namespace {

// A view that only counts what it is told.
class CountingView : public CRigViewIF {
 public:
  void OnSubStateChanged(int) override { ++told; }
  void OnLinkChanged(const RigLinkStatus&) override { ++told; }
  void OnPumpsChanged(bool) override { ++told; }
  void OnFrameOut(std::string_view bytes, LinkWrite) override { told += bytes.size(); }
  void OnAfterTick() override { ++told; }
  std::size_t told = 0;
};

// Drilling sliding for ever, with every interval at `interval` seconds.
void PrepareDrilling(CRigSim& engine, double interval) {
  engine.m_pumpsMessage = nullptr;
  engine.m_settings.m_fCalcOutputInterval = interval;
  engine.m_settings.m_fWriteFileInterval = interval;
  engine.m_settings.m_fWitsOutInterval = interval;
  engine.m_settings.m_fDepthToSlide = 1e9;
  engine.m_subState[Drill] = engine.m_subStatePrev[Drill] = DrillingSliding;
}

void BareTicks(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  PrepareDrilling(engine, static_cast<double>(state.range(0)));
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    engine.OnTick();
    benchmark::DoNotOptimize(engine.m_fDepth);
  }
}

void ControllerTicks(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  PrepareDrilling(engine, static_cast<double>(state.range(0)));
  CRigController controller(engine);
  CountingView window;
  CountingView api;
  controller.AddView(window);
  controller.AddView(api);
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    controller.TickOnce();
    benchmark::DoNotOptimize(engine.m_fDepth);
  }
  state.counters["told_per_tick"] =
      static_cast<double>(window.told + api.told) / static_cast<double>(state.iterations());
}

// Argument: the interval of the three actions, 1e12 s (never due) or 0 s (due every tick).
BENCHMARK(BareTicks)->Arg(1000000000000)->Arg(0);
BENCHMARK(ControllerTicks)->Arg(1000000000000)->Arg(0);

}  // namespace
