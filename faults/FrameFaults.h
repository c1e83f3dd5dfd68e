#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "faults/FaultRandom.h"
#include "wits/WitsFrameSink.h"

// The stages that make the frames of the wire: grouping the engine's lines into frames, the faults
// that change a frame's lines, and the frame's bytes with the profile's line ends. Each is a plain
// function on a frame; the random ones draw from the generator they are given.

// One data line: the record and item digits ("0108") and the value text.
struct WireLine {
  std::string id;
  std::string value;
  bool operator==(const WireLine&) const = default;
};

struct WireFrame {
  std::vector<WireLine> lines;
};

// "\r\n", "\n" or "\r" for the profile's LineEnd (CR LF for any other value).
[[nodiscard]] std::string_view LineEndText(int32_t lineEnd);

// The lines as one frame, or one frame per record in the order of each record's first line.
[[nodiscard]] std::vector<WireFrame> GroupFrames(const std::vector<WitsOutLine>& lines, bool perRecord);

// Appends a data line's id as the frame writer prints it ("%02d%02d": "0108", "150037" with the
// value, "-1-1"), without going through printf.
void AppendWitsId(std::string& text, int32_t record, int32_t item);

// The plain frame of all the lines, straight from the engine's lines: what FrameBytes gives for them
// as one frame, built without an intermediate frame.
[[nodiscard]] std::string PlainFrameBytes(const std::vector<WitsOutLine>& lines, std::string_view lineEnd);

// "&&", line end, the lines joined by line ends, line end, "!!", line end; either mark with its line
// end may be left out.
[[nodiscard]] std::string FrameBytes(const WireFrame& frame, std::string_view lineEnd, bool withStart = true,
                                     bool withEnd = true);

// One value of a random line: "text" n/a, "null" -9999, -999.25 or 9999, "range" 1e+308, -1e+308 or
// 99999999999999999999, "mark" an "&" or "!" put inside it. A frame without lines stays as it is.
void ApplyBadValue(WireFrame& frame, std::string_view kind, CFaultRandom& random);
// "short": the first three characters of a random line put before it ("011" in a frame without
// lines); "blank": an empty line at a random place; "id": the third digit of a random line's id
// replaced by "A" ("0108" becomes "01A8").
void ApplyBadLine(WireFrame& frame, std::string_view kind, CFaultRandom& random);
// "item": a random line's value becomes 4097 nines; "frame": the frame's lines repeated after it
// until the frame passes 1024 bytes.
void ApplyOversize(WireFrame& frame, std::string_view what, std::string_view lineEnd, CFaultRandom& random);
// A random line and the next one change places (a frame needs two lines).
void ApplySwap(WireFrame& frame, CFaultRandom& random);
// `count` random bytes.
[[nodiscard]] std::string GarbageBytes(int32_t count, CFaultRandom& random);

// Bytes as the WITS log shows them: CR LF and a lone CR each become a line feed.
[[nodiscard]] std::string WireLogText(std::string_view bytes);
// Whether the bytes hold a CR that no LF follows (WireLogText would change more than CR LF).
[[nodiscard]] bool HasLoneCr(std::string_view bytes);
// A fault's WITS log entry: "FAULT <time> <fault text>" and a line end.
[[nodiscard]] std::string WitsFaultEntry(double nowSeconds, std::string_view faultText);
