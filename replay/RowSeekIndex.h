#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "replay/ReplayData.h"

// Where every 1024th row of a file of rows starts, built once by reading the file through on a thread
// of its own (a reader of its own on the same file), so that a seek in a big file reads at most 1024
// rows. Until it is ready a seek reads from the start.
class CRowSeekIndex {
 public:
  static constexpr uint64_t kRowsPerMark = 1024;

  struct Mark {
    double index = 0.0;
    ReplayPosition position;  // where the row starts
  };

  CRowSeekIndex() = default;
  ~CRowSeekIndex();
  CRowSeekIndex(const CRowSeekIndex&) = delete;
  CRowSeekIndex& operator=(const CRowSeekIndex&) = delete;

  // Starts building the index of the file; `indexColumn` as the reader was opened with.
  void Build(const std::string& path, const std::string& indexColumn);
  [[nodiscard]] bool Ready() const { return m_ready.load(); }
  // The last mark at or before the row number (from 1), or at or before the index in the file's
  // direction; nothing before the index is ready or when no mark fits.
  [[nodiscard]] std::optional<Mark> BeforeRow(uint64_t row) const;
  [[nodiscard]] std::optional<Mark> BeforeIndex(double index, int direction) const;
  // The number of good rows and the last row's index, once ready.
  [[nodiscard]] uint64_t Rows() const;
  [[nodiscard]] std::optional<double> LastIndex() const;

 private:
  void Run(std::string path, std::string indexColumn);

  mutable std::mutex m_mutex;
  std::vector<Mark> m_marks;
  uint64_t m_rows = 0;
  std::optional<double> m_lastIndex;
  std::atomic<bool> m_ready{false};
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};
