#pragma once

// PROVISIONAL: the lead's placeholder so the engine compiles; the comms work replaces this file and
// CommsWrapper.cpp with the real link (serial port, TCP server, TCP client), keeping these members.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comms/CommsReceiverIF.h"
#include "comms/WitsCommSettings.h"
#include "support/Clock.h"

class CCommsWrapper {
 public:
  CCommsWrapper() = default;
  virtual ~CCommsWrapper();
  CCommsWrapper(const CCommsWrapper&) = delete;
  CCommsWrapper& operator=(const CCommsWrapper&) = delete;

  void Open();
  void Close();
  void Write(const std::vector<uint8_t>& bytes);
  void DeliverReceived(const std::vector<uint8_t>& bytes);
  void Service();

  // The engine's clocks: the wall clock stamps the status texts, the millisecond clock times attempts.
  void SetClocks(const vorn::Clocks& clocks) { m_clocks = clocks; }

  CWitsCommSettings m_settings;
  CommsReceiverIF* m_pReceiver = nullptr;
  int32_t m_nLinkId = LinkUnset;
  int32_t m_nStopRequest = 1;
  ConnectionState m_state = Closed;
  std::string m_strStatus;

 private:
  vorn::Clocks m_clocks;
};
