#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/Numbers.h"
#include "support/Text.h"
#include "support/Time.h"
#include "tests/common/TestEnvironment.h"

namespace vorn::test {

// A made-up well: rows of an index and values, some absent, written in each shape the readers take.
struct MadeWell {
  std::vector<std::string> curves;  // without the index
  std::vector<std::string> units;
  std::vector<double> index;
  std::vector<std::vector<double>> values;  // NaN: absent
  bool timeIndexed = false;
  double null = -999.25;
};

inline MadeWell MakeWell(uint32_t seed, std::size_t rows, bool timeIndexed) {
  std::mt19937 random(seed);
  MadeWell well;
  well.timeIndexed = timeIndexed;
  const std::vector<std::pair<std::string, std::string>> pool = {
      {"HKLD", "klb"}, {"SPPA", "psi"}, {"RPM", "rpm"}, {"TORQ", "kft.lbf"}, {"WOB", "klb"}, {"GAS", "%"}, {"XYZ", ""}};
  const std::size_t count = 1 + random() % pool.size();
  for (std::size_t c = 0; c < count; ++c) {
    well.curves.push_back(pool[c].first);
    well.units.push_back(pool[c].second);
  }
  double index = timeIndexed ? 850'000'000.0 : 1000.0;
  for (std::size_t r = 0; r < rows; ++r) {
    index += timeIndexed ? static_cast<double>(1 + random() % 10) : 0.5;
    well.index.push_back(index);
    std::vector<double> row;
    for (std::size_t c = 0; c < count; ++c) {
      row.push_back(random() % 8 == 0 ? std::nan("") : static_cast<double>(random() % 100000) / 100.0);
    }
    well.values.push_back(row);
  }
  return well;
}

inline std::string DateTimeText(double seconds, bool iso) {
  const vorn::SystemTime t = vorn::SecondsToSystemTime(seconds);
  if (iso) return vorn::Sprintf("%04d-%02d-%02dT%02d:%02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return vorn::Sprintf("%02d/%02d/%04d-%02d:%02d:%02d", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond);
}

inline std::string ValueText(double value, double null) { return vorn::FormatG(std::isnan(value) ? null : value); }

struct LasShape {
  bool version3 = false;
  bool wrapped = false;
  char delimiter = ' ';  // LAS 3.0: ' ', ',' or '\t'
  bool isoTimes = false;
  bool crlf = false;
};

// The well as a LAS file, with comments and blank lines where a file may have them.
inline std::string LasText(const MadeWell& well, const LasShape& shape) {
  const std::string end = shape.crlf ? "\r\n" : "\n";
  std::string text = "# made by a test" + end;
  text += "~Version information" + end;
  text += std::string(" VERS.   ") + (shape.version3 ? "3.0" : "2.0") + " : CWLS LOG ASCII STANDARD" + end;
  text += std::string(" WRAP.   ") + (shape.wrapped ? "YES" : "NO") + " : wrapping" + end;
  if (shape.version3) {
    text += std::string(" DLM .   ") + (shape.delimiter == ',' ? "COMMA" : shape.delimiter == '\t' ? "TAB" : "SPACE") +
            " : delimiter" + end;
  }
  text += "~Well information" + end;
  text += " STRT.M   " + vorn::FormatG(well.index.front()) + " : start" + end;
  text += " STOP.M   " + vorn::FormatG(well.index.back()) + " : stop" + end;
  text += std::string(" STEP.M   ") + (well.timeIndexed ? "0" : "0.5") + " : step" + end;
  text += " NULL.    " + vorn::FormatG(well.null) + " : null value" + end;
  text += " WELL.    TEST WELL 1 : well name, with a colon: here" + end;
  text += (shape.version3 ? "~Log_Definition" : "~Curve information") + end;
  text += well.timeIndexed ? " TIME.   : date and time" + end : " DEPT.M   : depth" + end;
  text += "# a comment among the curves" + end;
  for (std::size_t c = 0; c < well.curves.size(); ++c) {
    text += " " + well.curves[c] + "." + well.units[c] + "   : " + well.curves[c] + (shape.version3 ? " {F}" : "") + end;
  }
  text += "~Parameter information" + end + " BHT .DEGC  35.5 : bottom hole temperature" + end;
  text += (shape.version3 ? "~Log_Data | Log_Definition" : "~A  DEPTH") + end;
  const std::string sep = shape.version3 && shape.delimiter != ' ' ? std::string(1, shape.delimiter) : std::string(" ");
  for (std::size_t r = 0; r < well.index.size(); ++r) {
    const std::string index = well.timeIndexed ? DateTimeText(well.index[r], shape.isoTimes) : vorn::FormatG(well.index[r]);
    if (r == well.index.size() / 2) text += "# a comment among the rows" + end + end;
    if (shape.wrapped) {
      text += index + end;
      for (std::size_t c = 0; c < well.curves.size(); ++c) {
        text += ValueText(well.values[r][c], well.null) + (c % 3 == 2 || c + 1 == well.curves.size() ? end : sep);
      }
      continue;
    }
    text += index;
    for (std::size_t c = 0; c < well.curves.size(); ++c) text += sep + ValueText(well.values[r][c], well.null);
    text += end;
  }
  return text;
}

// The well as CSV: a header (with units in brackets when asked), rows, absent cells left empty.
inline std::string CsvText(const MadeWell& well, char delimiter, bool unitsInNames) {
  std::string text = well.timeIndexed ? "DATETIME" : "DEPTH";
  for (std::size_t c = 0; c < well.curves.size(); ++c) {
    text += delimiter + well.curves[c];
    if (unitsInNames && !well.units[c].empty()) text += " [" + well.units[c] + "]";
  }
  text += "\n";
  for (std::size_t r = 0; r < well.index.size(); ++r) {
    text += well.timeIndexed ? DateTimeText(well.index[r], true) : vorn::FormatG(well.index[r]);
    for (std::size_t c = 0; c < well.curves.size(); ++c) {
      text += delimiter;
      if (!std::isnan(well.values[r][c])) text += vorn::FormatG(well.values[r][c]);
    }
    text += "\n";
  }
  return text;
}

inline std::string WriteFile(const std::string& folder, const std::string& name, const std::string& text) {
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

}  // namespace vorn::test
