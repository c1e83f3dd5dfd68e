#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "comms/CommsWrapper.h"
#include "tests/engine/ManualClocks.h"

namespace vorn::test {

// Collects what a link delivers, with the link id it came with.
struct RecordingReceiver : CommsReceiverIF {
  void CommsReceiverIF_OnReceive(std::vector<uint8_t> bytes, int32_t linkId) override {
    text.append(bytes.begin(), bytes.end());
    lastLinkId = linkId;
    ++deliveries;
    largestDelivery = std::max(largestDelivery, bytes.size());
  }
  std::string text;
  int32_t lastLinkId = LinkUnset;
  int deliveries = 0;
  size_t largestDelivery = 0;
};

// A link with the engine's wiring: a receiver, an id and hand-driven clocks.
struct TestLink {
  explicit TestLink(CWitsCommSettings settings) {
    link.m_settings = std::move(settings);
    link.m_pReceiver = &receiver;
    link.m_nLinkId = WitsLink;
    link.SetClocks(clocks.Make());
  }
  bool Write(const std::string& text) { return link.Write(std::vector<uint8_t>(text.begin(), text.end())); }
  // As a run starts: the link should be open, and the first service opens it.
  void Start() {
    link.m_nStopRequest = 0;
    link.Service();
  }

  ManualClocks clocks;
  RecordingReceiver receiver;
  CCommsWrapper link;
};

inline CWitsCommSettings SerialSettings(int32_t port, int32_t baudRate = 19200) {
  CWitsCommSettings settings;
  settings.commType = Comm;
  settings.nCommPort = port;
  settings.nBaudRate = baudRate;
  return settings;
}

inline CWitsCommSettings TcpSettings(int32_t role, int32_t port) {
  CWitsCommSettings settings;
  settings.commType = TcpIp;
  settings.tcpIpType = role;
  settings.nTcpIpPort = port;
  return settings;
}

}  // namespace vorn::test
