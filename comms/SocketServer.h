#pragma once

#include <QTcpServer>
#include <cstdint>

#include "comms/SocketClient.h"

// The listening socket of a Master link. It serves one client at a time: a newer connection replaces
// the older one, and it goes on listening when its client leaves. The has-client flag says whether a
// client is attached.
class CSocketServer : public QTcpServer {
 public:
  CSocketServer();
  ~CSocketServer() override;
  CSocketServer(const CSocketServer&) = delete;
  CSocketServer& operator=(const CSocketServer&) = delete;

  // Listens on `port` on every local IPv4 address with a backlog of 5. On failure returns false with
  // the error number (see LinkErrorCode) in `errorCode`.
  bool Create(int32_t port, int& errorCode);

  // Closes the accepted connection and the listening socket, and clears the has-client flag.
  void Close();
  // Lets the accepted client go (it left); the server goes on listening for the next one.
  void DropClient();

  [[nodiscard]] bool HasClient() const { return m_bHasClient; }

  CSocketClient m_acceptedClient;  // destroyed before the listening socket
  bool m_bHasClient = false;

 private:
  void OnAccept();
};
