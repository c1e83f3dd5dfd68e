#include "history/HistoryCsv.h"

#include <charconv>
#include <cmath>

#include "support/Text.h"
#include "support/Time.h"

namespace {

// Shortest text that reads back as the same value; a second's min and max were kept as floats.
void AppendNumber(std::string& out, double value, bool asFloat) {
  if (std::isnan(value)) return;
  char buffer[64];
  const auto result = asFloat ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value))
                              : std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

}  // namespace

std::vector<size_t> AllSeries(const CHistoryStore& store) {
  std::vector<size_t> all(store.SeriesCount());
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  return all;
}

std::string HistoryCsv(const CHistoryStore& store, const std::vector<size_t>& series, double from, double to,
                       double startWallSeconds) {
  std::string out = "Time,Elapsed";
  for (const size_t s : series) {
    const std::string& name = store.SeriesName(s);
    // Appended, not "text" + std::string: g++ 12 at -O3 takes that for an overlapping copy (-Wrestrict).
    out.append(",").append(vorn::CsvField(name + " min")).append(",").append(vorn::CsvField(name + " max"));
  }
  out += "\r\n";
  for (const CHistoryStore::Row& row : store.Rows(series, from, to)) {
    out += vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(startWallSeconds + row.t), " ");
    out += ',';
    AppendNumber(out, std::round(row.t * 1000.0) / 1000.0, false);
    for (size_t column = 0; column < series.size(); ++column) {
      out += ',';
      AppendNumber(out, row.min[column], row.perSecond);
      out += ',';
      AppendNumber(out, row.max[column], row.perSecond);
    }
    out += "\r\n";
  }
  return out;
}
