#include "replay/FrameReader.h"

#include <cerrno>
#include <cstring>

#include "replay/FieldText.h"
#include "support/Text.h"

using namespace vorn::replay;

namespace {

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

constexpr std::size_t kReadBytes = 256 * 1024;

}  // namespace

bool CWitsLogReader::IsEntryHeader(std::string_view line, std::optional<double>* seconds, bool* out) {
  std::string_view rest;
  bool isOut = false;
  if (line.starts_with("OUT ")) {
    rest = line.substr(4);
    isOut = true;
  } else if (line.starts_with("IN ")) {
    rest = line.substr(3);
  } else if (line.starts_with("FAULT ")) {
    rest = line.substr(6);
  } else {
    return false;
  }
  // "2026-Dec-10 9:03:07.045", then perhaps a note.
  const std::size_t dateEnd = rest.find(' ');
  if (dateEnd == std::string_view::npos) return false;
  const std::size_t timeEnd = rest.find(' ', dateEnd + 1);
  const std::string_view stamp = rest.substr(0, timeEnd);
  const std::optional<double> moment = ReadDateTime(stamp);
  if (!moment) return false;
  if (seconds != nullptr) *seconds = moment;
  if (out != nullptr) *out = isOut;
  return true;
}

void CWitsLogReader::Rewind() {
  m_lines.Seek(0, 0);
  m_header.reset();
}

bool CWitsLogReader::Next(ReplayFrame& frame) {
  std::string_view line;
  bool tooLong = false;
  for (;;) {
    if (!m_header) {
      // Look for the next entry.
      bool found = false;
      while (m_lines.Next(line, tooLong)) {
        if (!tooLong && IsEntryHeader(line)) {
          m_header = std::string(line);
          m_headerLine = m_lines.LineNumber();
          found = true;
          break;
        }
      }
      if (!found) return false;
    }
    std::optional<double> moment;
    bool out = false;
    (void)IsEntryHeader(*m_header, &moment, &out);
    const uint64_t entryLine = m_headerLine;
    m_header.reset();
    frame.bytes.clear();
    bool tooBig = false;
    while (m_lines.Next(line, tooLong)) {
      if (!tooLong && IsEntryHeader(line)) {
        m_header = std::string(line);
        m_headerLine = m_lines.LineNumber();
        break;
      }
      if (!out || tooBig) continue;
      if (tooLong || frame.bytes.size() + line.size() + 2 > kMaxFrameBytes) {
        tooBig = true;
        continue;
      }
      frame.bytes += line;
      frame.bytes += "\r\n";
    }
    if (!out) continue;
    if (tooBig) {
      m_problems.BadRow(vorn::Sprintf("%s: line %llu: a frame longer than 65536 bytes; skipped", m_fileName.c_str(),
                                      static_cast<unsigned long long>(entryLine)));
      continue;
    }
    // Blank lines the log ends with are no part of the frame.
    while (frame.bytes.ends_with("\r\n\r\n")) frame.bytes.resize(frame.bytes.size() - 2);
    frame.seconds = moment;
    frame.lineNumber = entryLine;
    return true;
  }
}

CWitsCaptureReader::~CWitsCaptureReader() {
  if (m_file != nullptr) std::fclose(m_file);
}

bool CWitsCaptureReader::Open(const std::string& path, std::string& error) {
  m_file = std::fopen(path.c_str(), "rb");
  if (m_file == nullptr) {
    error = m_fileName + ": cannot be read: " + std::strerror(errno);
    return false;
  }
  return true;
}

void CWitsCaptureReader::OpenText(std::string_view text) {
  m_text.assign(text);
  m_fromMemory = true;
}

void CWitsCaptureReader::Rewind() {
  m_buffer.clear();
  m_bufferOffset = 0;
  m_memoryRead = 0;
  m_eof = false;
  m_dayOffset = 0.0;
  m_lastTimeOfDay.reset();
  if (m_file != nullptr) std::fseek(m_file, 0, SEEK_SET);
}

bool CWitsCaptureReader::More() {
  if (m_eof) return false;
  if (m_fromMemory) {
    const std::size_t take = std::min<std::size_t>(kReadBytes, m_text.size() - m_memoryRead);
    m_buffer.append(m_text, m_memoryRead, take);
    m_memoryRead += take;
    if (take == 0) m_eof = true;
    return take > 0;
  }
  if (m_file == nullptr) return false;
  char chunk[16384];
  const std::size_t got = std::fread(chunk, 1, sizeof chunk, m_file);
  if (got == 0) {
    m_eof = true;
    return false;
  }
  m_buffer.append(chunk, got);
  return true;
}

bool CWitsCaptureReader::Next(ReplayFrame& frame) {
  for (;;) {
    const std::size_t start = m_buffer.find("&&");
    if (start == std::string::npos) {
      // Keep a last "&" that may start a frame.
      const std::size_t keep = !m_buffer.empty() && m_buffer.back() == '&' ? 1 : 0;
      m_bufferOffset += m_buffer.size() - keep;
      m_buffer.erase(0, m_buffer.size() - keep);
      if (!More()) return false;
      continue;
    }
    if (start > 0) {
      m_bufferOffset += start;
      m_buffer.erase(0, start);
    }
    const std::size_t end = m_buffer.find("!!", 2);
    const std::size_t nextStart = m_buffer.find("&&", 2);
    if (nextStart != std::string::npos && (end == std::string::npos || nextStart < end)) {
      m_problems.BadRow(vorn::Sprintf("%s: byte %llu: a frame without \"!!\" before the next \"&&\"; skipped",
                                      m_fileName.c_str(), static_cast<unsigned long long>(m_bufferOffset + 1)));
      m_bufferOffset += nextStart;
      m_buffer.erase(0, nextStart);
      continue;
    }
    if (end == std::string::npos || end + 4 > m_buffer.size()) {
      if (m_buffer.size() > kMaxFrameBytes) {
        m_problems.BadRow(vorn::Sprintf("%s: byte %llu: a frame longer than 65536 bytes; skipped", m_fileName.c_str(),
                                        static_cast<unsigned long long>(m_bufferOffset + 1)));
        m_bufferOffset += 2;
        m_buffer.erase(0, 2);
        continue;
      }
      if (More()) continue;
      if (end == std::string::npos) {
        if (m_buffer.size() > 2) {
          m_problems.BadRow(vorn::Sprintf("%s: byte %llu: the capture ends inside a frame", m_fileName.c_str(),
                                          static_cast<unsigned long long>(m_bufferOffset + 1)));
        }
        m_buffer.clear();
        return false;
      }
    }
    // The frame, and the line end after "!!".
    std::size_t stop = end + 2;
    if (stop < m_buffer.size() && m_buffer[stop] == '\r') ++stop;
    if (stop < m_buffer.size() && m_buffer[stop] == '\n') ++stop;
    frame.bytes.assign(m_buffer, 0, stop);
    frame.lineNumber = m_bufferOffset + 1;
    frame.seconds = PaceSeconds(frame.bytes);
    m_bufferOffset += stop;
    m_buffer.erase(0, stop);
    return true;
  }
}

std::optional<double> CWitsCaptureReader::PaceSeconds(std::string_view frame) {
  if (m_paceItem.empty()) return std::nullopt;
  std::size_t at = 0;
  while (at < frame.size()) {
    std::size_t lineEnd = frame.find_first_of("\r\n", at);
    if (lineEnd == std::string_view::npos) lineEnd = frame.size();
    const std::string_view line = frame.substr(at, lineEnd - at);
    at = lineEnd + 1;
    if (!line.starts_with(m_paceItem)) continue;
    const std::string_view value = Trim(line.substr(m_paceItem.size()));
    std::optional<double> timeOfDay;
    if (value.size() == 6 && value.find_first_not_of("0123456789") == std::string_view::npos) {
      const int hhmmss = std::atoi(std::string(value).c_str());
      timeOfDay = (hhmmss / 10000) * 3600.0 + (hhmmss / 100 % 100) * 60.0 + hhmmss % 100;
    } else if (value.find(':') != std::string_view::npos) {
      timeOfDay = ReadTimeOfDay(value);
    } else {
      return ReadNumber(value);
    }
    if (!timeOfDay) return std::nullopt;
    if (m_lastTimeOfDay && *timeOfDay < *m_lastTimeOfDay - 43200.0) m_dayOffset += 86400.0;
    m_lastTimeOfDay = timeOfDay;
    return *timeOfDay + m_dayOffset;
  }
  return std::nullopt;
}

bool LooksLikeFrames(std::string_view start) {
  std::size_t at = 0;
  while (at < start.size()) {
    std::size_t end = start.find('\n', at);
    if (end == std::string_view::npos) end = start.size();
    std::string_view line = start.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    if (Trim(line).empty()) continue;
    if (CWitsLogReader::IsEntryHeader(line)) return true;
    break;
  }
  // A capture: a frame start and end near the start, in no LAS file.
  const std::size_t open = start.find("&&");
  return open != std::string_view::npos && start.find("!!", open) != std::string_view::npos &&
         !Trim(start.substr(0, start.find('\n'))).starts_with("~");
}

std::unique_ptr<CFrameReader> OpenFrameReader(const std::string& path, std::string& error, const std::string& paceItem) {
  const std::string name = BaseName(path);
  CLineSource probe;
  std::string reason;
  if (!probe.Open(path, reason)) {
    error = name + ": cannot be read: " + reason;
    return nullptr;
  }
  std::string_view line;
  bool log = false;
  while (probe.Next(line)) {
    if (Trim(line).empty()) continue;
    log = CWitsLogReader::IsEntryHeader(line);
    break;
  }
  if (log) {
    auto reader = std::make_unique<CWitsLogReader>(name);
    if (!reader->Lines().Open(path, reason)) {
      error = name + ": cannot be read: " + reason;
      return nullptr;
    }
    return reader;
  }
  auto capture = std::make_unique<CWitsCaptureReader>(name, paceItem);
  if (!capture->Open(path, error)) return nullptr;
  return capture;
}
