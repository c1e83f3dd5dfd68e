// The grid's share of the main window's 100 ms refresh: redrawing one cell at once, and putting new
// values into 22 rows x 2 columns and redrawing each cell, as the channel grid is refreshed. Drawn on
// the offscreen platform, so the figures are the painting itself without a display server.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>

#include "bench/BenchWidgets.h"
#include "grid/GridCtrl.h"

namespace {

// A shown grid like the channel grid: a header row and 22 rows of name and value.
void Build(CGridCtrl& grid) {
  grid.SetRowCount(23);
  grid.SetColumnCount(2);
  grid.SetFixedRowCount(1);
  grid.SetColumnWidth(0, 90);
  grid.SetColumnWidth(1, 55);
  grid.SetItemText(0, 0, "Name");
  grid.SetItemText(0, 1, "Value");
  for (int r = 1; r < 23; ++r) {
    grid.SetRowHeight(r, 20);
    grid.SetItemText(r, 0, QString("CHANNEL_%1").arg(r));
    grid.SetItemState(r, 0, gridstate::kReadOnly);
    grid.SetItemState(r, 1, gridstate::kReadOnly);
  }
  grid.resize(180, 23 * 20 + 10);
  grid.show();
  QApplication::processEvents();
}

void BM_RedrawOneCell(benchmark::State& state) {
  BenchApp();
  CGridCtrl grid;
  Build(grid);
  grid.SetItemText(5, 1, "1234.56");
  for (auto _ : state) grid.RedrawCell(5, 1);
  // Every run of a program carries the same counters, or the CSV report of bench/run stops.
  state.counters["cells"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Refresh22RowsBy2Columns(benchmark::State& state) {
  BenchApp();
  CGridCtrl grid;
  Build(grid);
  double value = 0.0;
  for (auto _ : state) {
    value += 0.01;
    for (int r = 1; r < 23; ++r) {
      grid.SetItemText(r, 0, QString("CHANNEL_%1").arg(r));
      grid.SetItemText(r, 1, QString::number(value + r, 'f', 2));
      grid.RedrawCell(r, 0);
      grid.RedrawCell(r, 1);
    }
  }
  state.counters["cells"] = benchmark::Counter(44.0 * static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_RedrawOneCell)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Refresh22RowsBy2Columns)->Unit(benchmark::kMicrosecond);
