// The WITS log and capture readers and the mapping file reader on arbitrary bytes: never a crash,
// every capture frame runs from "&&" to "!!" and its line end, every log frame ends in CR LF, and no
// frame is longer than the bound.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "replay/FieldText.h"
#include "replay/FrameReader.h"
#include "replay/MnemonicMap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CWitsCaptureReader capture("fuzz.bin", "0106");
  capture.OpenText(text);
  ReplayFrame frame;
  while (capture.Next(frame)) {
    if (!frame.bytes.starts_with("&&") || frame.bytes.find("!!", 2) == std::string::npos) std::abort();
    if (frame.bytes.size() > CFrameReader::kMaxFrameBytes + 4) std::abort();
  }
  CWitsLogReader log("fuzz.txt");
  log.Lines().OpenText(text);
  while (log.Next(frame)) {
    if (!frame.bytes.empty() && !frame.bytes.ends_with("\r\n")) std::abort();
    if (frame.bytes.size() > CFrameReader::kMaxFrameBytes) std::abort();
  }
  static const vorn::replay::CMnemonicMap defaults;  // the dictionary is read once
  vorn::replay::CMnemonicMap map = defaults;
  std::string error;
  if (!map.LoadText(text, "fuzz.json", error) && error.empty()) std::abort();
  (void)vorn::replay::ReadDateTime(text.substr(0, 80));
  return 0;
}
