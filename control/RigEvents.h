#pragma once

#include "command/RigViewIF.h"
#include "control/EventStreams.h"

class CRigController;

namespace vorn::control {

// The control API's view of one rig: every change the controller tells its views goes out on the
// rig's event streams as one JSON object, {"event": "<name>", ...}. Attached to the controller while
// it lives.
class CRigEvents : public CRigViewIF {
 public:
  explicit CRigEvents(CRigController& controller);
  ~CRigEvents() override;
  CRigEvents(const CRigEvents&) = delete;
  CRigEvents& operator=(const CRigEvents&) = delete;

  [[nodiscard]] CEventStreams& Streams() { return m_streams; }

  void OnRunChanged(bool running) override;
  void OnTenTimesChanged(bool on) override;
  void OnModeChanged(int mode, bool byEngine) override;
  void OnSubStateChanged(int subState) override;
  void OnLinkChanged(const RigLinkStatus& link) override;
  void OnPumpsChanged(bool on) override;
  void OnFrameOut(std::string_view bytes, LinkWrite outcome) override;
  void OnArrival(std::string_view text) override;
  void OnItemsChanged() override;
  void OnSettingsChanged(const CSimSettings& settings) override;
  void OnLinkSettingsChanged(const CWitsCommSettings& settings) override;
  void OnStateChanged(StateChange what) override;
  void OnMessage(const std::string& line) override;
  void OnFault(const FaultReport& report) override;

 private:
  template <typename Fill>
  void Send(std::string_view name, const Fill& fill);

  CRigController& m_controller;
  CEventStreams m_streams;
};

}  // namespace vorn::control
