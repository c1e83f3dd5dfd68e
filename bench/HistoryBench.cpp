// The history under the worst a peer and the items list can do: every WITS item a frame can carry
// (records and items 01 to 99, 9,801 of them) received and a list of 300 output items, all numbers
// changing every tick. The memory of a whole day of it, and the cost of one sampling.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <iterator>
#include <memory>
#include <string>

#include "BenchClocks.h"
#include "engine/RigSim.h"
#include "history/HistoryRecorder.h"

namespace {

struct FloodedRig {
  BenchClocks clocks;
  CRigSim engine{clocks.Make()};
  CHistoryRecorder recorder{engine};

  FloodedRig() {
    engine.m_pumpsMessage = nullptr;
    const COutputItem pattern = engine.m_outputItems.front();
    engine.m_outputItems.assign(300, pattern);
    for (size_t i = 0; i < engine.m_outputItems.size(); ++i) engine.m_outputItems[i].m_strMnem = "M" + std::to_string(i);
    for (int record = 1; record <= 99; ++record) {
      for (int item = 1; item <= 99; ++item) engine.m_witsInItems[{record, item}] = {"Item", "0", 0.0};
    }
  }
  // One tick: every channel and item new (the received values once a second), then the sampling.
  void Tick(int64_t tick) {
    const double t = static_cast<double>(tick) / 10.0;
    engine.m_fDepth = 1000.0 + t / 36.0;
    engine.m_fHookLoad = 100.0 + static_cast<double>(tick % 97);
    engine.m_fRPM = static_cast<double>(tick % 120);
    const std::string value = std::to_string(tick % 1000);
    for (COutputItem& item : engine.m_outputItems) item.m_strValue = value;
    if (tick % 10 == 0) {
      for (auto& [key, item] : engine.m_witsInItems) item.valueText = value;
    }
    recorder.Sample();
    clocks.ms += 100;
    clocks.seconds += 0.1;
  }
};

// A day of ticks. After the first minute the received items that are not recorded are taken out of
// the table: they cost the history nothing but time, and would make the day take half an hour.
void BM_HistoryWorstDay(benchmark::State& state) {
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    auto rig = std::make_unique<FloodedRig>();
    const size_t table = rig->engine.m_witsInItems.size();
    for (int64_t tick = 0; tick < 864000; ++tick) {
      if (tick == 600) {
        for (auto it = rig->engine.m_witsInItems.begin(); it != rig->engine.m_witsInItems.end();) {
          const std::string series = CHistoryRecorder::WitsSeries(it->first.record, it->first.item);
          const bool recorded = rig->recorder.Store().FindSeries(series) >= 0;
          it = recorded ? std::next(it) : rig->engine.m_witsInItems.erase(it);
        }
      }
      rig->Tick(tick);
    }
    rig->engine.m_witsInItems.clear();  // the table is the engine's, not the history's
    const size_t after = mallinfo2().uordblks;
    state.counters["heap_MB"] = static_cast<double>(after - before) / 1e6;
    state.counters["store_MB"] = static_cast<double>(rig->recorder.Store().MemoryBytes()) / 1e6;
    state.counters["series"] = static_cast<double>(rig->recorder.Store().SeriesCount());
    state.counters["received"] = static_cast<double>(table);
    state.counters["unrecorded"] = static_cast<double>(rig->recorder.UnrecordedReceived());
  }
}
BENCHMARK(BM_HistoryWorstDay)->Iterations(1)->Unit(benchmark::kSecond);

// One sampling with the whole table of 9,801 received items and the 300 items: the tick's cost of
// the history under a flood of items.
void BM_HistorySampleFlooded(benchmark::State& state) {
  FloodedRig rig;
  int64_t tick = 0;
  for (auto _ : state) rig.Tick(tick++);
  state.counters["series"] = static_cast<double>(rig.recorder.Store().SeriesCount());
}
BENCHMARK(BM_HistorySampleFlooded)->Unit(benchmark::kMicrosecond);

}  // namespace
