#include "replay/RowReader.h"

#include "replay/CsvReader.h"
#include "replay/FieldText.h"
#include "replay/LasReader.h"
#include "support/Numbers.h"
#include "support/Text.h"

bool CRowReader::Next(ReplayRow& row) {
  for (;;) {
    bool bad = false;
    if (!ReadRow(row, bad)) {
      if (bad) continue;
      return false;
    }
    if (m_lastIndex && m_header.indexKind != ReplayIndexKind::Row) {
      const double step = row.index - *m_lastIndex;
      if (m_direction == 0 && step != 0.0) m_direction = step > 0 ? 1 : -1;
      if (step == 0.0 || (step > 0 ? 1 : -1) != m_direction) {
        m_problems.IndexNotIncreasing(At(row.lineNumber, vorn::Sprintf("the index %s %s %s, the row before's; row skipped",
                                                                       vorn::FormatG(row.index).c_str(),
                                                                       step == 0.0 ? "repeats" : "goes back from",
                                                                       vorn::FormatG(*m_lastIndex).c_str())));
        continue;
      }
    }
    row.rowNumber = ++m_rows;
    if (m_header.indexKind == ReplayIndexKind::Row) row.index = static_cast<double>(row.rowNumber);
    m_lastIndex = row.index;
    return true;
  }
}

void CRowReader::Seek(const ReplayPosition& position) {
  m_lines.Seek(position.offset, position.lineNumber);
  m_rows = position.rowsBefore;
  m_lastIndex.reset();
  Restart();
}

std::string CRowReader::At(uint64_t line, std::string_view text) const {
  return vorn::Sprintf("%s: line %llu: %.*s", m_header.fileName.c_str(), static_cast<unsigned long long>(line),
                       static_cast<int>(text.size()), text.data());
}

namespace {

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool LooksLikeLas(std::string_view firstLine) { return !firstLine.empty() && firstLine.front() == '~'; }

// The first line that is neither blank nor a comment, as the choice of reader sees it.
std::string FirstLine(CLineSource& lines) {
  std::string_view line;
  while (lines.Next(line)) {
    const std::string_view trimmed = vorn::replay::Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    return std::string(trimmed);
  }
  return {};
}

// The reader for the file's first line, its lines opened by `open`, its header read.
template <typename Open>
std::unique_ptr<CRowReader> Choose(const std::string& first, const std::string& name, std::string& error, Open open,
                                   const std::string& indexColumn) {
  std::unique_ptr<CRowReader> reader;
  if (LooksLikeLas(first)) {
    reader = std::make_unique<CLasReader>(name);
  } else {
    reader = std::make_unique<CCsvReader>(name, indexColumn);
  }
  if (!open(reader->Lines(), error)) return nullptr;
  if (!reader->ReadHeader(error)) return nullptr;
  return reader;
}

}  // namespace

std::unique_ptr<CRowReader> OpenRowReader(const std::string& path, std::string& error, const std::string& indexColumn) {
  const std::string name = BaseName(path);
  CLineSource probe;
  std::string reason;
  if (!probe.Open(path, reason)) {
    error = vorn::Sprintf("%s: cannot be read: %s", name.c_str(), reason.c_str());
    return nullptr;
  }
  const std::string first = FirstLine(probe);
  return Choose(first, name, error, [&](CLineSource& lines, std::string& why) {
    std::string system;
    if (lines.Open(path, system)) return true;
    why = vorn::Sprintf("%s: cannot be read: %s", name.c_str(), system.c_str());
    return false;
  }, indexColumn);
}

std::unique_ptr<CRowReader> OpenRowText(std::string_view text, const std::string& name, std::string& error,
                                        const std::string& indexColumn) {
  CLineSource probe;
  probe.OpenText(text);
  const std::string first = FirstLine(probe);
  return Choose(first, name, error, [&](CLineSource& lines, std::string&) {
    lines.OpenText(text);
    return true;
  }, indexColumn);
}
