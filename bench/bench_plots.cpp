// The Plots tab's costs: one refresh of the default tracks over a history that fills the window (1 h
// and 24 h of ticks), as it happens after every tick while the tab is shown; and the memory that 24 h
// of the 14 channels and 50 received items take in the history.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <malloc.h>
#include <memory>

#include "bench/BenchWidgets.h"
#include "engine/RigSim.h"
#include "history/HistoryRecorder.h"
#include "support/ProfileSection.h"
#include "ui/plots/PlotsView.h"

namespace {

struct Rig {
  uint32_t ms = 1000;
  double now = 8.0e8;
  CRigSim engine{vorn::Clocks{[this] { return ms; }, [this] { return now; }}};
  CHistoryRecorder recorder{engine};

  // `seconds` of ticks (10 a second) with every channel moving and `received` WITS items.
  void Fill(int seconds, int received) {
    engine.m_pumpsMessage = nullptr;
    for (int i = 1; i <= received; ++i) engine.m_witsInItems[{1 + i / 40, i % 40}] = {"Item", "0", 0.0};
    for (int tick = 0; tick < seconds * 10; ++tick) {
      const double t = tick / 10.0;
      engine.m_fDepth = 1000.0 + t / 36.0;
      engine.m_fHoleDepth = engine.m_fDepth + 0.5;
      engine.m_fBlockHeight_ = std::fmod(t, 90.0);
      engine.m_fHookLoad = 100.0 + 20.0 * std::sin(t / 50.0);
      engine.m_fWOB = 10.0 + 5.0 * std::sin(t / 7.0);
      engine.m_fFlow = 400.0 + 10.0 * std::sin(t / 3.0);
      engine.m_fSPP = 3000.0 + 100.0 * std::sin(t / 11.0);
      engine.m_fRPM = 120.0 + std::fmod(t, 7.0);
      engine.m_fTorq = 15.0 + std::fmod(t, 3.0);
      engine.m_fSPM1 = 60.0 + std::fmod(t, 2.0);
      engine.m_fSPM2 = 59.0 + std::fmod(t, 2.0);
      engine.m_bInSlips = std::fmod(t, 600.0) < 60.0;
      engine.m_bOnBottom = !engine.m_bInSlips;
      if (tick % 10 == 0) {
        for (auto& [key, item] : engine.m_witsInItems) item.valueText = std::to_string(key.item * 10 + tick % 97);
      }
      recorder.Sample();
      ms += 100;
      now += 0.1;
    }
  }
};

// A rig whose history already spans the window, and the tab shown live over it.
struct ShownTab {
  explicit ShownTab(int window) : rig(std::make_unique<Rig>()), view(Filled(*rig, window).recorder, profile) {
    PlotLayout layout = DefaultPlotLayout();
    layout.windowSeconds = window;
    view.SetLayout(layout);
    view.resize(1000, 560);
    view.show();
    QApplication::processEvents();
  }
  static Rig& Filled(Rig& rig, int window) {
    rig.Fill(window, 0);
    return rig;
  }
  std::unique_ptr<Rig> rig;
  vorn::CProfileSection profile{"VornRigSim", ""};
  CPlotsView view;
};

void BM_PlotsRefresh(benchmark::State& state) {
  BenchApp();
  const int window = static_cast<int>(state.range(0));
  ShownTab tab(window);
  for (auto _ : state) tab.view.Refresh();
  // The share of one core at 10 refreshes a second.
  state.counters["core_percent_at_10Hz"] = benchmark::Counter(static_cast<double>(state.iterations()) / 1000.0,
                                                              benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(window == 3600 ? "1 h window" : "24 h window");
}
BENCHMARK(BM_PlotsRefresh)->Arg(3600)->Arg(86400)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One second of a run (ten ticks, each sampled into the history) with the tab shown and live, as the
// window does it: the tracks are drawn again only when the present has moved by a pixel of the time
// axis, at least once a second. The CPU time per iteration is the tab's share of a core.
void BM_PlotsOneSecondOfRun(benchmark::State& state) {
  BenchApp();
  const int window = static_cast<int>(state.range(0));
  ShownTab tab(window);
  for (auto _ : state) tab.rig->Fill(1, 0);
  state.counters["core_percent"] = benchmark::Counter(static_cast<double>(state.iterations()) / 100.0,
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetLabel(window == 60 ? "1 min window" : window == 3600 ? "1 h window" : "24 h window");
}
BENCHMARK(BM_PlotsOneSecondOfRun)->Arg(60)->Arg(3600)->Arg(86400)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_HistoryMemoryOfADay(benchmark::State& state) {
  for (auto _ : state) {
    const size_t before = mallinfo2().uordblks;
    auto rig = std::make_unique<Rig>();
    rig->Fill(86400, 50);
    const size_t after = mallinfo2().uordblks;
    state.counters["heap_MB"] = static_cast<double>(after - before) / 1e6;
    state.counters["store_MB"] = static_cast<double>(rig->recorder.Store().MemoryBytes()) / 1e6;
    state.counters["series"] = static_cast<double>(rig->recorder.Store().SeriesCount());
  }
}
BENCHMARK(BM_HistoryMemoryOfADay)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
