#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

// The history of a run's numeric series (channels, output items, received items), kept for a day in a
// fixed budget: every sample of the last minutes as it came, and for every second of the day its
// minimum and maximum, so a one-sample spike survives any decimation. Time is seconds since the
// history began. Plain data: the recorder feeds it, the plots and the exports read it.
class CHistoryStore {
 public:
  struct Limits {
    double rawSeconds = 600.0;    // every sample younger than this, counted from the series' newest
    int64_t bucketSeconds = 86400;  // per-second minimum and maximum for this many seconds
    size_t maxMarks = 100000;     // marks kept, the oldest dropped first
  };
  struct Point {
    double t = 0.0;
    double value = 0.0;
  };
  // One second of a series: the least and greatest value of its samples; NaN for a second without any.
  struct MinMax {
    float min = 0.0F;
    float max = 0.0F;
  };
  // A row of the history as the exports write it: the time, and each series' least and greatest value
  // at that time (equal at full resolution, NaN where the series has nothing).
  struct Row {
    double t = 0.0;
    bool perSecond = false;  // a second's minimum and maximum rather than one sample
    std::vector<double> min;
    std::vector<double> max;
  };
  // A mode or sub-state change, marked on the time axis.
  struct Mark {
    double t = 0.0;
    std::string text;
    bool mode = false;  // a change of mode, not of sub-state
  };

  CHistoryStore() = default;
  explicit CHistoryStore(Limits limits) : m_limits(limits) {}

  // Everything dropped, the series too; a new history begins. Series made after it are numbered
  // from 0 again.
  void Clear();

  // The index of the series of that name, made when new (without samples).
  size_t SeriesIndex(const std::string& name);
  // -1 when there is no series of that name.
  [[nodiscard]] int FindSeries(const std::string& name) const;
  [[nodiscard]] size_t SeriesCount() const { return m_series.size(); }
  [[nodiscard]] const std::string& SeriesName(size_t series) const { return m_series[series].name; }

  // One sample at time t (not before the series' newest; an earlier one is dropped, as is NaN).
  void Add(size_t series, double t, double value);
  void AddMark(double t, std::string text, bool mode = false);

  // The newest sample's time of any series; 0 for an empty history.
  [[nodiscard]] double Latest() const { return m_latest; }
  // The newest value of a series; NaN when it has none.
  [[nodiscard]] double LastValue(size_t series) const;
  [[nodiscard]] bool HasSamples(size_t series) const { return !m_series[series].buckets.empty(); }

  // What a plot of [from, to] drawn over `bins` pixels needs: the samples themselves when there are
  // few enough, else each bin's minimum and maximum, in time order.
  void Envelope(size_t series, double from, double to, int bins, std::vector<Point>& out) const;
  // The minimum and maximum of the series over [from, to]; false when it has nothing there.
  bool Range(size_t series, double from, double to, double& min, double& max) const;

  // The rows of [from, to] for the given series: per second where only seconds are kept, every
  // sample's time where samples are (the times of all the given series' samples, merged).
  [[nodiscard]] std::vector<Row> Rows(const std::vector<size_t>& series, double from, double to) const;

  [[nodiscard]] const std::deque<Mark>& Marks() const { return m_marks; }
  [[nodiscard]] const Limits& GetLimits() const { return m_limits; }
  // The bytes the store holds for its samples, seconds and marks (not counting the allocator's own).
  [[nodiscard]] size_t MemoryBytes() const;

 private:
  struct Series {
    std::string name;
    std::deque<Point> raw;         // the newest samples, in time order
    std::deque<MinMax> buckets;    // one per second from firstSecond on
    int64_t firstSecond = 0;
    std::deque<MinMax> minutes;    // the same per minute, for drawing long spans
    int64_t firstMinute = 0;
    double droppedUpTo = -1.0;     // the newest sample dropped from raw; -1 while none was
  };
  // The first second whose samples are all still held in raw; seconds before come from the buckets.
  [[nodiscard]] static double RawFrom(const Series& s);
  [[nodiscard]] static size_t PointsAtMost(const Series& s, double from, double to);
  template <typename Visit>
  void ForEach(const Series& s, double from, double to, const Visit& visit, bool byMinute = false) const;

  Limits m_limits;
  std::vector<Series> m_series;
  std::unordered_map<std::string, size_t> m_index;
  std::deque<Mark> m_marks;
  double m_latest = 0.0;
};
