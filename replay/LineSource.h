#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "replay/ReplayData.h"

// Reads a file line by line through a fixed buffer, never holding more of it than that buffer: a line
// ends at LF, a CR before it is dropped. A line longer than kMaxLineBytes is not kept: its start comes
// back marked too long and the rest is passed over, so one bad line cannot fill memory.
class CLineSource {
 public:
  static constexpr std::size_t kMaxLineBytes = 64 * 1024;
  static constexpr std::size_t kBufferBytes = 1 << 20;

  CLineSource() = default;
  ~CLineSource();
  CLineSource(const CLineSource&) = delete;
  CLineSource& operator=(const CLineSource&) = delete;

  // False with the system's reason when the file does not open.
  [[nodiscard]] bool Open(const std::string& path, std::string& error);
  // Lines from memory instead of a file (the fuzz targets and the benchmarks).
  void OpenText(std::string_view text);

  // The next line without its line end; false at the end of the file. The view stays valid until the
  // next call. tooLong tells that the line was cut at kMaxLineBytes.
  [[nodiscard]] bool Next(std::string_view& line, bool& tooLong);
  [[nodiscard]] bool Next(std::string_view& line) {
    bool tooLong = false;
    return Next(line, tooLong);
  }

  // The line number of the line Next gave last (from 1) and the offset of the line it gives next.
  [[nodiscard]] uint64_t LineNumber() const { return m_lineNumber; }
  [[nodiscard]] uint64_t NextOffset() const { return m_offset; }
  // Continues at a line start found before, with the line number it had.
  void Seek(uint64_t offset, uint64_t lineNumberBefore);
  [[nodiscard]] uint64_t FileBytes() const { return m_fileBytes; }

 private:
  bool Fill();

  std::FILE* m_file = nullptr;
  std::string m_memory;  // the text of OpenText
  bool m_fromMemory = false;
  std::vector<char> m_buffer;
  std::size_t m_begin = 0;  // unread part of the buffer: [m_begin, m_end)
  std::size_t m_end = 0;
  bool m_eof = false;
  uint64_t m_offset = 0;  // file offset of m_buffer[m_begin]
  uint64_t m_lineNumber = 0;
  uint64_t m_fileBytes = 0;
  std::string m_long;  // the kept start of a line that ran past the buffer's end
};
