#pragma once

#include <rapidjson/document.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The catalogue of wire faults: each a named kind with typed parameters and a trigger. A fault is
// data: it reads from the command-line text "NAME[:KEY=VALUE,...]" or from a JSON object with the
// member "fault" and the same keys, and writes itself back in the text form.

enum class FaultKind {
  Silence,     // seconds: nothing is sent for that long
  Split,       // pieces, gap_ms: a frame goes out in that many writes, that far apart
  Pace,        // bps: a frame goes out at that many bytes per second
  LineEnds,    // style lf|cr|none: the line ends of one frame
  DropEnd,     // a frame without its "!!" line
  DropStart,   // a frame without its "&&" line
  Garbage,     // bytes: that many random bytes before a frame
  BadValue,    // kind text|null|range|mark: one value of a frame
  BadLine,     // kind short|blank|id: one malformed line in a frame
  Oversize,    // what item|frame: an item over 4096 bytes or a frame over 1024 bytes
  Duplicate,   // a frame sent twice
  Swap,        // two neighbouring lines of a frame swapped
  Disconnect,  // seconds: the link drops and stays closed for that long
};

inline constexpr int kFaultKindCount = 13;

struct FaultOrder {
  FaultKind kind = FaultKind::Silence;
  // Parameters; each kind reads only its own (see the catalogue), the rest keep their defaults.
  double seconds = 0.0;
  int32_t pieces = 2;
  int32_t gapMs = 100;
  double bps = 100.0;
  int32_t bytes = 16;
  std::string choice;  // style, kind or what
  // Trigger: once (neither given), every N-th frame, or each frame with probability p.
  int64_t every = 0;
  double p = 0.0;
  // Plans only: seconds after the plan starts from which the fault takes effect.
  std::optional<double> at;

  bool operator==(const FaultOrder&) const = default;
};

// The fault's name in the catalogue ("split").
[[nodiscard]] std::string_view FaultName(FaultKind kind);
// All names, in catalogue order, comma separated.
[[nodiscard]] std::string FaultNames();
// Whether the fault lasts a time (silence, disconnect) rather than changing one frame.
[[nodiscard]] bool IsTimedFault(FaultKind kind);

// The text form with every parameter spelt out: "split:pieces=2,gap_ms=100,every=5".
[[nodiscard]] std::string FaultText(const FaultOrder& order);

// A parse's outcome: the value, or a message that names the fault and the parameter.
template <typename T>
struct Parsed {
  std::optional<T> value;
  std::string error;
  [[nodiscard]] bool ok() const { return value.has_value(); }
};

// "NAME[:KEY=VALUE,...]"; the keys are the fault's parameters and "every" or "p".
[[nodiscard]] Parsed<FaultOrder> ParseFaultText(std::string_view text);
// {"fault": NAME, KEY: VALUE, ...}: numbers as JSON numbers, choices as strings. `allowAt` admits
// "at" (a plan's entry).
[[nodiscard]] Parsed<FaultOrder> ParseFaultJson(const rapidjson::Value& object, bool allowAt = false);

// A fault plan: timed faults, and the seed when the plan names one.
struct FaultPlan {
  std::vector<FaultOrder> entries;
  std::optional<uint64_t> seed;

  bool operator==(const FaultPlan&) const = default;
};

// The plan file: a JSON array of entries, or an object {"seed": N, "faults": [entries]}. Nothing of
// a plan with one bad entry is taken.
[[nodiscard]] Parsed<FaultPlan> ParseFaultPlan(std::string_view json);
// A seed: a whole number from 0 to 2^64-1.
[[nodiscard]] std::optional<uint64_t> ParseSeed(std::string_view text);
