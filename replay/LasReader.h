#pragma once

#include <string>

#include "replay/FieldText.h"
#include "replay/RowReader.h"

// LAS 2.0 and LAS 3.0 files with one data section: the version, well, curve and parameter sections
// (and LAS 3.0's log definition and log parameter sections), then the data, wrapped or not, depth- or
// time-indexed, the index a number or a date-time text, blank-, comma- or tab-delimited (LAS 3.0).
class CLasReader : public CRowReader {
 public:
  // A header longer than this is no LAS header.
  static constexpr uint64_t kMaxHeaderLines = 100'000;
  static constexpr std::size_t kMaxCurves = 10'000;

  explicit CLasReader(std::string fileName) : CRowReader(std::move(fileName)) {}
  [[nodiscard]] bool ReadHeader(std::string& error) override;

 protected:
  bool ReadRow(ReplayRow& row, bool& bad) override;
  void Restart() override { m_dataEnded = false; }

 private:
  enum class Section { None, Version, Well, Curve, Parameter, Other, Data };
  bool HeaderLine(Section section, std::string_view line, std::string& error);
  bool FinishHeader(std::string& error);
  // The index field (or two, a date and a time of day) as seconds or depth; false when it is not one.
  bool ReadIndex(std::size_t& used, double& index);
  // A value field: NaN for the NULL value.
  bool ReadValue(std::string_view field, double& value) const;
  bool UnwrappedRow(ReplayRow& row, bool& bad);
  bool WrappedRow(ReplayRow& row, bool& bad);

  char m_delimiter = ' ';
  double m_null = -999.25;
  bool m_sawVersion = false;
  bool m_sawCurves = false;
  bool m_sawData = false;
  bool m_dataEnded = false;  // a second data section, or any section after the data, ends it
  double m_timeUnitSeconds = 1.0;
  bool m_kindSettled = false;  // the first row has told a depth from a date-time index
  vorn::replay::DateOrder m_dateOrder = vorn::replay::DateOrder::DayFirst;
};
