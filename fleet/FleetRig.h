#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "command/RigController.h"
#include "engine/RigSim.h"
#include "support/StatusLine.h"

// One rig of a fleet: an engine in its own data root with its controller, as one rig alone has, and
// the little the fleet's status line counts of it. Lines the controller has for the operator come out
// with the rig's number in front.
class CFleetRig : private CRigViewIF {
 public:
  CFleetRig(int number, const std::string& dataRoot, vorn::Clocks clocks, vorn::StatusPrinter print);
  ~CFleetRig() override;
  CFleetRig(const CFleetRig&) = delete;
  CFleetRig& operator=(const CFleetRig&) = delete;

  [[nodiscard]] int Number() const { return m_number; }
  [[nodiscard]] CRigController& Controller() { return m_controller; }
  [[nodiscard]] const CRigSim& Engine() const { return m_engine; }
  // A server with a receiver attached, or a client connected to its peer.
  [[nodiscard]] bool LinkHasPeer() const;
  // Frames the link took since the last call.
  uint64_t TakeFramesSent() { return std::exchange(m_framesSent, 0); }
  // A line of this rig's to the fleet's status output ("Rig <k>: <line>" as text).
  void Print(std::string_view kind, const std::string& line) const;

 private:
  void OnFrameOut(std::string_view bytes, LinkWrite outcome) override;
  void OnMessage(const std::string& line) override;

  int m_number;
  vorn::StatusPrinter m_print;
  CRigSim m_engine;
  CRigController m_controller;
  uint64_t m_framesSent = 0;
};
