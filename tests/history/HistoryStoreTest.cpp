// The history store: every sample of the last minutes, every second's minimum and maximum for a day.
#include <gtest/gtest.h>

#include <cmath>

#include "history/HistoryCsv.h"
#include "history/HistoryStore.h"

namespace {

// Ten samples a second of `value(t)` from `from` up to (not including) `to`, on integer ticks of 100 ms.
template <typename Value>
void Feed(CHistoryStore& store, size_t series, int fromTick, int toTick, const Value& value) {
  for (int tick = fromTick; tick < toTick; ++tick) store.Add(series, tick / 10.0, value(tick));
}

constexpr int kTicksPerDay = 864000;

TEST(HistoryDecimation, AOneTickSpikeAndDipSurviveADay) {
  CHistoryStore store;
  const size_t s = store.SeriesIndex("HOOKLOAD");
  // One tick at 500 at 100.3 s, one at -7 at 20000.7 s, 10 everywhere else, for just under a day.
  Feed(store, s, 0, kTicksPerDay - 20, [](int tick) { return tick == 1003 ? 500.0 : tick == 200007 ? -7.0 : 10.0; });

  double min = 0.0;
  double max = 0.0;
  ASSERT_TRUE(store.Range(s, 0.0, 86400.0, min, max));
  EXPECT_EQ(max, 500.0);
  EXPECT_EQ(min, -7.0);
  // Drawn over 300 pixels, a day's envelope still reaches both.
  std::vector<CHistoryStore::Point> points;
  store.Envelope(s, 0.0, 86400.0, 300, points);
  EXPECT_LE(points.size(), 601U);  // two a pixel, and the newest sample
  double highest = 0.0;
  double lowest = 0.0;
  for (const auto& p : points) {
    highest = std::max(highest, p.value);
    lowest = std::min(lowest, p.value);
  }
  EXPECT_EQ(highest, 500.0);
  EXPECT_EQ(lowest, -7.0);
  // The second that held the spike keeps it as its maximum, and 10 (its other samples) as its minimum.
  const auto rows = store.Rows({s}, 100.0, 100.0);
  ASSERT_EQ(rows.size(), 1U);
  EXPECT_TRUE(rows[0].perSecond);
  EXPECT_EQ(rows[0].min[0], 10.0);
  EXPECT_EQ(rows[0].max[0], 500.0);
}

TEST(HistoryDecimation, TheLastTenMinutesKeepEverySampleAndOlderTimeOneRowPerSecond) {
  CHistoryStore store;
  const size_t s = store.SeriesIndex("DEPTH");
  Feed(store, s, 0, 12000, [](int tick) { return 1000.0 + tick * 0.01; });  // 20 minutes
  const auto rows = store.Rows({s}, 0.0, 1e9);
  // The newest sample is at 1199.9 s: samples from 600 s on (the second holding 599.9 s comes whole
  // from its bucket), seconds before.
  size_t perSecond = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].perSecond) ++perSecond;
    if (i > 0) {
      EXPECT_LT(rows[i - 1].t, rows[i].t);
    }
  }
  EXPECT_EQ(perSecond, 600U);
  EXPECT_EQ(rows.size(), 600U + 6000U);
  EXPECT_FALSE(rows[600].perSecond);
  EXPECT_DOUBLE_EQ(rows[600].t, 600.0);
  EXPECT_DOUBLE_EQ(rows.back().min[0], 1000.0 + 11999 * 0.01);
  EXPECT_FLOAT_EQ(static_cast<float>(rows[599].min[0]), static_cast<float>(1000.0 + 5990 * 0.01));
  EXPECT_FLOAT_EQ(static_cast<float>(rows[599].max[0]), static_cast<float>(1000.0 + 5999 * 0.01));
}

TEST(HistoryDecimation, SecondsOlderThanADayAreDropped) {
  CHistoryStore store({600.0, 3600, 100});
  const size_t s = store.SeriesIndex("RPM");
  Feed(store, s, 0, 40000, [](int tick) { return tick < 10 ? 99.0 : 1.0; });  // 4000 s
  double min = 0.0;
  double max = 0.0;
  ASSERT_TRUE(store.Range(s, 0.0, 1e9, min, max));
  EXPECT_EQ(max, 1.0);  // the first second is gone
  EXPECT_EQ(store.Rows({s}, 0.0, 1e9).front().t, 400.0);
}

TEST(HistoryStore, SamplesOutOfOrderOrNotANumberAreIgnoredLastValueIsTheNewestAndClearForgetsTheSeries) {
  CHistoryStore store;
  const size_t s = store.SeriesIndex("FLOW");
  EXPECT_EQ(store.SeriesIndex("FLOW"), s);
  EXPECT_EQ(store.FindSeries("SPP"), -1);
  EXPECT_TRUE(std::isnan(store.LastValue(s)));
  store.Add(s, 1.0, 5.0);
  store.Add(s, 0.5, 6.0);
  store.Add(s, 2.0, std::nan(""));
  EXPECT_EQ(store.LastValue(s), 5.0);
  EXPECT_EQ(store.Rows({s}, 0.0, 10.0).size(), 1U);
  store.Clear();
  EXPECT_EQ(store.FindSeries("FLOW"), -1);
  EXPECT_EQ(store.SeriesIndex("SPP"), 0U);
  EXPECT_FALSE(store.HasSamples(0));
}

TEST(HistoryStore, RowsMergeTheSeriesOnTheirCommonTimes) {
  CHistoryStore store;
  const size_t a = store.SeriesIndex("A");
  const size_t b = store.SeriesIndex("B");
  store.Add(a, 0.1, 1.0);
  store.Add(a, 0.2, 2.0);
  store.Add(b, 0.2, 20.0);
  const auto rows = store.Rows({a, b}, 0.0, 1.0);
  ASSERT_EQ(rows.size(), 2U);
  EXPECT_EQ(rows[0].min[0], 1.0);
  EXPECT_TRUE(std::isnan(rows[0].min[1]));
  EXPECT_EQ(rows[1].max[1], 20.0);
}

TEST(HistoryCsvText, HeadsEachSeriesWithMinAndMaxAndWritesRowsInTimeOrder) {
  CHistoryStore store({0.5, 86400, 100});
  const size_t a = store.SeriesIndex("DEPTH");
  const size_t b = store.SeriesIndex("Item X,Y");
  store.Add(a, 0.1, 1000.5);
  store.Add(a, 0.6, 1000.25);
  store.Add(b, 0.6, 3.0);
  store.Add(a, 1.2, 1001.0);
  store.Add(b, 1.2, 4.0);
  store.Add(a, 2.0, 1002.125);
  store.Add(b, 2.0, 5.0);
  // Only the samples of the last 0.5 s are kept as they came; seconds 0 and 1 as minimum and maximum.
  // Time 0 is 2000-01-01 00:00:00 local.
  const std::string csv = HistoryCsv(store, AllSeries(store), 0.0, 10.0, 0.0);
  EXPECT_EQ(csv,
            "Time,Elapsed,DEPTH min,DEPTH max,\"Item X,Y min\",\"Item X,Y max\"\r\n"
            "2000-Jan-01 0:00:00.000,0,1000.25,1000.5,3,3\r\n"
            "2000-Jan-01 0:00:01.000,1,1001,1001,4,4\r\n"
            "2000-Jan-01 0:00:02.000,2,1002.125,1002.125,5,5\r\n");
}

}  // namespace
