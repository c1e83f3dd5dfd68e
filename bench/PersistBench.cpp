// Saving and loading "SimSettings.json" with the default item list and with 1000 items: the window
// saves it after every edit of the item grid.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchClocks.h"
#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"

namespace {

void FillItems(CRigSim& engine, int64_t count) {
  engine.BuildDefaultItems();
  if (count == 22) return;
  engine.m_outputItems.clear();
  for (int64_t i = 0; i < count; ++i) {
    engine.m_outputItems.emplace_back(false, true, "ITEM" + std::to_string(i), 0.5, static_cast<int32_t>(i % 20),
                                      1.25, 100.0, 60.0, "text", FilterBoth, false, 1, static_cast<int32_t>(i % 99));
  }
}

void BM_SaveSimSettings(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  FillItems(engine, state.range(0));
  for (auto _ : state) SaveSimSettings(engine);
}
BENCHMARK(BM_SaveSimSettings)->Arg(22)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_LoadSimSettings(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  FillItems(engine, state.range(0));
  SaveSimSettings(engine);
  for (auto _ : state) LoadSimSettings(engine);
}
BENCHMARK(BM_LoadSimSettings)->Arg(22)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
