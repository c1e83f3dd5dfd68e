#pragma once

#include <QTcpServer>
#include <cstdint>
#include <string>
#include <vector>

#include "comms/LinkWrite.h"
#include "comms/SocketClient.h"

class CCommsWrapper;

// The listening socket of a Master link and the connections it accepted. With one client allowed,
// a newer connection replaces the older one. With more, every client gets every frame, each with its
// own send bound: a client that leaves more than the bound unread is dropped and the others never
// wait for it; a connection beyond the limit is closed at once. It goes on listening while its
// clients come and go.
class CSocketServer : public QTcpServer {
 public:
  CSocketServer();
  ~CSocketServer() override;
  CSocketServer(const CSocketServer&) = delete;
  CSocketServer& operator=(const CSocketServer&) = delete;

  // Listens on `port` with a backlog of 5, on `address` (a local IP address) or, when it is empty, on
  // every local IPv4 address. On failure returns false with the error number (see LinkErrorCode) in
  // `errorCode`.
  bool Create(int32_t port, const std::string& address, int& errorCode);

  // Closes every accepted connection and the listening socket.
  void Close();
  // Lets the client go (it left); the server goes on listening for the next one.
  void DropClient(uint64_t clientId);

  // How many clients are served at once, from 1 to kMaxLinkClients (values beyond are held to them).
  // Takes effect for the connections accepted from now on.
  void SetMaxClients(int32_t count);
  [[nodiscard]] int32_t MaxClients() const { return m_nMaxClients; }
  [[nodiscard]] bool ServesSeveral() const { return m_nMaxClients > 1; }

  // Queues the bytes for `clientId`, or for every client when it is 0. Sent when at least one client
  // took them; otherwise why not: no client (or not the one named), or the send bound.
  LinkWrite Send(const std::vector<uint8_t>& bytes, uint64_t clientId);

  [[nodiscard]] bool HasClient() const { return !m_clients.empty(); }
  [[nodiscard]] int ClientCount() const { return static_cast<int>(m_clients.size()); }
  [[nodiscard]] const std::vector<CSocketClient*>& Clients() const { return m_clients; }
  // The number of the last connection accepted (they count from 1); 0 before the first.
  [[nodiscard]] uint64_t NewestClientId() const { return m_nNextClientId - 1; }

  // The owning link: it is told of every client that goes, and owns the clients' notifications.
  CCommsWrapper* m_pOwner = nullptr;

 private:
  void OnAccept();
  // Closes the client, tells the owner and deletes it once control is back in the event loop (this
  // may run inside one of the client's own notifications).
  void Retire(std::size_t index);

  std::vector<CSocketClient*> m_clients;  // children of this object, oldest first
  int32_t m_nMaxClients = 1;
  uint64_t m_nNextClientId = 1;
};
