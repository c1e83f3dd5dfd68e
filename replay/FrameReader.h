#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "replay/LineSource.h"
#include "replay/ReplayData.h"

// A reader of whole WITS frames: the OUT entries of this program's WITS logs, or the "&&" ... "!!"
// frames of a raw capture. Frames come in file order; a frame that cannot be whole (too long, cut
// off) is skipped and counted.
class CFrameReader {
 public:
  // A frame longer than this is no frame.
  static constexpr std::size_t kMaxFrameBytes = 64 * 1024;

  virtual ~CFrameReader() = default;
  CFrameReader(const CFrameReader&) = delete;
  CFrameReader& operator=(const CFrameReader&) = delete;

  [[nodiscard]] const std::string& FileName() const { return m_fileName; }
  [[nodiscard]] const ReplayProblems& Problems() const { return m_problems; }
  [[nodiscard]] virtual ReplayFormat Format() const = 0;
  // The next whole frame; false at the end of the file.
  [[nodiscard]] virtual bool Next(ReplayFrame& frame) = 0;
  // Back to the first frame.
  virtual void Rewind() = 0;

 protected:
  explicit CFrameReader(std::string fileName) : m_fileName(std::move(fileName)) {}
  std::string m_fileName;
  ReplayProblems m_problems;
};

// This program's WITS log: each "OUT <time>" entry's frame, its CR LF line ends given back (the log
// keeps LF alone), at the entry's moment. IN and FAULT entries are passed over.
class CWitsLogReader : public CFrameReader {
 public:
  explicit CWitsLogReader(std::string fileName) : CFrameReader(std::move(fileName)) {}
  [[nodiscard]] CLineSource& Lines() { return m_lines; }
  [[nodiscard]] ReplayFormat Format() const override { return ReplayFormat::WitsLog; }
  [[nodiscard]] bool Next(ReplayFrame& frame) override;
  void Rewind() override;
  // Whether a line opens a log entry: "OUT ", "IN " or "FAULT " and a time stamp.
  [[nodiscard]] static bool IsEntryHeader(std::string_view line, std::optional<double>* seconds = nullptr,
                                          bool* out = nullptr);

 private:
  CLineSource m_lines;
  std::optional<std::string> m_header;  // the entry header read ahead
  uint64_t m_headerLine = 0;
};

// A raw capture: bytes as a receiver recorded them, frames from "&&" to "!!" and the line end after
// it, sent as they are. Bytes between frames are passed over. The moment of a frame is the value of
// its pace item (a time of day as HHMMSS or H:MM:SS, or seconds), when one is named; a time of day
// that falls back by more than half a day has passed midnight.
class CWitsCaptureReader : public CFrameReader {
 public:
  CWitsCaptureReader(std::string fileName, std::string paceItem)
      : CFrameReader(std::move(fileName)), m_paceItem(std::move(paceItem)) {}
  ~CWitsCaptureReader() override;
  [[nodiscard]] bool Open(const std::string& path, std::string& error);
  void OpenText(std::string_view text);
  [[nodiscard]] ReplayFormat Format() const override { return ReplayFormat::WitsCapture; }
  [[nodiscard]] bool Next(ReplayFrame& frame) override;
  void Rewind() override;

 private:
  bool More();
  [[nodiscard]] std::optional<double> PaceSeconds(std::string_view frame);

  std::string m_paceItem;
  std::FILE* m_file = nullptr;
  std::string m_text;       // a capture given in memory
  bool m_fromMemory = false;
  std::string m_buffer;     // bytes read and not yet taken
  uint64_t m_bufferOffset = 0;  // file offset of m_buffer[0]
  uint64_t m_memoryRead = 0;
  bool m_eof = false;
  double m_dayOffset = 0.0;
  std::optional<double> m_lastTimeOfDay;
};

// Opens a WITS log or a capture by its content: a file whose first line is a log entry header is a
// log. Empty with the reason (file name and line) when it cannot be read or holds no frame start.
[[nodiscard]] std::unique_ptr<CFrameReader> OpenFrameReader(const std::string& path, std::string& error,
                                                            const std::string& paceItem = {});
// Whether a file looks like WITS frames rather than rows: a log entry header first, or "&&" and "!!"
// near its start.
[[nodiscard]] bool LooksLikeFrames(std::string_view start);
