// The wire between the engine and the link with nothing active: DoWitsOut straight to the link (as the
// engine alone does) beside DoWitsOut through the rig controller's wire, which formats the frame with
// the link's profile, finds no fault armed, writes it and logs it as the engine would.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "BenchClocks.h"
#include "command/RigController.h"
#include "engine/RigSim.h"

namespace {

void FillItems(CRigSim& engine, int64_t count) {
  engine.m_outputItems.clear();
  for (int64_t i = 0; i < count; ++i) {
    engine.m_outputItems.emplace_back(false, true, "I", 0.0, ItemConstant, 1234.5, 0, 0, "", FilterBoth, false, 1,
                                      static_cast<int32_t>(i % 99));
    engine.m_outputItems.back().m_strValue = "1234.5";
  }
}

// One frame of n pending items: building, the write to a link without a channel, and the log entry.
void Frames(benchmark::State& state, bool throughWire) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  std::optional<CRigController> controller;
  if (throughWire) controller.emplace(engine);
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  FillItems(engine, state.range(0));
  for (auto _ : state) {
    for (COutputItem& item : engine.m_outputItems) item.m_bSendPending = true;
    engine.DoWitsOut();
  }
  engine.StopRun();
}

void BM_DoWitsOut_Direct(benchmark::State& state) { Frames(state, false); }
void BM_DoWitsOut_ThroughWire(benchmark::State& state) { Frames(state, true); }
BENCHMARK(BM_DoWitsOut_Direct)->Arg(22)->Arg(1000);
BENCHMARK(BM_DoWitsOut_ThroughWire)->Arg(22)->Arg(1000);

}  // namespace
