#pragma once

#include <span>
#include <string>

#include "engine/SimSettings.h"

// The range of every simulation setting: what a rig can have, with a generous margin, in whatever
// units the receiving system expects (a length may be metres or feet). Nothing negative, nothing
// infinite; every default lies inside. The ends belong to the range.
struct SimSettingRange {
  const char* key;    // the member of "Settings"
  const char* label;  // the settings dialog's name of it
  double min;
  double max;
  const char* unit;  // after the numbers of the message; empty where the receiver chooses the unit
  bool whole;        // an integer field
  double (*get)(const CSimSettings&);
  void (*set)(CSimSettings&, double);
};

// Every setting that has a range (all but the true/false one), in field order.
[[nodiscard]] std::span<const SimSettingRange> SimSettingRanges();

// Empty when every setting lies in its range, otherwise the first that does not, as the user reads
// it: "'WITS Out Interval' (m_fWitsOutInterval) must be from 0.1 to 3600 seconds, not -1".
[[nodiscard]] std::string OutOfRangeReason(const CSimSettings& settings);

// After a settings file was read into `read` over `before`: a value outside its range counts as
// absent, so its field keeps the value of `before`. A value just past an end by what the file's
// number reader may miss in the last place (a long number comes back a unit or two off) is that end.
void KeepOnlyInRange(CSimSettings& read, const CSimSettings& before);
