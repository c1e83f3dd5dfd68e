// The Plots tab of the main window: curves drawn from the history after driven ticks, pause and live,
// the layout kept across a restart, and the exports.
#include <QFile>
#include <QImage>
#include <QSettings>
#include <QTabWidget>
#include <QWheelEvent>
#include <cmath>
#include <qcustomplot.h>

#include "engine/RigMode.h"
#include "history/HistoryCsv.h"
#include "support/ProfileSection.h"
#include "support/Numbers.h"
#include "tests/ui/plots/PlotsTestParts.h"
#include "ui/plots/PlotsView.h"

namespace {

using vorn::test::kPlotsTab;
using vorn::test::PlotsViewTest;
using vorn::test::ScreenshotPath;
using vorn::test::Settle;

TEST_F(PlotsViewTest, TheTabComesLastAndDrawsEveryDefaultCurveWithItsLastValueAfterTicks) {
  OpenOnPlots();
  auto* tabs = Find<QTabWidget>("tabs");
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(kPlotsTab), "Plots");
  EXPECT_EQ(tabs->widget(kPlotsTab), &Plots());
  StartRun();
  Tick(50);
  window->Engine().m_witsInItems[{1, 8}] = {"Depth", "321.5", clocks.now};
  Tick(1);
  Plots().AddCurve(0, "WITS 0108");
  Settle();  // the new tracks laid out
  Tick(10);  // an hour's view is drawn again once a second

  const CRigSim& engine = window->Engine();
  ASSERT_EQ(Plots().TrackCount(), 6);
  const PlotLayout& layout = Plots().Layout();
  for (int t = 0; t < 6; ++t) {
    for (int c = 0; c < static_cast<int>(layout.tracks[static_cast<size_t>(t)].curves.size()); ++c) {
      const std::string& series = layout.tracks[static_cast<size_t>(t)].curves[static_cast<size_t>(c)].series;
      const QCPGraphData last = LastPoint(t, c);
      EXPECT_EQ(last.value, LastValue(series)) << series;
      // The legend shows the name and the current value under it: two decimals, or a flag's truth.
      const bool flag = series == "SLIPS" || series == "ON_BOTTOM";
      const std::string value =
          flag ? (LastValue(series) != 0.0 ? "TRUE" : "FALSE") : vorn::FormatFixed(LastValue(series), 2);
      const QString legend = Plots().CurveGraph(t, c).name();
      EXPECT_TRUE(legend.startsWith(QString::fromStdString(series + "\n" + value))) << legend.toStdString();
    }
  }
  EXPECT_EQ(LastPoint(0, 0).value, engine.m_fDepth);
  EXPECT_DOUBLE_EQ(LastPoint(0, 0).key, Store().Latest());
  EXPECT_EQ(LastPoint(1, 0).value, engine.m_fHookLoad);
  EXPECT_EQ(LastPoint(0, 2).value, 321.5);
  EXPECT_NEAR(Store().Latest(), 6.1, 1e-9);  // 61 ticks of 100 ms
  // The time axis ends at the present and spans the window.
  const QCPRange range = Plots().TrackPlot(0).yAxis->range();
  EXPECT_DOUBLE_EQ(range.upper, Store().Latest());
  EXPECT_DOUBLE_EQ(range.size(), 3600.0);
  ASSERT_TRUE(window->Controller().SetRunning(false).IsDone());
}

TEST_F(PlotsViewTest, PausedTheViewStaysWhileTheHistoryGoesOnAndLiveReturnsToThePresent) {
  OpenOnPlots();
  StartRun();
  Tick(20);
  Click("plotPause");
  EXPECT_FALSE(Plots().IsLive());
  EXPECT_FALSE(Find("plotPause")->isEnabled());
  const double end = Plots().ViewEnd();
  const double lastKey = LastPoint(0, 0).key;
  Tick(30);
  EXPECT_EQ(Plots().ViewEnd(), end);
  EXPECT_EQ(LastPoint(0, 0).key, lastKey);
  EXPECT_GT(Store().Latest(), end);

  // The wheel over a track zooms the time span for every track.
  QCustomPlot& plot = Plots().TrackPlot(1);
  const QPointF centre = plot.axisRect()->rect().center();
  QWheelEvent wheel(centre, plot.mapToGlobal(centre.toPoint()), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&plot, &wheel);
  Settle();
  EXPECT_LT(Plots().ViewSpan(), 3600.0);
  EXPECT_DOUBLE_EQ(Plots().TrackPlot(0).yAxis->range().size(), Plots().ViewSpan());
  EXPECT_DOUBLE_EQ(Plots().TrackPlot(5).yAxis->range().size(), Plots().ViewSpan());

  Click("plotLive");
  EXPECT_TRUE(Plots().IsLive());
  EXPECT_DOUBLE_EQ(Plots().ViewEnd(), Store().Latest());
  EXPECT_DOUBLE_EQ(LastPoint(0, 0).key, Store().Latest());
  // Drawn again once the present moved by a pixel of the time axis, and at least once a second.
  Plots().SetWindowSeconds(3600);
  const double drawn = Plots().TrackPlot(3).yAxis->range().upper;
  Tick(1);
  EXPECT_DOUBLE_EQ(Plots().TrackPlot(3).yAxis->range().upper, drawn);
  Tick(9);
  EXPECT_DOUBLE_EQ(Plots().TrackPlot(3).yAxis->range().upper, Store().Latest());
  Plots().SetWindowSeconds(60);  // a pixel is about a tick: drawn within two
  Settle();                       // the new tracks laid out
  Tick(2);
  EXPECT_DOUBLE_EQ(Plots().TrackPlot(3).yAxis->range().upper, Store().Latest());

  // Scrolled back, the view shows that span and pauses.
  Plots().ScrollTo(2.0);
  EXPECT_FALSE(Plots().IsLive());
  EXPECT_LE(LastPoint(0, 0).key, 2.0);
  ASSERT_TRUE(window->Controller().SetRunning(false).IsDone());
}

TEST_F(PlotsViewTest, TheLayoutIsKeptOnlyWhenChangedAndComesBackAfterARestart) {
  OpenOnPlots();
  const QString ini = QSettings(QSettings::IniFormat, QSettings::UserScope, "VornRigSim", "VornRigSim").fileName();
  const auto profileText = [&] {
    QFile file(ini);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  EXPECT_FALSE(profileText().contains("PlotLayout"));  // the default is not written

  Plots().AddCurve(2, "WITS 0108");
  Plots().SetCurveScale(0, 1, false, 900.0, 1100.0);
  Plots().SetCurveColour(1, 0, 0x123456);
  Plots().RemoveTrack(4);
  Plots().SetTimeDown(false);
  Plots().SetWindowSeconds(600);
  const PlotLayout changed = Plots().Layout();
  EXPECT_TRUE(profileText().contains("PlotLayout"));
  window.reset();

  Open();
  EXPECT_EQ(Find<QTabWidget>("tabs")->currentIndex(), kPlotsTab);
  EXPECT_EQ(Plots().Layout(), changed);
  EXPECT_EQ(Plots().TrackCount(), 5);
  EXPECT_EQ(Find<QComboBox>("plotOrientation")->currentText(), "Time across");
  EXPECT_EQ(Find<QComboBox>("plotWindow")->currentText(), "10 min");
  EXPECT_EQ(Plots().TrackPlot(0).xAxis->range().size(), 600.0);

  // Back to the default layout: the entry goes from the profile.
  Plots().SetLayout(DefaultPlotLayout());
  EXPECT_FALSE(profileText().contains("PlotLayout"));
}

TEST_F(PlotsViewTest, ExportWritesThePictureAndTheVisibleDataAsTheHistoryHoldsIt) {
  OpenOnPlots();
  StartRun();
  Tick(40);
  ASSERT_TRUE(window->Controller().SetMode(TripOut).IsDone());
  Tick(40);
  ASSERT_TRUE(window->Controller().SetRunning(false).IsDone());
  Plots().SetWindowSeconds(60);

  const QString folder = QString::fromStdString(vorn::OutputFilesFolder());
  ASSERT_TRUE(Plots().ExportPng(folder + "/plots.png"));
  const QImage picture(folder + "/plots.png");
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), Find("plotTracks")->size() * Find("plotTracks")->devicePixelRatio());

  ASSERT_TRUE(Plots().ExportCsv(folder + "/plots.csv"));
  QFile file(folder + "/plots.csv");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = file.readAll().split('\n');
  // Header, one row per tick of the 8 s history that stepped the rig (all but the run's first), and
  // the empty piece after the last CR LF.
  ASSERT_EQ(lines.size(), 1 + 79 + 1);
  EXPECT_TRUE(lines[0].startsWith("Time,Elapsed,DEPTH min,DEPTH max,HOLE_DEPTH min,HOLE_DEPTH max,HOOKLOAD min"));
  EXPECT_TRUE(lines[0].endsWith("ON_BOTTOM min,ON_BOTTOM max\r"));
  const auto rows = Store().Rows(
      {static_cast<size_t>(Store().FindSeries("DEPTH")), static_cast<size_t>(Store().FindSeries("HOOKLOAD"))}, 0.0,
      1e9);
  ASSERT_EQ(rows.size(), 79U);
  for (size_t i = 0; i < rows.size(); ++i) {
    const QList<QByteArray> fields = lines[static_cast<qsizetype>(i) + 1].trimmed().split(',');
    ASSERT_EQ(fields.size(), 2 + 2 * 12);
    EXPECT_DOUBLE_EQ(fields[1].toDouble(), std::round(rows[i].t * 1000.0) / 1000.0);
    EXPECT_EQ(fields[2].toDouble(), rows[i].min[0]);   // DEPTH
    EXPECT_EQ(fields[6].toDouble(), rows[i].min[1]);   // HOOKLOAD
  }
  // The mode change is marked on the time axis of every track, its name on the first.
  const auto marks = Store().Marks();
  ASSERT_GE(marks.size(), 2U);
  EXPECT_EQ(marks[0].text, "Drill");
  bool tripOut = false;
  for (const auto& mark : marks) tripOut = tripOut || mark.text == "Trip Out";
  EXPECT_TRUE(tripOut);
  int shownTexts = 0;
  for (int i = 0; i < Plots().TrackPlot(0).itemCount(); ++i) {
    auto* text = qobject_cast<QCPItemText*>(Plots().TrackPlot(0).item(i));
    if (text != nullptr && text->visible() && text->text() == "Trip Out") ++shownTexts;
  }
  EXPECT_EQ(shownTexts, 1);
}

TEST_F(PlotsViewTest, ScreenshotOfADrillingCycleAtTenTimesSpeed) {
  Open();
  window->resize(1100, 700);
  StartRun();
  ASSERT_TRUE(window->Controller().SetTenTimes(true).IsDone());
  Tick(3000);  // five minutes, on the State tab: the plots draw only when shown
  Find<QTabWidget>("tabs")->setCurrentIndex(kPlotsTab);
  Plots().SetWindowSeconds(300);
  Settle();
  EXPECT_TRUE(window->grab().save(ScreenshotPath("main-window-plots.png")));
  ASSERT_TRUE(window->Controller().SetRunning(false).IsDone());
}

}  // namespace
