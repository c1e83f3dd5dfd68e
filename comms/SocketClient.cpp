#include "comms/SocketClient.h"

#include <QHostAddress>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <utility>

#include "comms/CommsWrapper.h"
#include "comms/SocketErrors.h"
#include "support/Console.h"

namespace {

// One delivery hands the link at most this many bytes.
constexpr qint64 kReceiveChunk = 32768;

}  // namespace

std::string PeerAddressText(const QTcpSocket& socket) {
  return socket.peerAddress().toString().toStdString() + ":" + std::to_string(socket.peerPort());
}

CSocketClient::~CSocketClient() { Close(); }

void CSocketClient::ConnectTo(const std::string& address, int32_t port) {
  Close();
  if (port < 0 || port > 65535) {
    // Qt would silently connect to the port number cut to 16 bits.
    vorn::Console() << "Connect to " << address << " port " << port << ": no such port\n";
    if (m_pOwner != nullptr) m_pOwner->OnConnect(EINVAL);
    return;
  }
  auto* socket = new QTcpSocket(this);
  Attach(socket);
  socket->connectToHost(QString::fromStdString(address), static_cast<quint16>(port));
}

void CSocketClient::Adopt(QTcpSocket* socket) {
  Close();
  socket->setParent(this);
  Attach(socket);
  m_bConnected = true;
  if (socket->bytesAvailable() > 0) OnReceive();
}

void CSocketClient::Attach(QTcpSocket* socket) {
  m_pSocket = socket;
  m_bConnected = false;
  connect(socket, &QIODevice::readyRead, this, &CSocketClient::OnReceive);
  connect(socket, &QAbstractSocket::connected, this, &CSocketClient::OnConnected);
  connect(socket, &QAbstractSocket::errorOccurred, this, &CSocketClient::OnError);
  connect(socket, &QAbstractSocket::disconnected, this, &CSocketClient::OnPeerClosed);
}

LinkWrite CSocketClient::Send(const std::vector<uint8_t>& bytes) {
  if (!IsConnected()) return LinkWrite::NoChannel;
  if (!FitsSendBuffer(m_pSocket->bytesToWrite(), bytes.size())) return LinkWrite::SendBoundPassed;
  if (bytes.empty()) return LinkWrite::Sent;
  const auto size = static_cast<qint64>(bytes.size());
  return m_pSocket->write(reinterpret_cast<const char*>(bytes.data()), size) == size ? LinkWrite::Sent
                                                                                    : LinkWrite::Failed;
}

void CSocketClient::Close() {
  m_bConnected = false;
  if (m_pSocket == nullptr) return;
  QTcpSocket* socket = std::exchange(m_pSocket, nullptr);
  socket->disconnect(this);
  // What waits in our buffer goes to the system, which still sends it after the close.
  if (socket->state() == QAbstractSocket::ConnectedState) socket->flush();
  socket->abort();
  // Deleted later: this may run inside one of the socket's own signals.
  socket->deleteLater();
}

bool CSocketClient::IsConnecting() const {
  return m_pSocket != nullptr && (m_pSocket->state() == QAbstractSocket::HostLookupState ||
                                  m_pSocket->state() == QAbstractSocket::ConnectingState);
}

bool CSocketClient::IsConnected() const {
  return m_pSocket != nullptr && m_pSocket->state() == QAbstractSocket::ConnectedState;
}

qint64 CSocketClient::BytesWaitingToSend() const { return m_pSocket != nullptr ? m_pSocket->bytesToWrite() : 0; }

std::string CSocketClient::PeerText() const { return m_pSocket != nullptr ? PeerAddressText(*m_pSocket) : std::string(); }

void CSocketClient::OnReceive() {
  if (m_pOwner == nullptr) return;
  // Qt signals once per arrival: hand over everything buffered, in pieces of at most 32768 bytes.
  QTcpSocket* const socket = m_pSocket;
  while (socket != nullptr && m_pSocket == socket && socket->bytesAvailable() > 0) {
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min(socket->bytesAvailable(), kReceiveChunk)));
    const qint64 count = socket->read(reinterpret_cast<char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (count <= 0) break;
    bytes.resize(static_cast<size_t>(count));
    m_pOwner->DeliverReceived(bytes, m_nId);
  }
}

void CSocketClient::OnConnected() {
  if (m_pOwner == nullptr) return;
  m_bConnected = true;
  m_pOwner->OnConnect(0);
}

void CSocketClient::OnError(QAbstractSocket::SocketError error) {
  if (m_pOwner == nullptr || m_pSocket == nullptr) return;
  const int code = LinkErrorCode(error);
  vorn::Console() << "Socket error " << code << ": " << m_pSocket->errorString().toStdString() << "\n";
  if (m_bConnected) {
    // The peer's close or a broken connection: disconnected() normally follows; act now if it will not.
    if (m_pSocket->state() == QAbstractSocket::UnconnectedState) OnPeerClosed();
    return;
  }
  if (IsConnecting()) return;  // Qt goes on with the host's next address
  if (error == QAbstractSocket::HostNotFoundError) return;  // no connect outcome; the next tick retries
  m_pOwner->OnConnect(code);
}

void CSocketClient::OnPeerClosed() {
  if (m_pOwner == nullptr || !m_bConnected) return;
  OnReceive();  // bytes that arrived just before the close are still delivered
  if (!m_bConnected) return;  // the receiver closed the link meanwhile
  m_bConnected = false;
  m_pOwner->OnClose(*this);
}
