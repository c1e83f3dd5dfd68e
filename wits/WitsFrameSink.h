#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// One data line of an outgoing frame as the engine hands it over: record, item and the item's value
// text, which stays the engine's and is valid only during the call.
struct WitsOutLine {
  int32_t record = 0;
  int32_t item = 0;
  std::string_view valueText;
};

// How the lines handed over in one call are put into frames.
enum class FrameGrouping {
  AsConfigured,  // as the link's settings say
  OneFrame,      // all lines in one frame
  OnePerRecord,  // one frame per WITS record, records in the order of their first line
};

// What takes the engine's outgoing frames when something stands between the engine and the link (the
// wire profile and its faults): it writes them to the link and logs what it wrote.
class CWitsFrameSinkIF {
 public:
  virtual void SendFrame(const std::vector<WitsOutLine>& lines, FrameGrouping grouping) = 0;
  virtual ~CWitsFrameSinkIF() = default;
};
