#include "replay/LineSource.h"

#include <cerrno>
#include <cstring>

CLineSource::~CLineSource() {
  if (m_file != nullptr) std::fclose(m_file);
}

bool CLineSource::Open(const std::string& path, std::string& error) {
  m_file = std::fopen(path.c_str(), "rb");
  if (m_file == nullptr) {
    error = std::strerror(errno);
    return false;
  }
  if (std::fseek(m_file, 0, SEEK_END) == 0) {
    const long size = std::ftell(m_file);
    m_fileBytes = size > 0 ? static_cast<uint64_t>(size) : 0;
  }
  std::fseek(m_file, 0, SEEK_SET);
  m_buffer.resize(kBufferBytes);
  return true;
}

void CLineSource::OpenText(std::string_view text) {
  m_memory.assign(text);
  m_fromMemory = true;
  m_fileBytes = m_memory.size();
  Seek(0, 0);
}

void CLineSource::Seek(uint64_t offset, uint64_t lineNumberBefore) {
  m_offset = offset;
  m_lineNumber = lineNumberBefore;
  m_begin = m_end = 0;
  m_long.clear();
  if (m_fromMemory) {
    m_eof = true;  // the whole text stands in for the buffer
    return;
  }
  m_eof = false;
  if (m_file != nullptr) std::fseek(m_file, static_cast<long>(offset), SEEK_SET);
}

bool CLineSource::Fill() {
  if (m_eof || m_file == nullptr) return false;
  // Keep the unread tail at the front and read behind it.
  if (m_begin > 0) {
    std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
    m_end -= m_begin;
    m_begin = 0;
  }
  if (m_end == m_buffer.size()) return false;
  const std::size_t got = std::fread(m_buffer.data() + m_end, 1, m_buffer.size() - m_end, m_file);
  if (got == 0) {
    m_eof = true;
    return false;
  }
  m_end += got;
  return true;
}

bool CLineSource::Next(std::string_view& line, bool& tooLong) {
  tooLong = false;
  const char* data = m_fromMemory ? m_memory.data() : m_buffer.data();
  if (m_fromMemory) {
    m_begin = static_cast<std::size_t>(m_offset);
    m_end = m_memory.size();
  }
  bool passingOver = false;  // inside a line already found too long
  std::size_t kept = 0;
  for (;;) {
    const std::size_t available = m_end - m_begin;
    const void* lf = std::memchr(data + m_begin, '\n', available);
    if (lf != nullptr) {
      const std::size_t length = static_cast<std::size_t>(static_cast<const char*>(lf) - (data + m_begin));
      std::string_view piece(data + m_begin, length);
      m_begin += length + 1;
      m_offset += length + 1;
      ++m_lineNumber;
      if (passingOver) {
        tooLong = true;
        line = std::string_view(m_long).substr(0, kept);
        return true;
      }
      if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
      if (piece.size() > kMaxLineBytes) {
        tooLong = true;
        piece = piece.substr(0, kMaxLineBytes);
      }
      line = piece;
      return true;
    }
    if (!passingOver && available > kMaxLineBytes) {
      // No line end within the bound: keep the start, pass over the rest.
      m_long.assign(data + m_begin, kMaxLineBytes);
      kept = kMaxLineBytes;
      passingOver = true;
    }
    if (passingOver) {
      m_offset += available;
      m_begin = m_end;
    }
    if (m_fromMemory || !Fill()) {
      // The last line has no line end.
      const std::size_t rest = m_end - m_begin;
      if (rest == 0 && !passingOver) return false;
      ++m_lineNumber;
      if (passingOver) {
        tooLong = true;
        line = std::string_view(m_long).substr(0, kept);
      } else {
        std::string_view piece(data + m_begin, rest);
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        line = piece;
      }
      m_begin = m_end;
      m_offset += rest;
      if (m_fromMemory) m_offset = m_memory.size();
      return true;
    }
    data = m_buffer.data();
  }
}
