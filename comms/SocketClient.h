#pragma once

#include <QObject>
#include <QTcpSocket>
#include <cstdint>
#include <string>
#include <vector>

#include "comms/LinkWrite.h"

class CCommsWrapper;

// The peer's address and port of a connection ("127.0.0.1:50412"), for the console.
[[nodiscard]] std::string PeerAddressText(const QTcpSocket& socket);

// One TCP connection of a link: the accepted connection of a listening (Master) link, or the socket
// that connects out for a Slave link. Each connection is a fresh QTcpSocket owned by this object, so
// nothing queued for an earlier connection can reach a later one. Notifications (data, connect
// outcome, the peer's close) are reported to the owning link on the main event loop.
class CSocketClient : public QObject {
 public:
  CSocketClient() = default;
  ~CSocketClient() override;
  CSocketClient(const CSocketClient&) = delete;
  CSocketClient& operator=(const CSocketClient&) = delete;

  // Starts connecting and returns at once; the outcome reaches the owner's OnConnect. An address is
  // a dotted IPv4 address or a host name, looked up now. A name that cannot be resolved gives no
  // connect outcome: the attempt simply ends and the link retries on its next tick.
  void ConnectTo(const std::string& address, int32_t port);

  // Takes over a connection accepted by the listening socket.
  void Adopt(QTcpSocket* socket);

  // Queues all bytes for sending. They are dropped when no connection is established or they would
  // take the send buffer beyond its bound.
  LinkWrite Send(const std::vector<uint8_t>& bytes);

  // Shuts the connection down and releases it without reporting a close to the owner: the handlers
  // are detached first, because Qt also signals a close that we make ourselves. Closing what is not
  // open does nothing.
  void Close();

  [[nodiscard]] bool IsOpen() const { return m_pSocket != nullptr; }
  [[nodiscard]] bool IsConnecting() const;
  [[nodiscard]] bool IsConnected() const;
  [[nodiscard]] qint64 BytesWaitingToSend() const;
  // The peer's address and port ("127.0.0.1:50412"), for the console; empty when not open.
  [[nodiscard]] std::string PeerText() const;

  // The owning link; every notification is ignored while it is null.
  CCommsWrapper* m_pOwner = nullptr;
  // Which of a server's accepted connections this is (numbered from 1 as they come); 0 for the
  // socket of a Slave link. Received bytes are handed over with it.
  uint64_t m_nId = 0;

 private:
  void Attach(QTcpSocket* socket);
  void OnReceive();
  void OnConnected();
  void OnError(QAbstractSocket::SocketError error);
  void OnPeerClosed();

  QTcpSocket* m_pSocket = nullptr;  // child of this object
  bool m_bConnected = false;        // established: a close from now on is the peer's close
};
