#include "wits/WitsFrame.h"

#include <cstring>

#include "support/Numbers.h"
#include "support/Text.h"

namespace {

constexpr std::string_view kFrameStart = "&&";
constexpr std::string_view kFrameEnd = "!!";
constexpr std::string_view kLineEnd = "\r\n";
// A data line needs more than the four digits of record and item.
constexpr std::size_t kShortestDataLine = 5;

// The frame's pieces between line feeds: the first holds "&&", the last "!!", the ones between are
// data lines.
void ReadFrameLines(std::string_view frame, std::vector<WitsDataLine>& lines) {
  const std::size_t firstBreak = frame.find('\n');
  const std::size_t lastBreak = frame.rfind('\n');
  if (firstBreak == std::string_view::npos || firstBreak == lastBreak) return;  // fewer than three pieces
  std::size_t from = firstBreak + 1;
  while (from <= lastBreak) {
    const std::size_t to = frame.find('\n', from);
    const std::string_view line = vorn::TrimWhiteSpace(frame.substr(from, to - from));
    if (line.size() >= kShortestDataLine) {
      lines.push_back({vorn::ReadInteger(line.substr(0, 2)), vorn::ReadInteger(line.substr(2, 2)),
                       std::string(line.substr(4))});
    }
    from = to + 1;
  }
}

// buffer.rfind("&&") at the speed of memrchr: the buffer may be 64 KiB of anything.
std::size_t LastFrameStart(const std::string& buffer) {
  std::size_t length = buffer.size();
  while (length >= 2) {
    const void* found = memrchr(buffer.data(), kFrameStart[1], length);
    if (found == nullptr) break;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - buffer.data());
    if (at >= 1 && buffer[at - 1] == kFrameStart[0]) return at - 1;
    length = at;
  }
  return std::string::npos;
}

}  // namespace

std::string FormatWitsDataLine(int32_t record, int32_t item, std::string_view valueText) {
  return vorn::Sprintf("%02d%02d", record, item).append(valueText);
}

std::string BuildWitsFrame(const std::vector<std::string>& dataLines) {
  std::string frame(kFrameStart);
  frame += kLineEnd;
  frame += vorn::JoinText(dataLines, kLineEnd);
  frame += kLineEnd;
  frame += kFrameEnd;
  frame += kLineEnd;
  return frame;
}

std::vector<WitsDataLine> ParseWitsFrames(std::string& buffer, std::size_t* validFrames) {
  std::vector<WitsDataLine> lines;
  if (validFrames != nullptr) *validFrames = 0;
  // Frames are taken from the front; the buffer is cut once at the end. Whatever lies before a frame
  // goes with it, and so does white space in front of the rest. The rest keeps its end as it came: the
  // next arrival continues it, and a line end there still separates its last line from the next one.
  std::size_t consumed = 0;
  std::size_t start = std::string::npos;
  while (true) {
    start = buffer.find(kFrameStart, consumed);
    if (start == std::string::npos) break;
    const std::size_t end = buffer.find(kFrameEnd, start);
    if (end == std::string::npos) break;
    const std::size_t afterEnd = end + kFrameEnd.size();
    const std::size_t before = lines.size();
    ReadFrameLines(std::string_view(buffer).substr(start, afterEnd - start), lines);
    if (validFrames != nullptr && lines.size() > before) ++*validFrames;
    consumed = afterEnd;
  }
  // What is left before the next frame start would go with that frame, and is dropped now, so that
  // text without frame marks is never searched again: with no start left, only a final "&" stays,
  // which the next arrival may complete.
  if (start != std::string::npos) {
    buffer.erase(0, start);
  } else if (!buffer.empty()) {
    buffer = buffer.back() == '&' && buffer.size() > consumed ? "&" : "";
  }
  return lines;
}

std::size_t BoundWitsInBuffer(std::string& buffer) {
  const std::size_t before = buffer.size();
  if (before <= kMaxWitsInBufferBytes) return 0;
  const std::size_t lastStart = LastFrameStart(buffer);
  if (lastStart == std::string::npos) {
    // No frame begins here; a final "&" may still become the start of one.
    buffer = buffer.back() == '&' ? "&" : "";
  } else {
    buffer.erase(0, lastStart);
    if (buffer.size() > kMaxWitsInBufferBytes) buffer.clear();
  }
  return before - buffer.size();
}

std::optional<int32_t> ReadSkidGain(std::string_view text) {
  const std::string command = vorn::ExtractBetween(text, "&&\r\n", "\r\n!!");
  const std::string_view trimmed = vorn::TrimWhiteSpace(command);
  if (trimmed.empty()) return std::nullopt;
  std::vector<std::string> pieces;
  vorn::SplitText(trimmed, ":", pieces);
  if (pieces.size() != 2 || pieces[0] != "DP") return std::nullopt;
  return vorn::ReadInteger(pieces[1]);
}
