#pragma once

#include <optional>
#include <string>

#include "replay/FieldText.h"
#include "replay/RowReader.h"

// CSV files with a header line of column names: this program's run files ("TIME" and the items'
// mnemonics, the time as month/day/year) and other exports, comma-, semicolon- or tab-separated, whose
// index column is named or found (a time column before a depth column), with an optional line of units
// under the header or units in the names ("DEPTH (m)", "HKLD[klb]"). Without an index column the
// rows play one by one. Empty and non-numeric cells are absent values, as is the run files' -999.25.
class CCsvReader : public CRowReader {
 public:
  CCsvReader(std::string fileName, std::string indexColumn)
      : CRowReader(std::move(fileName)), m_indexName(std::move(indexColumn)) {}
  [[nodiscard]] bool ReadHeader(std::string& error) override;

 protected:
  bool ReadRow(ReplayRow& row, bool& bad) override;
  void Restart() override { m_pendingRow.reset(); }

 private:
  bool ChooseIndex(std::string& error);
  bool ReadIndex(std::string_view field, std::size_t dateColumn, double& index);
  bool ParseRow(std::string_view line, uint64_t number, ReplayRow& row, bool& bad);

  std::string m_indexName;
  char m_delimiter = ',';
  std::vector<std::string> m_names;  // every column, as the header names it
  std::optional<std::size_t> m_indexColumn;
  std::optional<std::size_t> m_dateColumn;  // a date beside a time-of-day index
  std::vector<std::size_t> m_curveColumns;  // column of each curve
  double m_timeUnitSeconds = 1.0;
  std::optional<vorn::replay::DateOrder> m_dateOrder;
  bool m_orderSettled = false;
  std::optional<std::string> m_pendingRow;  // the first data line, read while looking for a units line
  uint64_t m_pendingLine = 0;
};
