#pragma once

#include <cstdint>
#include <vector>

// Identity of a link, passed along with the bytes it received.
enum LinkId : int32_t { LinkUnset = -1, WitsLink = 1, SkidLink = 2 };

// What a link hands its received bytes to. The engine implements it.
class CommsReceiverIF {
 public:
  // The receiver owns its copy of the bytes.
  virtual void CommsReceiverIF_OnReceive(std::vector<uint8_t> bytes, int32_t linkId) = 0;
  // One of a server link's clients is gone; what was kept for its arrivals may go too.
  virtual void CommsReceiverIF_OnClientGone(uint64_t /*clientId*/, int32_t /*linkId*/) {}
  virtual ~CommsReceiverIF() = default;
};
