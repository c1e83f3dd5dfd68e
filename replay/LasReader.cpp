#include "replay/LasReader.h"

#include <cmath>

#include "support/Numbers.h"
#include "support/Text.h"

using namespace vorn::replay;

namespace {

// One header line: "MNEM.UNIT  VALUE : DESCRIPTION". The unit runs from the dot to the first blank;
// the value from there to the last colon.
struct HeaderFields {
  std::string mnemonic;
  std::string unit;
  std::string value;
  std::string description;
};

std::optional<HeaderFields> SplitHeaderLine(std::string_view line) {
  const std::size_t dot = line.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  HeaderFields fields;
  fields.mnemonic = std::string(Trim(line.substr(0, dot)));
  std::string_view rest = line.substr(dot + 1);
  std::size_t unitEnd = 0;
  while (unitEnd < rest.size() && rest[unitEnd] != ' ' && rest[unitEnd] != '\t') ++unitEnd;
  std::string_view unit = rest.substr(0, unitEnd);
  rest.remove_prefix(unitEnd);
  // A unit glued to the colon ("DEPT.M:") leaves the colon for the description.
  if (const std::size_t colon = unit.find(':'); colon != std::string_view::npos) {
    rest = line.substr(dot + 1 + colon);
    unit = unit.substr(0, colon);
  }
  fields.unit = std::string(unit);
  const std::size_t colon = rest.rfind(':');
  std::string_view value = colon == std::string_view::npos ? rest : rest.substr(0, colon);
  std::string_view description = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  // LAS 3.0 adds a format in braces and associations after a bar.
  if (const std::size_t brace = description.find('{'); brace != std::string_view::npos) description = description.substr(0, brace);
  if (const std::size_t bar = description.find('|'); bar != std::string_view::npos) description = description.substr(0, bar);
  fields.value = std::string(Trim(value));
  fields.description = std::string(Trim(description));
  if (fields.mnemonic.empty()) return std::nullopt;
  return fields;
}

bool IsDepthUnit(std::string_view unit) {
  const std::string u = Upper(unit);
  return u == "M" || u == "FT" || u == "F" || u == "FEET" || u == "METERS" || u == "METRES" || u == "IN" ||
         u == "CM" || u == ".1IN";
}

bool IsTimeMnemonic(std::string_view mnemonic) {
  const std::string m = Upper(mnemonic);
  return m == "TIME" || m == "DATE" || m == "DATETIME" || m == "DATE_TIME" || m == "ETIM" || m == "ETIME" ||
         m == "TIM" || m == "TIMESTAMP" || m == "TDEP" || m == "RTIME";
}

}  // namespace

bool CLasReader::ReadHeader(std::string& error) {
  std::string_view line;
  Section section = Section::None;
  while (m_lines.Next(line)) {
    if (m_lines.LineNumber() > kMaxHeaderLines) {
      error = At(m_lines.LineNumber(), "no data section within the first 100000 lines");
      return false;
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '~') {
      const std::string name = Upper(trimmed.substr(1, trimmed.find_first_of(" \t|") == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : trimmed.find_first_of(" \t|") - 1));
      if (name == "V" || name.starts_with("VERS")) {
        section = Section::Version;
        m_sawVersion = true;
      } else if (name == "W" || name.starts_with("WELL")) {
        section = Section::Well;
      } else if (name == "C" || name.starts_with("CURVE") || name == "LOG_DEFINITION") {
        section = Section::Curve;
        if (m_sawCurves) {
          error = At(m_lines.LineNumber(), "a second curve section (only files with one data section are read)");
          return false;
        }
        m_sawCurves = true;
      } else if (name == "P" || name.starts_with("PARAM") || name == "LOG_PARAMETER") {
        section = Section::Parameter;
      } else if (name == "A" || name.starts_with("ASCII") || name == "LOG_DATA") {
        m_sawData = true;
        return FinishHeader(error);
      } else {
        section = Section::Other;  // "~O" and LAS 3.0's other sections: passed over
      }
      continue;
    }
    if (section == Section::None) {
      error = At(m_lines.LineNumber(), "text before the first section");
      return false;
    }
    if (!HeaderLine(section, trimmed, error)) return false;
  }
  if (!m_sawVersion) {
    error = m_header.fileName + ": no version section (~V): not a LAS file";
  } else if (!m_sawCurves) {
    error = m_header.fileName + ": no curve section (~C)";
  } else {
    error = m_header.fileName + ": no data section (~A)";
  }
  return false;
}

bool CLasReader::HeaderLine(Section section, std::string_view line, std::string& error) {
  if (section == Section::Other) return true;
  const std::optional<HeaderFields> fields = SplitHeaderLine(line);
  if (!fields) {
    if (section == Section::Curve) {
      error = At(m_lines.LineNumber(), "a curve line without \"MNEM.UNIT\"");
      return false;
    }
    return true;  // a parameter the reader does not need is no reason to refuse the file
  }
  const std::string mnemonic = Upper(fields->mnemonic);
  switch (section) {
    case Section::Version:
      if (mnemonic == "VERS") {
        const auto version = ReadNumber(fields->value);
        if (!version || *version < 1.0 || *version >= 4.0) {
          error = At(m_lines.LineNumber(), "unsupported LAS version \"" + fields->value + "\" (2.0 and 3.0 are read)");
          return false;
        }
        m_header.format = *version >= 3.0 ? ReplayFormat::Las3 : ReplayFormat::Las2;
      } else if (mnemonic == "WRAP") {
        m_header.wrapped = EqualsNoCase(fields->value, "YES");
      } else if (mnemonic == "DLM") {
        const std::string d = Upper(fields->value);
        if (d == "COMMA") {
          m_delimiter = ',';
        } else if (d == "TAB") {
          m_delimiter = '\t';
        } else if (d == "SPACE" || d.empty()) {
          m_delimiter = ' ';
        } else {
          error = At(m_lines.LineNumber(), "unknown delimiter \"" + fields->value + "\" (SPACE, COMMA or TAB)");
          return false;
        }
      }
      m_header.wellInfo[mnemonic] = fields->value;
      return true;
    case Section::Well:
      if (mnemonic == "NULL") {
        const auto null = ReadNumber(fields->value);
        if (!null) {
          error = At(m_lines.LineNumber(), "the NULL value \"" + fields->value + "\" is not a number");
          return false;
        }
        m_null = *null;
      } else if (mnemonic == "STRT" || mnemonic == "STOP" || mnemonic == "STEP") {
        const auto number = ReadNumber(fields->value);
        std::optional<double> value = number;
        if (!value) value = ReadDateTime(fields->value, m_dateOrder);
        if (mnemonic == "STRT") m_header.start = value;
        if (mnemonic == "STOP") m_header.stop = value;
        if (mnemonic == "STEP") m_header.step = value;
      }
      m_header.wellInfo[mnemonic] = fields->value;
      return true;
    case Section::Curve: {
      if (m_header.curves.size() >= kMaxCurves) {
        error = At(m_lines.LineNumber(), "more than 10000 curves");
        return false;
      }
      ReplayCurve curve{fields->mnemonic, fields->unit, fields->description};
      if (!m_header.index.mnemonic.empty() || !m_header.curves.empty()) {
        m_header.curves.push_back(std::move(curve));
      } else {
        m_header.index = std::move(curve);
      }
      return true;
    }
    case Section::Parameter:
      m_header.wellInfo.try_emplace(mnemonic, fields->value);
      return true;
    default:
      return true;
  }
}

bool CLasReader::FinishHeader(std::string& error) {
  if (!m_sawVersion) {
    error = At(m_lines.LineNumber(), "data before a version section (~V): not a LAS file");
    return false;
  }
  if (!m_sawCurves || m_header.index.mnemonic.empty()) {
    error = At(m_lines.LineNumber(), "data before a curve section (~C) with at least the index curve");
    return false;
  }
  const ReplayCurve& index = m_header.index;
  const std::string unit = Upper(index.unit);
  if (unit.find("MM/DD") != std::string::npos || unit.find("M/D") == 0) m_dateOrder = DateOrder::MonthFirst;
  if (const auto perUnit = SecondsPerTimeUnit(index.unit)) {
    m_header.indexKind = ReplayIndexKind::Time;
    m_timeUnitSeconds = *perUnit;
  } else if (IsTimeMnemonic(index.mnemonic) && !IsDepthUnit(index.unit)) {
    m_header.indexKind = ReplayIndexKind::Time;
  } else {
    m_header.indexKind = ReplayIndexKind::Depth;
  }
  // A stated start, stop or step of a time index counts in its unit too.
  if (m_header.indexKind == ReplayIndexKind::Time && m_timeUnitSeconds != 1.0) {
    for (auto* value : {&m_header.start, &m_header.stop, &m_header.step}) {
      if (*value && std::abs(**value) < 1e8) **value *= m_timeUnitSeconds;
    }
  }
  m_dataStart = Position();
  return true;
}

bool CLasReader::ReadIndex(std::size_t& used, double& index) {
  const std::string_view first = m_fields[0];
  const bool settled = m_kindSettled;
  m_kindSettled = true;
  if (const auto number = ReadNumber(first)) {
    used = 1;
    index = m_header.indexKind == ReplayIndexKind::Time ? *number * m_timeUnitSeconds : *number;
    return true;
  }
  // Only the first row may tell that a depth index is a date-time after all.
  if (m_header.indexKind == ReplayIndexKind::Depth && settled) return false;
  if (m_header.indexKind == ReplayIndexKind::Depth && m_header.curves.size() + 1 == m_fields.size()) {
    // A date-time text where a depth was expected: the index is a time after all.
    if (!ReadDateTime(first, m_dateOrder)) return false;
    m_header.indexKind = ReplayIndexKind::Time;
  }
  if (IsDateOnly(first) && m_fields.size() >= 2) {
    // A date and a time of day in two fields.
    if (const auto day = ReadDateTime(first, m_dateOrder); day) {
      if (const auto time = ReadTimeOfDay(m_fields[1])) {
        used = 2;
        index = *day + *time;
        m_header.indexKind = ReplayIndexKind::Time;
        return true;
      }
    }
  }
  if (const auto moment = ReadDateTime(first, m_dateOrder)) {
    used = 1;
    index = *moment;
    m_header.indexKind = ReplayIndexKind::Time;
    return true;
  }
  return false;
}

bool CLasReader::ReadValue(std::string_view field, double& value) const {
  const auto number = ReadNumber(field);
  if (!number) return false;
  value = (*number == m_null || std::isnan(*number)) ? kNoValue : *number;
  return true;
}

bool CLasReader::ReadRow(ReplayRow& row, bool& bad) {
  if (m_dataEnded) return false;
  return m_header.wrapped ? WrappedRow(row, bad) : UnwrappedRow(row, bad);
}

bool CLasReader::UnwrappedRow(ReplayRow& row, bool& bad) {
  std::string_view line;
  bool tooLong = false;
  const std::size_t curves = m_header.curves.size();
  while (m_lines.Next(line, tooLong)) {
    const uint64_t number = m_lines.LineNumber();
    if (tooLong) {
      m_problems.BadRow(At(number, "a line longer than 65536 bytes; row skipped"));
      bad = true;
      return false;
    }
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '~') {
      m_dataEnded = true;  // only one data section is read
      return false;
    }
    SplitFields(TrimFor(line, m_delimiter), m_delimiter, m_fields);
    std::size_t used = 0;
    if (!ReadIndex(used, row.index)) {
      m_problems.BadRow(At(number, "the index \"" + std::string(m_fields[0].substr(0, 64)) + "\" is not a " +
                                       (m_header.indexKind == ReplayIndexKind::Depth ? "number" : "time") +
                                       "; row skipped"));
      bad = true;
      return false;
    }
    if (m_fields.size() - used != curves) {
      m_problems.BadRow(At(number, vorn::Sprintf("%zu values where the curve section has %zu curves; row skipped",
                                                 m_fields.size() - used + 1, curves + 1)));
      bad = true;
      return false;
    }
    row.values.resize(curves);
    for (std::size_t c = 0; c < curves; ++c) {
      if (!ReadValue(m_fields[used + c], row.values[c])) {
        m_problems.BadRow(At(number, "the value \"" + std::string(m_fields[used + c].substr(0, 64)) + "\" of " +
                                         m_header.curves[c].mnemonic + " is not a number; row skipped"));
        bad = true;
        return false;
      }
    }
    row.lineNumber = number;
    return true;
  }
  return false;
}

bool CLasReader::WrappedRow(ReplayRow& row, bool& bad) {
  std::string_view line;
  bool tooLong = false;
  const std::size_t curves = m_header.curves.size();
  std::size_t have = 0;
  bool started = false;
  uint64_t firstLine = 0;
  const auto fail = [&](uint64_t at, const std::string& text) {
    m_problems.BadRow(At(at, text));
    bad = true;
    return false;
  };
  for (;;) {
    if (!m_lines.Next(line, tooLong)) {
      if (started) return fail(firstLine, vorn::Sprintf("the file ends inside a wrapped row (%zu of %zu values)", have, curves));
      return false;
    }
    const uint64_t number = m_lines.LineNumber();
    if (tooLong) return fail(number, "a line longer than 65536 bytes; row skipped");
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == '#') continue;
    if (trimmed.front() == '~') {
      m_dataEnded = true;
      if (started) return fail(firstLine, vorn::Sprintf("the data ends inside a wrapped row (%zu of %zu values)", have, curves));
      return false;
    }
    SplitFields(TrimFor(line, m_delimiter), m_delimiter, m_fields);
    std::size_t from = 0;
    if (!started) {
      std::size_t used = 0;
      if (!ReadIndex(used, row.index)) return fail(number, "a wrapped row does not start with its index; row skipped");
      started = true;
      firstLine = number;
      from = used;
    }
    if (have + (m_fields.size() - from) > curves) {
      return fail(firstLine, vorn::Sprintf("a wrapped row has more than the %zu curves' values; row skipped", curves + 1));
    }
    row.values.resize(curves);
    for (std::size_t f = from; f < m_fields.size(); ++f) {
      if (!ReadValue(m_fields[f], row.values[have])) {
        return fail(number, "the value \"" + std::string(m_fields[f].substr(0, 64)) + "\" is not a number; row skipped");
      }
      ++have;
    }
    if (have == curves) {
      row.lineNumber = firstLine;
      return true;
    }
  }
}
