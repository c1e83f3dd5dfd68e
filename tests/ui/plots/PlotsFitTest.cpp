// The Plots tab at the window's default size, in both directions of time: every track's time axis
// from the same pixel to the same pixel, the depths on one scale, tick labels, legends and mode names
// that all fit without running into one another.
#include <QFontMetricsF>
#include <algorithm>
#include <vector>

#include "engine/RigMode.h"
#include "tests/ui/plots/PlotsTestParts.h"

namespace {

using vorn::test::kPlotsTab;
using vorn::test::PlotsViewTest;
using vorn::test::ScreenshotPath;
using vorn::test::Settle;

struct Interval {
  double from = 0.0;
  double to = 0.0;
};

// Intervals that share no pixel, in whatever order they come.
bool Apart(std::vector<Interval> intervals) {
  std::sort(intervals.begin(), intervals.end(), [](const Interval& a, const Interval& b) { return a.from < b.from; });
  for (size_t i = 1; i < intervals.size(); ++i) {
    if (intervals[i].from < intervals[i - 1].to) return false;
  }
  return true;
}

class PlotsFitTest : public PlotsViewTest {
 protected:
  // Half a minute of drilling at ten-times speed, mode changes a tick apart, then a trip out;
  // the last minute shown at the window's default size.
  void FeedHistory() {
    Open();
    window->resize(772, 527);
    ASSERT_TRUE(window->Controller().SetHoleDepth(1071.18).IsDone());
    ASSERT_TRUE(window->Controller().SetBitDepth(1071.18).IsDone());
    StartRun();
    ASSERT_TRUE(window->Controller().SetTenTimes(true).IsDone());
    Tick(300);
    for (const RigMode mode : {Idle, Drill, TripIn, Idle, TripOut}) {
      ASSERT_TRUE(window->Controller().SetMode(mode).IsDone());
      Tick(1);
    }
    Tick(300);
    Find<QTabWidget>("tabs")->setCurrentIndex(kPlotsTab);
    Plots().SetWindowSeconds(60);
    Settle();
  }

  // The axis rectangle of a track in the coordinates of the area that holds every track.
  [[nodiscard]] QRect TimeArea(int track) {
    QCustomPlot& plot = track < 0 ? *Find<QCustomPlot>("plotTimeScale") : Plots().TrackPlot(track);
    const QRect rect = plot.axisRect()->rect();
    return {plot.mapTo(Find("plotTracks"), rect.topLeft()), rect.size()};
  }

  void ExpectTimeAxesLinedUp(bool down) {
    const QRect first = TimeArea(0);
    for (int t = -1; t < Plots().TrackCount(); ++t) {  // -1: the strip of time labels
      const QRect area = TimeArea(t);
      if (down) {
        EXPECT_EQ(area.top(), first.top()) << "track " << t;
        EXPECT_EQ(area.bottom(), first.bottom()) << "track " << t;
      } else {
        EXPECT_EQ(area.left(), first.left()) << "track " << t;
        EXPECT_EQ(area.right(), first.right()) << "track " << t;
      }
    }
  }

  // Bit and hole depth on one axis; at every drawn time the hole is as deep as the bit or deeper,
  // and so never above it when deeper is lower (time across) nor left of it (time down).
  void ExpectDepthsOnOneScale() {
    QCPGraph& bit = Plots().CurveGraph(0, 0);
    QCPGraph& hole = Plots().CurveGraph(0, 1);
    ASSERT_EQ(bit.valueAxis(), hole.valueAxis());
    ASSERT_EQ(bit.data()->size(), hole.data()->size());
    int deeper = 0;
    for (int i = 0; i < bit.data()->size(); ++i) {
      const double b = bit.valueAxis()->coordToPixel(bit.data()->at(i)->value);
      const double h = hole.valueAxis()->coordToPixel(hole.data()->at(i)->value);
      EXPECT_EQ(bit.data()->at(i)->key, hole.data()->at(i)->key);
      // Deeper is further right (time down) or further down the screen (time across).
      EXPECT_GE(h, b) << i;
      if (h > b + 2.0) ++deeper;
    }
    EXPECT_GT(deeper, 0);  // the trip took the bit up
    // The legend of the second says on whose scale it is drawn.
    EXPECT_TRUE(hole.name().endsWith("(scale of DEPTH)")) << hole.name().toStdString();
    EXPECT_FALSE(bit.name().contains("scale"));
    // The pump rates share theirs; hookload and weight on bit keep their own.
    EXPECT_EQ(Plots().CurveGraph(4, 0).valueAxis(), Plots().CurveGraph(4, 1).valueAxis());
    EXPECT_NE(Plots().CurveGraph(1, 0).valueAxis(), Plots().CurveGraph(1, 1).valueAxis());
  }

  // Every visible axis's labels keep apart from one another, and a value axis's stay within its
  // track's axis rectangle, so the next track's cannot run into them.
  void ExpectTickLabelsApart() {
    for (int t = 0; t < Plots().TrackCount(); ++t) {
      QCustomPlot& plot = Plots().TrackPlot(t);
      const QRect rect = plot.axisRect()->rect();
      for (QCPAxis* axis : plot.axisRect()->axes()) {
        if (!axis->visible() || !axis->tickLabels()) continue;
        const QFontMetricsF metrics(axis->tickLabelFont());
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        const bool time = !axis->ticker().dynamicCast<QCPAxisTickerTime>().isNull();
        std::vector<Interval> labels;
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> texts = axis->tickVectorLabels();
        for (qsizetype i = 0; i < ticks.size() && i < texts.size(); ++i) {
          const QString& label = texts[i];
          if (label.isEmpty()) continue;
          const double at = axis->coordToPixel(ticks[i]);
          const double half = (horizontal ? metrics.horizontalAdvance(label) : metrics.height()) / 2.0;
          labels.push_back({at - half, at + half});
          if (time) continue;  // the time axis's labels may reach past its ends, beside the value axes
          const double low = horizontal ? rect.left() : rect.top();
          const double high = horizontal ? rect.right() + 1 : rect.bottom() + 1;
          EXPECT_GE(at - half, low) << "track " << t << " label " << label.toStdString() << " at " << at << " range "
                                    << axis->range().lower << ".." << axis->range().upper << " rect " << rect.top()
                                    << ".." << rect.bottom();
          EXPECT_LE(at + half, high) << "track " << t << " label " << label.toStdString();
        }
        EXPECT_TRUE(Apart(labels)) << "track " << t;
        if (!time) {
          EXPECT_GE(labels.size(), 1U) << "track " << t;
        }
      }
    }
  }

  // Each legend lies within its track's axis rectangle at the size it asks for, so no name or value
  // is cut; flags read TRUE or FALSE.
  void ExpectLegendsWhole() {
    for (int t = 0; t < Plots().TrackCount(); ++t) {
      QCPLegend& legend = *Plots().TrackPlot(t).legend;
      EXPECT_TRUE(Plots().TrackPlot(t).axisRect()->rect().contains(legend.outerRect()))
          << "track " << t << " legend " << legend.outerRect().width() << "x" << legend.outerRect().height()
          << " in " << Plots().TrackPlot(t).axisRect()->rect().width() << "x"
          << Plots().TrackPlot(t).axisRect()->rect().height();
      EXPECT_GE(legend.outerRect().width(), legend.minimumOuterSizeHint().width());
      EXPECT_GE(legend.outerRect().height(), legend.minimumOuterSizeHint().height());
    }
    const QString slips = Plots().CurveGraph(5, 0).name();
    const QString onBottom = Plots().CurveGraph(5, 1).name();
    EXPECT_TRUE(slips.endsWith("TRUE") || slips.endsWith("FALSE")) << slips.toStdString();
    EXPECT_TRUE(onBottom.endsWith("TRUE") || onBottom.endsWith("FALSE")) << onBottom.toStdString();
  }

  // The names of marks a tick apart are thinned out: those shown keep clear of one another along
  // the time axis, and the newest mode's name is among them.
  void ExpectMarkNamesApart(bool down) {
    QCustomPlot& plot = Plots().TrackPlot(down ? 0 : Plots().TrackCount() - 1);
    std::vector<Interval> names;
    bool tripOut = false;
    for (int i = 0; i < plot.itemCount(); ++i) {
      auto* text = qobject_cast<QCPItemText*>(plot.item(i));
      if (text == nullptr || !text->visible()) continue;
      const QPointF at = text->position->pixelPosition();
      const double along = down ? at.y() : at.x();
      names.push_back({along - QFontMetricsF(text->font()).height(), along});
      tripOut = tripOut || text->text() == "Trip Out";
    }
    EXPECT_TRUE(tripOut);
    EXPECT_LT(names.size(), Store().Marks().size());
    EXPECT_TRUE(Apart(names));
  }
};

TEST_F(PlotsFitTest, AtTheDefaultSizeTimeAxesLineUpAndEveryTextFitsInBothDirections) {
  FeedHistory();
  for (const bool down : {true, false}) {
    SCOPED_TRACE(down ? "time down" : "time across");
    Plots().SetTimeDown(down);
    Settle();
    ExpectTimeAxesLinedUp(down);
    ExpectDepthsOnOneScale();
    ExpectTickLabelsApart();
    ExpectLegendsWhole();
    ExpectMarkNamesApart(down);
    EXPECT_TRUE(window->grab().save(ScreenshotPath(down ? "plots-default-down.png" : "plots-default-across.png")));
  }
  ASSERT_TRUE(window->Controller().SetRunning(false).IsDone());
}

}  // namespace
