// The main window's grid work after each 100 ms tick of a run, without the engine's own tick: the
// state highlight, the channel values, the output values and the received items, as the run loop
// calls them. Drawn on the offscreen platform, so the figures are the painting itself.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include "bench/BenchWidgets.h"
#include "ui/MainWindowGrids.h"
#include "ui/VornRigSimDlg.h"

namespace {

// The window on a tab, with the default 22 items and `received` WITS items in its table.
void BM_RefreshAfterTick(benchmark::State& state) {
  BenchApp();
  CVornRigSimDlg window;
  const int tab = static_cast<int>(state.range(0));
  const int received = static_cast<int>(state.range(1));
  CRigSim& engine = window.Engine();
  for (int i = 1; i <= received; ++i) engine.m_witsInItems[{1, i}] = {"Item", "12.5", 0.0};
  window.findChild<QTabWidget*>("tabs")->setCurrentIndex(tab);
  window.show();
  QApplication::processEvents();
  CMainWindowGrids& grids = window.Grids();
  for (auto _ : state) {
    grids.HighlightStateRow();
    grids.RefreshChannelGrid();
    grids.RefreshOutputValues();
    grids.RefreshWitsInGrid();
  }
  state.SetLabel(tab == 0 ? "State tab" : tab == 1 ? "Output tab" : "Wits In tab");
}
BENCHMARK(BM_RefreshAfterTick)->Args({0, 0})->Args({1, 0})->Args({2, 50})->Unit(benchmark::kMicrosecond);

}  // namespace
