#include "history/HistoryStore.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <map>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool Empty(const CHistoryStore::MinMax& bucket) { return std::isnan(bucket.min); }

// Takes `value` into the bucket of `index` (a second or a minute), the last one: the buckets from
// `first` on grow to it, those that got no sample left empty.
void Widen(std::deque<CHistoryStore::MinMax>& buckets, int64_t& first, int64_t index, float value) {
  if (buckets.empty()) first = index;
  while (first + static_cast<int64_t>(buckets.size()) <= index) {
    buckets.push_back({std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()});
  }
  CHistoryStore::MinMax& bucket = buckets.back();
  if (Empty(bucket)) {
    bucket = {value, value};
  } else {
    bucket.min = std::min(bucket.min, value);
    bucket.max = std::max(bucket.max, value);
  }
}

}  // namespace

void CHistoryStore::Clear() {
  // Forgotten, not only emptied: the names a run met must not pile up over many runs.
  m_series.clear();
  m_series.shrink_to_fit();
  m_index.clear();
  m_marks.clear();
  m_latest = 0.0;
}

size_t CHistoryStore::SeriesIndex(const std::string& name) {
  const int found = FindSeries(name);
  if (found >= 0) return static_cast<size_t>(found);
  m_series.push_back(Series{name, {}, {}, 0, {}, 0, -1.0});
  m_index.emplace(name, m_series.size() - 1);
  return m_series.size() - 1;
}

int CHistoryStore::FindSeries(const std::string& name) const {
  const auto found = m_index.find(name);
  return found == m_index.end() ? -1 : static_cast<int>(found->second);
}

void CHistoryStore::Add(size_t series, double t, double value) {
  if (series >= m_series.size() || std::isnan(value) || std::isnan(t) || t < 0.0) return;
  Series& s = m_series[series];
  if (!s.raw.empty() && t < s.raw.back().t) return;
  s.raw.push_back({t, value});
  while (s.raw.front().t < t - m_limits.rawSeconds) {
    s.droppedUpTo = s.raw.front().t;
    s.raw.pop_front();
  }

  const auto second = static_cast<int64_t>(std::floor(t));
  const auto v = static_cast<float>(value);
  Widen(s.buckets, s.firstSecond, second, v);
  while (static_cast<int64_t>(s.buckets.size()) > m_limits.bucketSeconds) {
    s.buckets.pop_front();
    ++s.firstSecond;
  }
  // The same per minute, for drawing long spans: a minute is dropped once its first second is.
  const int64_t minute = second / 60;
  Widen(s.minutes, s.firstMinute, minute, v);
  while (!s.minutes.empty() && s.firstMinute * 60 < s.firstSecond) {
    s.minutes.pop_front();
    ++s.firstMinute;
  }
  m_latest = std::max(m_latest, t);
}

void CHistoryStore::AddMark(double t, std::string text, bool mode) {
  m_marks.push_back({t, std::move(text), mode});
  while (m_marks.size() > m_limits.maxMarks) m_marks.pop_front();
  const double oldest = m_latest - static_cast<double>(m_limits.bucketSeconds);
  while (!m_marks.empty() && m_marks.front().t < oldest) m_marks.pop_front();
}

double CHistoryStore::LastValue(size_t series) const {
  if (series >= m_series.size() || m_series[series].raw.empty()) return kNaN;
  return m_series[series].raw.back().value;
}

double CHistoryStore::RawFrom(const Series& s) {
  // Every sample is still there until one is dropped. After that, the second of the newest dropped
  // sample comes from its bucket, and raw samples from the next whole second on.
  if (s.droppedUpTo < 0.0) return -std::numeric_limits<double>::infinity();
  return std::floor(s.droppedUpTo) + 1.0;
}

// Calls visit(t, min, max, perSecond) in time order for what the series holds in [from, to]: each
// second's bucket before the raw samples begin (with byMinute, each whole minute's where it can),
// then the raw samples.
template <typename Visit>
void CHistoryStore::ForEach(const Series& s, double from, double to, const Visit& visit, bool byMinute) const {
  if (s.buckets.empty() || to < from) return;
  const double rawFrom = RawFrom(s);
  const int64_t lastSecond = s.firstSecond + static_cast<int64_t>(s.buckets.size()) - 1;
  int64_t second = std::max(s.firstSecond, static_cast<int64_t>(std::floor(from)));
  // Seconds before rawFrom (a whole number, or minus infinity while every sample is kept).
  const double bucketsUpTo = std::min(to, rawFrom - 1.0);
  const int64_t bucketsEnd =
      bucketsUpTo < static_cast<double>(second) ? second - 1
                                                : std::min(lastSecond, static_cast<int64_t>(std::floor(bucketsUpTo)));
  for (; second <= bucketsEnd; ++second) {
    const int64_t minute = second / 60;
    if (byMinute && second % 60 == 0 && second + 59 <= bucketsEnd && minute >= s.firstMinute &&
        minute < s.firstMinute + static_cast<int64_t>(s.minutes.size())) {
      const MinMax& whole = s.minutes[static_cast<size_t>(minute - s.firstMinute)];
      if (!Empty(whole)) visit(static_cast<double>(second), double{whole.min}, double{whole.max}, true);
      second += 59;
      continue;
    }
    const MinMax& bucket = s.buckets[static_cast<size_t>(second - s.firstSecond)];
    if (!Empty(bucket)) visit(static_cast<double>(second), double{bucket.min}, double{bucket.max}, true);
  }
  const double rawStart = std::max(from, rawFrom);
  auto it = std::lower_bound(s.raw.begin(), s.raw.end(), rawStart,
                             [](const Point& p, double t) { return p.t < t; });
  for (; it != s.raw.end() && it->t <= to; ++it) visit(it->t, it->value, it->value, false);
}

// Two points for each second held as a bucket in [from, to], one for each raw sample: without
// visiting them (empty seconds count too).
size_t CHistoryStore::PointsAtMost(const Series& s, double from, double to) {
  if (s.buckets.empty() || to < from) return 0;
  const double rawFrom = RawFrom(s);
  size_t count = 0;
  const double firstBucket = std::max(static_cast<double>(s.firstSecond), std::floor(from));
  const double lastBucket = std::min({static_cast<double>(s.firstSecond) + static_cast<double>(s.buckets.size()) - 1.0,
                                      std::floor(to), rawFrom - 1.0});
  if (lastBucket >= firstBucket) count += 2 * static_cast<size_t>(lastBucket - firstBucket + 1.0);
  const auto byTime = [](const Point& p, double t) { return p.t < t; };
  const auto begin = std::lower_bound(s.raw.begin(), s.raw.end(), std::max(from, rawFrom), byTime);
  const auto end = std::upper_bound(s.raw.begin(), s.raw.end(), to, [](double t, const Point& p) { return t < p.t; });
  if (end > begin) count += static_cast<size_t>(end - begin);
  return count;
}

void CHistoryStore::Envelope(size_t series, double from, double to, int bins, std::vector<Point>& out) const {
  out.clear();
  if (series >= m_series.size() || bins <= 0 || !(to > from)) return;
  const Series& s = m_series[series];
  // Few enough samples are drawn as they are.
  if (PointsAtMost(s, from, to) <= 2 * static_cast<size_t>(bins)) {
    ForEach(s, from, to, [&](double t, double min, double max, bool perSecond) {
      if (perSecond) {
        out.push_back({t + 0.25, min});
        out.push_back({t + 0.75, max});
      } else {
        out.push_back({t, min});
      }
    });
    return;
  }
  const double width = (to - from) / bins;
  int current = -1;
  double lo = 0.0;
  double hi = 0.0;
  Point newest{};
  // A bin's minimum and maximum at a quarter and three quarters of it; the last bin ends at the
  // newest sample, which the curve ends with.
  const auto flush = [&](bool last) {
    if (current < 0) return;
    const double start = from + width * current;
    const double end = last ? std::max(start, newest.t) : start + width;
    out.push_back({start + (end - start) * 0.25, lo});
    out.push_back({start + (end - start) * 0.75, hi});
    if (last && out.back().t < newest.t) out.push_back(newest);
  };
  // Bins of two minutes or more take whole minutes where they can.
  const bool byMinute = width >= 120.0;
  ForEach(s, from, to, [&](double t, double min, double max, bool) {
    newest = {t, max};
    const int bin = std::clamp(static_cast<int>((t - from) / width), 0, bins - 1);
    if (bin != current) {
      flush(false);
      current = bin;
      lo = min;
      hi = max;
    } else {
      lo = std::min(lo, min);
      hi = std::max(hi, max);
    }
  }, byMinute);
  flush(true);
}

bool CHistoryStore::Range(size_t series, double from, double to, double& min, double& max) const {
  if (series >= m_series.size()) return false;
  bool any = false;
  ForEach(m_series[series], from, to, [&](double, double lo, double hi, bool) {
    min = any ? std::min(min, lo) : lo;
    max = any ? std::max(max, hi) : hi;
    any = true;
  });
  return any;
}

std::vector<CHistoryStore::Row> CHistoryStore::Rows(const std::vector<size_t>& series, double from,
                                                    double to) const {
  // Rows keyed by time; a per-second row and a sample row never share a key, as a series' seconds
  // end where its samples begin and every series' samples are stamped by the same ticks.
  std::map<std::pair<double, bool>, Row> rows;
  for (size_t column = 0; column < series.size(); ++column) {
    if (series[column] >= m_series.size()) continue;
    ForEach(m_series[series[column]], from, to, [&](double t, double min, double max, bool perSecond) {
      Row& row = rows[{t, !perSecond}];
      if (row.min.empty()) {
        row.t = t;
        row.perSecond = perSecond;
        row.min.assign(series.size(), kNaN);
        row.max.assign(series.size(), kNaN);
      }
      row.min[column] = min;
      row.max[column] = max;
    });
  }
  std::vector<Row> result;
  result.reserve(rows.size());
  for (auto& [key, row] : rows) result.push_back(std::move(row));
  return result;
}

size_t CHistoryStore::MemoryBytes() const {
  size_t bytes = sizeof(*this) + m_series.capacity() * sizeof(Series);
  for (const Series& s : m_series) {
    bytes += s.raw.size() * sizeof(Point) + s.buckets.size() * sizeof(MinMax) + s.name.capacity();
  }
  for (const Mark& mark : m_marks) bytes += sizeof(Mark) + mark.text.capacity();
  return bytes;
}
