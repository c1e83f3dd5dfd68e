#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// WITS Level 0 frames: "&&" CR LF, data lines joined by CR LF, CR LF "!!" CR LF. A data line is the
// record number, the item number (each at least two digits) and the value text, with nothing between.

// "%02d%02d%s": record 1, item 23, "95" give "012395"; record 150, item 3, "7" give "150037".
[[nodiscard]] std::string FormatWitsDataLine(int32_t record, int32_t item, std::string_view valueText);

// The whole frame around the data lines; no lines give the 10-byte empty frame.
[[nodiscard]] std::string BuildWitsFrame(const std::vector<std::string>& dataLines);

struct WitsDataLine {
  int32_t record = 0;
  int32_t item = 0;
  std::string valueText;

  bool operator==(const WitsDataLine&) const = default;
};

// Takes every complete frame ("&&" up to the next "!!") out of the input buffer and returns their
// data lines in arrival order. Text before a frame goes with it; an incomplete frame stays for the
// next arrival, and of text without a frame start only a final "&" (so the buffer afterwards starts
// with "&&", is "&" or is empty), so a stream cut into arrivals anywhere gives the same lines as the
// whole stream. The
// reader takes exactly two characters for the record and two for the item. `validFrames`, when
// given, is set to the number of frames taken that held at least one data line.
[[nodiscard]] std::vector<WitsDataLine> ParseWitsFrames(std::string& buffer, std::size_t* validFrames = nullptr);

// The input buffer never holds more than this once an arrival has been parsed. A receiving system
// sends frames of a few hundred bytes; a peer that sends text without frame marks must not make the
// buffer grow for as long as the run lasts.
inline constexpr std::size_t kMaxWitsInBufferBytes = 64 * 1024;

// Keeps the buffer within its bound: text before the last "&&" goes first, then an incomplete frame
// that alone exceeds the bound. Returns the number of bytes dropped.
std::size_t BoundWitsInBuffer(std::string& buffer);

// The gain in percent of a skid command: the one line "DP:<integer>" between "&&" CR LF and CR LF
// "!!". Nothing for anything else (lower case, more or fewer ":" pieces, a missing mark).
[[nodiscard]] std::optional<int32_t> ReadSkidGain(std::string_view text);
