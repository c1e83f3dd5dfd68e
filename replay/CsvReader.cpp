#include "replay/CsvReader.h"

#include <algorithm>
#include <array>

#include "support/Numbers.h"
#include "support/Text.h"

using namespace vorn::replay;

namespace {

constexpr std::array<const char*, 8> kTimeNames = {"TIME", "DATETIME", "DATE_TIME", "TIMESTAMP",
                                                    "DATE TIME", "ETIM", "ELAPSED", "RTIME"};
constexpr std::array<const char*, 6> kDepthNames = {"DEPTH", "DEPT", "MD", "BITDEPTH", "DBTM", "HOLE_DEPTH"};
constexpr std::size_t kMaxColumns = 10'000;

// "DEPTH (m)", "HKLD[klb]", "SPP {psi}": the name and the unit.
std::pair<std::string, std::string> NameAndUnit(std::string_view field) {
  field = Trim(field);
  for (const auto& [open, close] : std::array<std::pair<char, char>, 3>{{{'(', ')'}, {'[', ']'}, {'{', '}'}}}) {
    const std::size_t at = field.find(open);
    if (at != std::string_view::npos && at > 0 && field.back() == close) {
      return {std::string(Trim(field.substr(0, at))), std::string(Trim(field.substr(at + 1, field.size() - at - 2)))};
    }
  }
  return {std::string(field), {}};
}

char FindDelimiter(std::string_view header) {
  std::size_t best = 0;
  char delimiter = ',';
  for (const char candidate : {',', ';', '\t'}) {
    const auto count = static_cast<std::size_t>(std::count(header.begin(), header.end(), candidate));
    if (count > best) {
      best = count;
      delimiter = candidate;
    }
  }
  return delimiter;
}

bool IsAbsent(std::string_view field) { return field.empty() || field == "-999.25"; }

}  // namespace

bool CCsvReader::ReadHeader(std::string& error) {
  std::string_view line;
  bool tooLong = false;
  while (m_lines.Next(line, tooLong)) {
    if (tooLong) {
      error = At(m_lines.LineNumber(), "a header line longer than 65536 bytes");
      return false;
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    // A byte order mark before the first name is no part of it.
    std::string_view header = trimmed;
    if (header.starts_with("\xEF\xBB\xBF")) header.remove_prefix(3);
    m_delimiter = FindDelimiter(header);
    SplitFields(header, m_delimiter, m_fields);
    if (m_fields.size() > kMaxColumns) {
      error = At(m_lines.LineNumber(), "more than 10000 columns");
      return false;
    }
    std::vector<std::string> units;
    for (const std::string_view field : m_fields) {
      auto [name, unit] = NameAndUnit(field);
      m_names.push_back(std::move(name));
      units.push_back(std::move(unit));
    }
    if (!ChooseIndex(error)) return false;
    for (std::size_t c = 0; c < m_names.size(); ++c) {
      if (c == m_indexColumn || c == m_dateColumn) continue;
      m_curveColumns.push_back(c);
      m_header.curves.push_back({m_names[c], units[c], {}});
    }
    if (m_indexColumn) m_header.index = {m_names[*m_indexColumn], units[*m_indexColumn], {}};
    if (const auto perUnit = SecondsPerTimeUnit(m_header.index.unit)) m_timeUnitSeconds = *perUnit;
    m_header.format = m_indexColumn == 0 && m_names[0] == "TIME" && m_delimiter == ',' ? ReplayFormat::RunCsv
                                                                                        : ReplayFormat::GenericCsv;
    if (m_header.format == ReplayFormat::RunCsv) m_dateOrder = DateOrder::MonthFirst;
    // A line of units under the names: its index cell reads as neither a number nor a time.
    m_dataStart = Position();
    while (m_lines.Next(line, tooLong)) {
      const std::string_view next = Trim(line);
      if (!tooLong && (next.empty() || next.front() == '#')) {
        m_dataStart = Position();
        continue;
      }
      SplitFields(TrimFor(line, m_delimiter), m_delimiter, m_fields);
      const std::size_t probe = m_indexColumn.value_or(0);
      const bool unitsLine = !tooLong && m_fields.size() == m_names.size() && probe < m_fields.size() &&
                             !ReadNumber(m_fields[probe]) && !ReadDateTime(m_fields[probe]) &&
                             !ReadTimeOfDay(m_fields[probe]);
      if (unitsLine) {
        for (std::size_t i = 0; i < m_curveColumns.size(); ++i) {
          m_header.curves[i].unit = std::string(Trim(m_fields[m_curveColumns[i]]));
        }
        if (m_indexColumn) m_header.index.unit = std::string(Trim(m_fields[*m_indexColumn]));
        if (const auto perUnit = SecondsPerTimeUnit(m_header.index.unit)) m_timeUnitSeconds = *perUnit;
        m_dataStart = Position();
      } else {
        m_pendingRow = tooLong ? std::string() : std::string(line);
        m_pendingLine = m_lines.LineNumber();
        if (tooLong) m_pendingLine |= uint64_t{1} << 63;  // marks the line as too long
      }
      break;
    }
    return true;
  }
  error = m_header.fileName + ": no header line (an empty file)";
  return false;
}

bool CCsvReader::ChooseIndex(std::string& error) {
  const auto find = [this](std::string_view name) -> std::optional<std::size_t> {
    for (std::size_t c = 0; c < m_names.size(); ++c) {
      if (EqualsNoCase(m_names[c], name)) return c;
    }
    return std::nullopt;
  };
  if (!m_indexName.empty()) {
    m_indexColumn = find(m_indexName);
    if (!m_indexColumn) {
      error = At(m_lines.LineNumber(), "no column named \"" + m_indexName + "\" for the index");
      return false;
    }
  }
  for (const char* name : kTimeNames) {
    if (m_indexColumn) break;
    m_indexColumn = find(name);
  }
  bool depth = false;
  if (!m_indexColumn) {
    for (const char* name : kDepthNames) {
      if ((m_indexColumn = find(name))) {
        depth = true;
        break;
      }
    }
  } else {
    const std::string name = Upper(m_names[*m_indexColumn]);
    depth = std::any_of(kDepthNames.begin(), kDepthNames.end(), [&](const char* d) { return name == d; });
  }
  if (!m_indexColumn) {
    m_header.indexKind = ReplayIndexKind::Row;
    return true;
  }
  m_header.indexKind = depth ? ReplayIndexKind::Depth : ReplayIndexKind::Time;
  // A time of day beside a date column: the two make the moment.
  if (!depth && !EqualsNoCase(m_names[*m_indexColumn], "DATE")) m_dateColumn = find("DATE");
  return true;
}

bool CCsvReader::ReadIndex(std::string_view field, std::size_t dateColumn, double& index) {
  if (const auto number = ReadNumber(field)) {
    index = m_header.indexKind == ReplayIndexKind::Time ? *number * m_timeUnitSeconds : *number;
    return true;
  }
  if (m_header.indexKind == ReplayIndexKind::Depth) return false;
  if (!m_dateOrder && !m_orderSettled) {
    // Month and day told apart by the first row's date when a number over 12 is in one of them;
    // otherwise the day comes first. Later rows never change it, so a second reading is the same.
    m_orderSettled = true;
    std::vector<std::string_view> parts;
    SplitFields(field.substr(0, field.find_first_of(" T-")), '/', parts);
    if (parts.size() == 3) {
      const auto a = ReadNumber(parts[0]);
      const auto b = ReadNumber(parts[1]);
      if (a && *a > 12) m_dateOrder = DateOrder::DayFirst;
      if (b && *b > 12) m_dateOrder = DateOrder::MonthFirst;
    }
  }
  const DateOrder order = m_dateOrder.value_or(DateOrder::DayFirst);
  if (const auto moment = ReadDateTime(field, order)) {
    index = *moment;
    return true;
  }
  if (const auto time = ReadTimeOfDay(field)) {
    if (m_dateColumn && dateColumn < m_fields.size()) {
      if (const auto day = ReadDateTime(m_fields[dateColumn], order)) {
        index = *day + *time;
        return true;
      }
      return false;
    }
    index = *time;
    return true;
  }
  return false;
}

bool CCsvReader::ParseRow(std::string_view line, uint64_t number, ReplayRow& row, bool& bad) {
  const std::string_view trimmed = TrimFor(line, m_delimiter);
  SplitFields(trimmed, m_delimiter, m_fields);
  // A trailing delimiter makes one empty field more than the header has.
  if (m_fields.size() == m_names.size() + 1 && m_fields.back().empty()) m_fields.pop_back();
  if (m_fields.size() != m_names.size()) {
    m_problems.BadRow(At(number, vorn::Sprintf("%zu fields where the header has %zu; row skipped", m_fields.size(),
                                               m_names.size())));
    bad = true;
    return false;
  }
  if (m_indexColumn) {
    if (!ReadIndex(m_fields[*m_indexColumn], m_dateColumn.value_or(0), row.index)) {
      m_problems.BadRow(At(number, "the index \"" + std::string(m_fields[*m_indexColumn].substr(0, 64)) + "\" is not a " +
                                       (m_header.indexKind == ReplayIndexKind::Depth ? "number" : "time") +
                                       "; row skipped"));
      bad = true;
      return false;
    }
  }
  row.values.resize(m_curveColumns.size());
  for (std::size_t i = 0; i < m_curveColumns.size(); ++i) {
    const std::string_view field = m_fields[m_curveColumns[i]];
    const auto value = IsAbsent(field) ? std::nullopt : ReadNumber(field);
    row.values[i] = value ? *value : kNoValue;
  }
  row.lineNumber = number;
  return true;
}

bool CCsvReader::ReadRow(ReplayRow& row, bool& bad) {
  if (m_pendingRow) {
    const std::string line = std::move(*m_pendingRow);
    m_pendingRow.reset();
    if ((m_pendingLine >> 63) != 0) {
      m_problems.BadRow(At(m_pendingLine & ~(uint64_t{1} << 63), "a line longer than 65536 bytes; row skipped"));
      bad = true;
      return false;
    }
    return ParseRow(line, m_pendingLine, row, bad);
  }
  std::string_view line;
  bool tooLong = false;
  while (m_lines.Next(line, tooLong)) {
    if (tooLong) {
      m_problems.BadRow(At(m_lines.LineNumber(), "a line longer than 65536 bytes; row skipped"));
      bad = true;
      return false;
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    return ParseRow(line, m_lines.LineNumber(), row, bad);
  }
  return false;
}
