#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "comms/CommPort.h"
#include "comms/CommsReceiverIF.h"
#include "comms/SocketClient.h"
#include "comms/SocketServer.h"
#include "comms/WitsCommSettings.h"
#include "support/Clock.h"

// One communications link: a serial port, or TCP as server (Master, one client at a time unless the
// settings allow several) or client (Slave), chosen by its settings. It has no thread or timer of its own: the engine's tick services
// it, and socket events reach it through the main event loop. Failures show only in the state and
// status text, and a link that is not connected is retried on every tick while it should be open.
// Who took the first piece of bytes that go out in pieces: the link's channels as they were then
// (counted by their closes) and the newest of a server's clients then. Later pieces go to them alone.
struct LinkAudience {
  uint64_t channelCloses = 0;
  uint64_t newestClient = 0;
};

class CCommsWrapper {
 public:
  CCommsWrapper() = default;
  virtual ~CCommsWrapper();
  CCommsWrapper(const CCommsWrapper&) = delete;
  CCommsWrapper& operator=(const CCommsWrapper&) = delete;

  // Opens the channel the settings choose; the outcome shows in m_state and m_strStatus.
  void Open();
  // Closes every channel of the link: afterwards the state is Closed and the status text empty.
  void Close();
  // Writes all bytes to the channel of the link's kind and role: the serial port, the accepted
  // clients (Master) or the connected socket (Slave). Says whether the bytes were taken for sending,
  // or why they were dropped: no open channel, no client, or more than 1 MiB would then wait to be
  // sent to a peer that does not read. The connection state is not consulted. While the arrival of
  // one of a server's several clients is being delivered, the bytes go to that client alone: they
  // are its answer.
  LinkWrite Write(const std::vector<uint8_t>& bytes);
  // As Write, to one of a server's clients by its number (ArrivalClient), or to every client for 0.
  LinkWrite WriteTo(const std::vector<uint8_t>& bytes, uint64_t clientId);
  // Who a write now would reach, for a frame going out in pieces (see WriteOn).
  [[nodiscard]] LinkAudience Audience() const { return {m_nChannelCloses, m_server.NewestClientId()}; }
  // As WriteTo, for a later piece of bytes whose first piece went to `audience`: refused
  // (Interrupted) when the link's channels closed since, and on a server sent only to the clients
  // that were there, so that no peer ever gets the tail of a frame without its start.
  LinkWrite WriteOn(const std::vector<uint8_t>& bytes, uint64_t clientId, const LinkAudience& audience);
  // Whether a write now has a peer to reach: an open serial port, a server's client (the one named,
  // or any for 0), a connected client socket.
  [[nodiscard]] bool HasPeer(uint64_t clientId = 0) const;
  // Hands received bytes and the link id to the receiver; dropped when there is none. `clientId`
  // names the server's client they came from (0: the link's one channel).
  void DeliverReceived(const std::vector<uint8_t>& bytes, uint64_t clientId = 0);
  // The client of a server serving several whose bytes are being delivered now; 0 at any other
  // time and on any other link, whose arrivals all come from one peer.
  [[nodiscard]] uint64_t ArrivalClient() const { return m_nArrivalClient; }
  // The per-tick rule: poll a connected serial port; reopen a link that should be open and is not;
  // close a link that should be closed.
  void Service();
  // Closes every channel now and keeps the link closed for `ms` on the millisecond clock; then the
  // retry opens it again. A Master link thus drops its client and listens again afterwards, a Slave
  // link reconnects, a serial port reopens. A Close ends the wait.
  void Suspend(uint32_t ms);
  [[nodiscard]] bool Suspended() const;
  // Ends a Suspend's wait now: a link that should be open opens again at once.
  void Resume();

  // The engine's clocks: the wall clock stamps the status texts, the millisecond clock times
  // connect attempts.
  void SetClocks(const vorn::Clocks& clocks) { m_clocks = clocks; }

  // How many times the link was opened: each retry is one.
  [[nodiscard]] uint64_t OpenAttempts() const { return m_nOpenAttempts; }

  // For a Master link: whether a client is attached, and how many are.
  [[nodiscard]] bool HasClient() const { return m_server.HasClient(); }
  [[nodiscard]] int ClientCount() const { return m_server.ClientCount(); }

  // Events reported by the link's sockets and serial port, on the main thread.
  void OnConnect(int errorCode);  // outcome of a Slave connect: 0 or an error number
  // The peer closed `socket`: the Master's accepted client or the Slave connection. A Master link
  // stays connected and listening, without a client; any other closes all its channels.
  void OnClose(const CSocketClient& socket);
  void OnPortFailed();            // the serial port failed and was closed
  // A server's client is gone (it left, was dropped, replaced, or the link closed): the receiver
  // may forget what it kept for it.
  void OnClientGone(uint64_t clientId);

  CWitsCommSettings m_settings;
  CommsReceiverIF* m_pReceiver = nullptr;  // not owned
  int32_t m_nLinkId = LinkUnset;
  int32_t m_nStopRequest = 1;  // 0: the link should be open; 1: it should be closed
  ConnectionState m_state = Closed;
  CSocketServer m_server;  // Master: the listening socket and its accepted client
  CSocketClient m_client;  // Slave: the socket that connects out
  CCommPort m_commPort;
  std::string m_strStatus;

 private:
  // A Slave connect still in progress is kept until it succeeds, fails, or has run this long; a
  // server behind a slow link (satellite, VPN) takes longer than one tick to answer.
  static constexpr int32_t kConnectAttemptLimitMs = 5000;

  void CloseChannels();
  [[nodiscard]] bool SlaveConnectPending() const;
  [[nodiscard]] std::string TimeStamp() const;

  vorn::Clocks m_clocks;
  uint32_t m_connectStartMs = 0;
  uint64_t m_nOpenAttempts = 0;
  uint64_t m_nArrivalClient = 0;
  uint64_t m_nChannelCloses = 0;
  std::optional<uint32_t> m_suspendedUntilMs;
};
