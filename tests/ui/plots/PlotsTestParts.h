#pragma once

#include <QTabWidget>
#include <cmath>
#include <qcustomplot.h>
#include <string>

#include "support/ProfileSection.h"
#include "tests/ui/MainWindowTestParts.h"
#include "ui/plots/PlotsView.h"

namespace vorn::test {

inline constexpr int kPlotsTab = 3;

// The main window with its Plots tab, from the default layout, and a run stepped by hand.
class PlotsViewTest : public MainWindowTest {
 protected:
  void SetUp() override {
    // Every test starts from the default layout and the first tab.
    vorn::CProfileSection profile("VornRigSim", "");
    profile.RemoveEntry("PlotLayout");
    profile.WriteInt("TabSel", 0);
  }
  void OpenOnPlots() {
    Open();
    window->resize(1000, 640);
    Find<QTabWidget>("tabs")->setCurrentIndex(kPlotsTab);
    Settle();
  }
  // A run on a link that opens nothing, stepped by hand: each tick 100 ms of both clocks.
  void StartRun() {
    CWitsCommSettings silent;
    silent.commType = 2;
    ASSERT_TRUE(window->Controller().SetLinkSettings(silent).IsDone());
    ASSERT_TRUE(window->Controller().SetRunning(true).IsDone());
  }
  void Tick(int count) {
    for (int i = 0; i < count; ++i) {
      clocks.milliseconds += 100;
      clocks.now += 0.1;
      window->Controller().TickOnce();
    }
  }
  [[nodiscard]] CPlotsView& Plots() { return window->Plots(); }
  [[nodiscard]] const CHistoryStore& Store() { return window->History().Store(); }
  [[nodiscard]] double LastValue(const std::string& series) {
    const int index = Store().FindSeries(series);
    return index < 0 ? std::nan("") : Store().LastValue(static_cast<size_t>(index));
  }
  // The newest point a curve draws.
  [[nodiscard]] QCPGraphData LastPoint(int track, int curve) {
    const auto data = Plots().CurveGraph(track, curve).data();
    EXPECT_FALSE(data->isEmpty());
    return data->isEmpty() ? QCPGraphData() : *(data->constEnd() - 1);
  }
};

}  // namespace vorn::test
