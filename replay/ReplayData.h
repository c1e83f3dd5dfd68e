#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

// What a recorded well's file holds, as the readers hand it to the player.

enum class ReplayFormat { Las2, Las3, RunCsv, GenericCsv, WitsLog, WitsCapture };

// What the rows are indexed by. Time indices are seconds: since 2000-01-01 for a date-time text, from
// the file's own origin for a plain number. A file without an index column plays row by row.
enum class ReplayIndexKind { Depth, Time, Row };

inline constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

struct ReplayCurve {
  std::string mnemonic;
  std::string unit;         // as the file states it; empty when it states none
  std::string description;
};

struct ReplayHeader {
  std::string fileName;
  ReplayFormat format = ReplayFormat::Las2;
  ReplayIndexKind indexKind = ReplayIndexKind::Row;
  ReplayCurve index;                 // the index curve; its mnemonic is empty for row-indexed files
  std::vector<ReplayCurve> curves;   // the data curves, in file order, without the index
  std::map<std::string, std::string> wellInfo;  // the well section's (and version section's) values
  std::optional<double> start;       // the file's stated first and last index and step
  std::optional<double> stop;
  std::optional<double> step;
  bool wrapped = false;
};

// One data row: the index and one value per curve, NaN where the row has none (the file's NULL).
struct ReplayRow {
  double index = 0.0;
  std::vector<double> values;
  uint64_t lineNumber = 0;  // the row's first line in the file, from 1
  uint64_t rowNumber = 0;   // the row's number among the good rows, from 1
};

// Where a reader stands, so that it can come back there: the byte offset of the next line, its line
// number and the number of good rows read before it.
struct ReplayPosition {
  uint64_t offset = 0;
  uint64_t lineNumber = 0;
  uint64_t rowsBefore = 0;
  bool operator==(const ReplayPosition&) const = default;
};

// One whole frame of a WITS log or capture: its bytes as they go on the wire and its moment in
// seconds (on the file's own scale), absent when the file gives none.
struct ReplayFrame {
  std::string bytes;
  std::optional<double> seconds;
  uint64_t lineNumber = 0;  // where it starts (a byte offset, from 1, for a capture)
};

// What went wrong while reading: a fatal problem stops the file; bad rows are skipped, counted, and
// the first of each kind is kept with its line so that it can be said once.
struct ReplayProblems {
  std::string fatal;
  uint64_t badRows = 0;
  std::string firstBadRow;
  uint64_t indexNotIncreasing = 0;
  std::string firstIndexNotIncreasing;

  void BadRow(std::string message) {
    if (badRows++ == 0) firstBadRow = std::move(message);
  }
  void IndexNotIncreasing(std::string message) {
    if (indexNotIncreasing++ == 0) firstIndexNotIncreasing = std::move(message);
  }
};

[[nodiscard]] inline bool HasValue(double value) { return !std::isnan(value); }

[[nodiscard]] const char* ReplayFormatName(ReplayFormat format);
[[nodiscard]] const char* ReplayIndexKindName(ReplayIndexKind kind);
