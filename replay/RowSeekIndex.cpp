#include "replay/RowSeekIndex.h"

#include "replay/RowReader.h"

CRowSeekIndex::~CRowSeekIndex() {
  m_stop = true;
  if (m_thread.joinable()) m_thread.join();
}

void CRowSeekIndex::Build(const std::string& path, const std::string& indexColumn) {
  if (m_thread.joinable()) return;
  m_thread = std::thread(&CRowSeekIndex::Run, this, path, indexColumn);
}

void CRowSeekIndex::Run(std::string path, std::string indexColumn) {
  std::string error;
  std::unique_ptr<CRowReader> reader = OpenRowReader(path, error, indexColumn);
  std::vector<Mark> marks;
  uint64_t rows = 0;
  std::optional<double> last;
  if (reader) {
    ReplayRow row;
    for (;;) {
      const ReplayPosition before = reader->Position();
      if (m_stop || !reader->Next(row)) break;
      ++rows;
      if ((rows - 1) % kRowsPerMark == 0) {
        // The position of a row is where its reader stood before it, with the rows read before.
        marks.push_back({row.index, ReplayPosition{before.offset, before.lineNumber, rows - 1}});
      }
      last = row.index;
    }
  }
  const std::lock_guard lock(m_mutex);
  m_marks = std::move(marks);
  m_rows = rows;
  m_lastIndex = last;
  m_ready = !m_stop;
}

std::optional<CRowSeekIndex::Mark> CRowSeekIndex::BeforeRow(uint64_t row) const {
  if (!m_ready) return std::nullopt;
  const std::lock_guard lock(m_mutex);
  std::optional<Mark> found;
  for (const Mark& mark : m_marks) {
    if (mark.position.rowsBefore + 1 > row) break;
    found = mark;
  }
  return found;
}

std::optional<CRowSeekIndex::Mark> CRowSeekIndex::BeforeIndex(double index, int direction) const {
  if (!m_ready) return std::nullopt;
  const std::lock_guard lock(m_mutex);
  const auto after = [direction](double a, double b) { return direction >= 0 ? a > b : a < b; };
  // The marks move one way: the last one not past the index.
  std::size_t low = 0;
  std::size_t high = m_marks.size();
  while (low < high) {
    const std::size_t mid = (low + high) / 2;
    if (after(m_marks[mid].index, index)) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  if (low == 0) return std::nullopt;
  return m_marks[low - 1];
}

uint64_t CRowSeekIndex::Rows() const {
  const std::lock_guard lock(m_mutex);
  return m_rows;
}

std::optional<double> CRowSeekIndex::LastIndex() const {
  const std::lock_guard lock(m_mutex);
  return m_lastIndex;
}
