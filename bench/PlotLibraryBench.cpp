// The plotting workload of the "Plots" tab on the two candidate libraries: 6 tracks side by side with
// 2 curves each, a 1 h window following the present, redrawn 10 times a second. Each iteration is one
// refresh: every curve takes one new point at its end, drops the oldest, and the six tracks are drawn
// into an image on the offscreen platform. Run with Arg 0 for every tick of the hour (36000 points per
// curve) and with Arg 1 for the min/max envelope the tab feeds its plots (two points per pixel row).
#include <benchmark/benchmark.h>

#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>
#include <cmath>
#include <memory>
#include <qcustomplot.h>
#include <vector>

#include "bench/BenchWidgets.h"

namespace {

constexpr int kTracks = 6;
constexpr int kCurvesPerTrack = 2;
constexpr int kTrackWidth = 160;
constexpr int kTrackHeight = 560;
constexpr double kWindowSeconds = 3600.0;

// Points of one curve for the window ending at `now`: every tick, or two per pixel row.
std::vector<QPointF> CurvePoints(int curve, double now, bool envelope) {
  const int count = envelope ? 2 * kTrackHeight : static_cast<int>(kWindowSeconds * 10);
  std::vector<QPointF> points;
  points.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = now - kWindowSeconds + kWindowSeconds * i / count;
    points.emplace_back(t, 100.0 * curve + 50.0 * std::sin(t / 30.0 + curve));
  }
  return points;
}

void BM_QtCharts(benchmark::State& state) {
  BenchApp();
  const bool envelope = state.range(0) != 0;
  std::vector<std::unique_ptr<QChartView>> views;
  std::vector<QLineSeries*> series;
  std::vector<QValueAxis*> timeAxes;
  double now = kWindowSeconds;
  for (int t = 0; t < kTracks; ++t) {
    auto* chart = new QChart;
    chart->legend()->hide();
    auto* timeAxis = new QValueAxis;
    chart->addAxis(timeAxis, Qt::AlignLeft);
    timeAxes.push_back(timeAxis);
    for (int c = 0; c < kCurvesPerTrack; ++c) {
      auto* line = new QLineSeries;
      line->setUseOpenGL(false);
      chart->addSeries(line);
      auto* valueAxis = new QValueAxis;
      valueAxis->setRange(-100, 300);
      chart->addAxis(valueAxis, Qt::AlignTop);
      line->attachAxis(timeAxis);
      line->attachAxis(valueAxis);
      QList<QPointF> points;
      for (const QPointF& p : CurvePoints(t * kCurvesPerTrack + c, now, envelope)) points.append({p.y(), p.x()});
      line->replace(points);
      series.push_back(line);
    }
    auto view = std::make_unique<QChartView>(chart);
    view->resize(kTrackWidth, kTrackHeight);
    view->show();
    views.push_back(std::move(view));
  }
  QApplication::processEvents();
  QImage image(kTrackWidth, kTrackHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    now += 0.1;
    for (size_t i = 0; i < series.size(); ++i) {
      QLineSeries* line = series[i];
      if (envelope) {
        QList<QPointF> points;
        for (const QPointF& p : CurvePoints(static_cast<int>(i), now, true)) points.append({p.y(), p.x()});
        line->replace(points);
      } else {
        line->remove(0);
        line->append(100.0 * static_cast<double>(i), now);
      }
    }
    for (int t = 0; t < kTracks; ++t) {
      timeAxes[static_cast<size_t>(t)]->setRange(now - kWindowSeconds, now);
      QPainter painter(&image);
      views[static_cast<size_t>(t)]->render(&painter);
    }
  }
  state.counters["cpu_at_10Hz_%"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 1000.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_QtCharts)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_QCustomPlot(benchmark::State& state) {
  BenchApp();
  const bool envelope = state.range(0) != 0;
  std::vector<std::unique_ptr<QCustomPlot>> plots;
  std::vector<QCPGraph*> graphs;
  double now = kWindowSeconds;
  for (int t = 0; t < kTracks; ++t) {
    auto plot = std::make_unique<QCustomPlot>();
    plot->resize(kTrackWidth, kTrackHeight);
    for (int c = 0; c < kCurvesPerTrack; ++c) {
      // Time runs down the track: keys on the left axis, values on the top axis.
      QCPGraph* graph = plot->addGraph(plot->yAxis, plot->xAxis2);
      plot->xAxis2->setVisible(true);
      plot->xAxis2->setRange(-100, 300);
      plot->yAxis->setRangeReversed(true);
      QVector<double> keys;
      QVector<double> values;
      for (const QPointF& p : CurvePoints(t * kCurvesPerTrack + c, now, envelope)) {
        keys.append(p.x());
        values.append(p.y());
      }
      graph->setData(keys, values, true);
      graphs.push_back(graph);
    }
    plot->show();
    plots.push_back(std::move(plot));
  }
  QApplication::processEvents();
  QImage image(kTrackWidth, kTrackHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    now += 0.1;
    for (size_t i = 0; i < graphs.size(); ++i) {
      QCPGraph* graph = graphs[i];
      if (envelope) {
        QVector<double> keys;
        QVector<double> values;
        for (const QPointF& p : CurvePoints(static_cast<int>(i), now, true)) {
          keys.append(p.x());
          values.append(p.y());
        }
        graph->setData(keys, values, true);
      } else {
        graph->data()->removeBefore(now - kWindowSeconds);
        graph->addData(now, 100.0 * static_cast<double>(i));
      }
    }
    for (int t = 0; t < kTracks; ++t) {
      QCustomPlot& plot = *plots[static_cast<size_t>(t)];
      plot.yAxis->setRange(now - kWindowSeconds, now);
      plot.replot(QCustomPlot::rpImmediateRefresh);
      QPainter painter(&image);
      plot.render(&painter);
    }
  }
  state.counters["cpu_at_10Hz_%"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 1000.0,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_QCustomPlot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
