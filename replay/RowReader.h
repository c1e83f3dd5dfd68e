#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "replay/LineSource.h"
#include "replay/ReplayData.h"

// A reader of a file of rows (LAS, CSV): the header once, then the good rows one at a time. Bad rows
// are skipped and counted; a row whose index does not move on in the file's direction is reported
// and skipped, so that the rows handed out always move one way.
class CRowReader {
 public:
  virtual ~CRowReader() = default;
  CRowReader(const CRowReader&) = delete;
  CRowReader& operator=(const CRowReader&) = delete;

  [[nodiscard]] const ReplayHeader& Header() const { return m_header; }
  [[nodiscard]] const ReplayProblems& Problems() const { return m_problems; }
  // The next good row; false at the end of the data (or of the file).
  [[nodiscard]] bool Next(ReplayRow& row);
  // Where the next row starts, and going back there.
  [[nodiscard]] ReplayPosition Position() const { return {m_lines.NextOffset(), m_lines.LineNumber(), m_rows}; }
  void Seek(const ReplayPosition& position);
  // Where the first data row starts.
  [[nodiscard]] ReplayPosition DataStart() const { return m_dataStart; }
  [[nodiscard]] uint64_t FileBytes() const { return m_lines.FileBytes(); }
  // +1 when the index grows down the file, -1 when it falls (a log recorded upwards), 0 not yet known.
  [[nodiscard]] int Direction() const { return m_direction; }

  // The lines the reader reads, opened by whoever opens the reader; then the header, read once.
  [[nodiscard]] CLineSource& Lines() { return m_lines; }
  [[nodiscard]] virtual bool ReadHeader(std::string& error) = 0;

 protected:
  explicit CRowReader(std::string fileName) { m_header.fileName = std::move(fileName); }
  // One row from the data lines, or false at the end; a bad row is reported through m_problems and
  // false comes back with `bad` set.
  virtual bool ReadRow(ReplayRow& row, bool& bad) = 0;
  // Called after a seek: a reader that carries state between lines drops it.
  virtual void Restart() {}

  // "<file>: line <n>: <text>"
  [[nodiscard]] std::string At(uint64_t line, std::string_view text) const;

  CLineSource m_lines;
  ReplayHeader m_header;
  ReplayProblems m_problems;
  std::vector<std::string_view> m_fields;  // reused by every line
  ReplayPosition m_dataStart;              // set by ReadHeader

 private:
  std::optional<double> m_lastIndex;
  int m_direction = 0;
  uint64_t m_rows = 0;
};

// Opens a LAS or CSV file, by its content: a file whose first non-blank line starts with "~" is LAS.
// Empty with the reason in `error` (file name and line) when it cannot be read. `indexColumn` names
// a generic CSV file's index column; empty: found by its name.
[[nodiscard]] std::unique_ptr<CRowReader> OpenRowReader(const std::string& path, std::string& error,
                                                        const std::string& indexColumn = {});
// The same over text in memory (the fuzz targets and the benchmarks); `name` stands for the file name.
[[nodiscard]] std::unique_ptr<CRowReader> OpenRowText(std::string_view text, const std::string& name,
                                                      std::string& error, const std::string& indexColumn = {});
