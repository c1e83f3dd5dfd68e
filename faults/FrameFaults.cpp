#include "faults/FrameFaults.h"

#include <array>
#include <charconv>
#include <utility>

#include "support/Time.h"

namespace {

constexpr std::size_t kOversizeItemBytes = 4097;
constexpr std::size_t kOversizeFrameBytes = 1024;

}  // namespace

void AppendWitsId(std::string& text, int32_t record, int32_t item) {
  for (const int32_t number : {record, item}) {
    if (number >= 0 && number < 10) {
      text.push_back('0');
      text.push_back(static_cast<char>('0' + number));
      continue;
    }
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    text.append(digits, result.ptr);
  }
}

std::string PlainFrameBytes(const std::vector<WitsOutLine>& lines, std::string_view lineEnd) {
  std::size_t size = 4 + 3 * lineEnd.size();
  for (const WitsOutLine& line : lines) size += 8 + lineEnd.size() + line.valueText.size();
  std::string bytes;
  bytes.reserve(size);
  bytes.append("&&").append(lineEnd);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) bytes.append(lineEnd);
    AppendWitsId(bytes, lines[i].record, lines[i].item);
    bytes.append(lines[i].valueText);
  }
  bytes.append(lineEnd).append("!!").append(lineEnd);
  return bytes;
}

std::string_view LineEndText(int32_t lineEnd) {
  switch (lineEnd) {
    case 1: return "\n";
    case 2: return "\r";
    default: return "\r\n";
  }
}

std::vector<WireFrame> GroupFrames(const std::vector<WitsOutLine>& lines, bool perRecord) {
  std::vector<WireFrame> frames;
  std::vector<int32_t> records;  // the record of each frame when grouping
  if (!perRecord || lines.empty()) frames.emplace_back();
  for (const WitsOutLine& line : lines) {
    WireFrame* frame = nullptr;
    if (!perRecord) {
      frame = &frames.front();
    } else {
      std::size_t at = 0;
      while (at < records.size() && records[at] != line.record) ++at;
      if (at == records.size()) {
        records.push_back(line.record);
        frames.emplace_back();
      }
      frame = &frames[at];
    }
    WireLine wireLine;
    AppendWitsId(wireLine.id, line.record, line.item);
    wireLine.value = line.valueText;
    frame->lines.push_back(std::move(wireLine));
  }
  return frames;
}

std::string FrameBytes(const WireFrame& frame, std::string_view lineEnd, bool withStart, bool withEnd) {
  std::string bytes;
  if (withStart) bytes.append("&&").append(lineEnd);
  for (std::size_t i = 0; i < frame.lines.size(); ++i) {
    if (i > 0) bytes.append(lineEnd);
    bytes.append(frame.lines[i].id).append(frame.lines[i].value);
  }
  bytes.append(lineEnd);
  if (withEnd) bytes.append("!!").append(lineEnd);
  return bytes;
}

void ApplyBadValue(WireFrame& frame, std::string_view kind, CFaultRandom& random) {
  if (frame.lines.empty()) return;
  std::string& value = frame.lines[random.Below(frame.lines.size())].value;
  if (kind == "null") {
    static constexpr std::array<const char*, 3> kNulls{"-9999", "-999.25", "9999"};
    value = kNulls[random.Below(kNulls.size())];
  } else if (kind == "range") {
    static constexpr std::array<const char*, 3> kOutOfRange{"1e+308", "-1e+308", "99999999999999999999"};
    value = kOutOfRange[random.Below(kOutOfRange.size())];
  } else if (kind == "mark") {
    const char mark = random.Below(2) == 0 ? '&' : '!';
    value.insert(random.Below(value.size() + 1), 1, mark);
  } else {
    value = "n/a";
  }
}

void ApplyBadLine(WireFrame& frame, std::string_view kind, CFaultRandom& random) {
  auto& lines = frame.lines;
  if (kind == "blank") {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(random.Below(lines.size() + 1)), WireLine{});
  } else if (kind == "id") {
    if (lines.empty()) return;
    std::string& id = lines[random.Below(lines.size())].id;
    if (id.size() >= 3) id[2] = 'A';
  } else {
    if (lines.empty()) {
      lines.push_back({"011", ""});
      return;
    }
    const std::size_t at = random.Below(lines.size());
    const std::string text = (lines[at].id + lines[at].value).substr(0, 3);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), WireLine{text, ""});
  }
}

void ApplyOversize(WireFrame& frame, std::string_view what, std::string_view lineEnd, CFaultRandom& random) {
  auto& lines = frame.lines;
  if (what == "frame") {
    // The frame's own lines repeat; a line that adds nothing (a blank line without line ends) does not.
    std::vector<WireLine> own;
    for (const WireLine& line : lines) {
      if (line.id.size() + line.value.size() + lineEnd.size() > 0) own.push_back(line);
    }
    if (own.empty()) own.push_back({"0108", "0"});
    std::size_t size = FrameBytes(frame, lineEnd).size();
    for (std::size_t i = 0; size <= kOversizeFrameBytes; ++i) {
      const WireLine& line = own[i % own.size()];
      lines.push_back(line);
      size += line.id.size() + line.value.size() + lineEnd.size();
    }
    return;
  }
  if (lines.empty()) lines.push_back({"0108", ""});
  lines[random.Below(lines.size())].value = std::string(kOversizeItemBytes, '9');
}

void ApplySwap(WireFrame& frame, CFaultRandom& random) {
  if (frame.lines.size() < 2) return;
  const std::size_t at = random.Below(frame.lines.size() - 1);
  std::swap(frame.lines[at], frame.lines[at + 1]);
}

std::string GarbageBytes(int32_t count, CFaultRandom& random) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i) bytes.push_back(static_cast<char>(random.Below(256)));
  return bytes;
}

std::string WireLogText(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      text.push_back(bytes[i]);
    } else if (i + 1 >= bytes.size() || bytes[i + 1] != '\n') {
      text.push_back('\n');
    }
  }
  return text;
}

bool HasLoneCr(std::string_view bytes) {
  for (std::size_t at = bytes.find('\r'); at != std::string_view::npos; at = bytes.find('\r', at + 1)) {
    if (at + 1 >= bytes.size() || bytes[at + 1] != '\n') return true;
  }
  return false;
}

std::string WitsFaultEntry(double nowSeconds, std::string_view faultText) {
  std::string entry = "FAULT " + vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(nowSeconds), " ");
  entry.append(" ").append(faultText).append("\n");
  return entry;
}
