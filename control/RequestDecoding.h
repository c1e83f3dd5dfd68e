#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comms/WitsCommSettings.h"
#include "engine/OutputItem.h"
#include "engine/SimSettings.h"
#include "faults/FaultOrder.h"

// The bodies of the control API's commands turned into typed arguments. Pure functions: a body either
// gives a value or a text saying what is wrong with it, never both, and nothing else happens. Every
// body is a JSON object (the item list a JSON array); members it does not know, members given twice,
// a wrong type, a number that is not finite or outside its range are all refused.
namespace vorn::control {

template <typename T>
struct Decoded {
  std::optional<T> value;
  std::string error;  // why the body is refused, when there is no value

  [[nodiscard]] bool Ok() const { return value.has_value(); }
};

// POST run: {"running": true|false}.
[[nodiscard]] Decoded<bool> DecodeRunning(std::string_view body);
// POST ten-times: {"on": true|false}.
[[nodiscard]] Decoded<bool> DecodeTenTimes(std::string_view body);
// POST mode: {"mode": "Trip Out"} or {"mode": 3}: a mode name as the window shows it (any case) or
// its index 0 to 3.
[[nodiscard]] Decoded<int> DecodeMode(std::string_view body);
// POST bit-depth and hole-depth: {"depth": 5000}.
[[nodiscard]] Decoded<double> DecodeDepth(std::string_view body);
// POST gain: {"percent": 50}, a whole number from 0 to 100.
[[nodiscard]] Decoded<int> DecodeGain(std::string_view body);
// Commands without arguments (default-start-state): no body, or an empty object.
[[nodiscard]] Decoded<bool> DecodeNoArguments(std::string_view body);

// PUT settings: the "Settings" record, whole or in part. Members it lacks keep the values of
// `current`; "m_mode" is a mode index 0 to 3, "m_nFlowSPPGain" a percent 0 to 100.
[[nodiscard]] Decoded<CSimSettings> DecodeSettings(std::string_view body, const CSimSettings& current);
// PUT link: the "WitsCommSettings" record, whole or in part; members it lacks keep those of `current`.
[[nodiscard]] Decoded<CWitsCommSettings> DecodeLinkSettings(std::string_view body, const CWitsCommSettings& current);
// PUT items: the list, as GET gives it: an array of items with the stored fields (a member an item
// lacks takes the default of a new item; the run-time members a GET shows are accepted and ignored).
[[nodiscard]] Decoded<std::vector<COutputItem>> DecodeItems(std::string_view body);
// {"fault": NAME, KEY: VALUE, ...}, as one entry of a fault plan without "at".
[[nodiscard]] Decoded<FaultOrder> DecodeFault(std::string_view body);
// A fault plan as its file holds it.
[[nodiscard]] Decoded<FaultPlan> DecodeFaultPlan(std::string_view body);

}  // namespace vorn::control
