// Received link bytes in arbitrary pieces: never a crash, the input buffer stays within its bound and
// holds no complete frame after a parse, and the engine's receive path takes anything on both links.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzEngine.h"
#include "wits/WitsFrame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 64;
  std::string buffer;
  for (size_t at = 1; at < size; at += piece) {
    buffer.append(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at));
    (void)ParseWitsFrames(buffer);
    BoundWitsInBuffer(buffer);
    if (buffer.size() > kMaxWitsInBufferBytes) std::abort();
    std::string copy = buffer;
    if (!ParseWitsFrames(copy).empty()) std::abort();
  }
  (void)ReadSkidGain(std::string(reinterpret_cast<const char*>(data), size));

  CRigSim& engine = FuzzEngine();
  engine.CommsReceiverIF_OnReceive(std::vector<uint8_t>(data + 1, data + size), WitsLink);
  engine.CommsReceiverIF_OnReceive(std::vector<uint8_t>(data + 1, data + size), SkidLink);
  if (engine.m_witsInItems.size() > 10000) engine.m_witsInItems.clear();
  return 0;
}
