#pragma once

#include <array>
#include <cstdint>

#include "command/RigViewIF.h"
#include "comms/LinkWrite.h"

class CRigController;

namespace vorn::control {

// What a rig's WITS traffic and faults came to since the view was attached, for a monitoring system:
// counts only ever grow.
struct RigCounts {
  uint64_t framesSent = 0;
  uint64_t bytesSent = 0;
  // Frames the link did not take, by LinkWrite outcome (Sent's place stays 0).
  std::array<uint64_t, kLinkWriteOutcomes> framesNotSent{};
  uint64_t arrivals = 0;
  uint64_t bytesReceived = 0;  // of the arrivals' text (zero bytes, which the engine drops, not counted)
  uint64_t reconnects = 0;     // a receiver attached to a server, or a client's connection made, after the first
  uint64_t connects = 0;       // the same, the first included
  uint64_t faultsApplied = 0;

  [[nodiscard]] uint64_t FramesNotSent() const;
};

// The control API's view of one rig that counts, for its metrics. Attached to the controller while
// it lives.
class CRigCounters : public CRigViewIF {
 public:
  explicit CRigCounters(CRigController& controller);
  ~CRigCounters() override;
  CRigCounters(const CRigCounters&) = delete;
  CRigCounters& operator=(const CRigCounters&) = delete;

  [[nodiscard]] const RigCounts& Counts() const { return m_counts; }

  void OnFrameOut(std::string_view bytes, LinkWrite outcome) override;
  void OnArrival(std::string_view text) override;
  void OnLinkChanged(const RigLinkStatus& link) override;
  void OnFault(const FaultReport& report) override;

 private:
  CRigController& m_controller;
  RigCounts m_counts;
  bool m_hadPeer = false;
};

}  // namespace vorn::control
