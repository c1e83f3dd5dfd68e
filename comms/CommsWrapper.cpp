#include "comms/CommsWrapper.h"

// PROVISIONAL placeholder, see the header.
CCommsWrapper::~CCommsWrapper() { Close(); }
void CCommsWrapper::Open() { m_state = TryingToConnect; }
void CCommsWrapper::Close() {
  m_strStatus.clear();
  m_state = Closed;
}
void CCommsWrapper::Write(const std::vector<uint8_t>&) {}
void CCommsWrapper::DeliverReceived(const std::vector<uint8_t>& bytes) {
  if (m_pReceiver != nullptr) m_pReceiver->CommsReceiverIF_OnReceive(bytes, m_nLinkId);
}
void CCommsWrapper::Service() {
  if (m_nStopRequest == 0) {
    if (m_state == TryingToConnect || m_state == Closed) {
      Close();
      Open();
    }
  } else if (m_nStopRequest == 1 && (m_state == TryingToConnect || m_state == Connected)) {
    Close();
  }
}
