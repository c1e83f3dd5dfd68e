#pragma once

#include <string>

#include "replay/UnitConversion.h"

// How a recorded file is played.
struct ReplayOptions {
  std::string path;
  std::string mapPath;            // a mapping file; empty: the default map alone
  double speed = 1.0;             // times the file's own pace, 0.1 to 1000
  std::string start;              // a time, a depth, or "row:N"; empty: the first row
  bool loop = false;              // back to the start at the end
  double ropPerHour = 0.0;        // depth-indexed files: depth units per hour; 0: one row per output interval
  vorn::replay::UnitSystem units = vorn::replay::UnitSystem::AsFile;  // what values are converted to
  std::string indexColumn;        // a CSV file's index column; empty: found by its name
  double frameIntervalSeconds = 0.0;  // a capture without a pace item: seconds between frames; 0: the output interval
  std::string paceItem;           // a capture's time item ("0106"); empty: frames at the fixed interval

  bool operator==(const ReplayOptions&) const = default;
};
