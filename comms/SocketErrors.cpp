#include "comms/SocketErrors.h"

#include <cerrno>

#include "support/Console.h"

int LinkErrorCode(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::AddressInUseError: return EADDRINUSE;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::NetworkError: return EHOSTUNREACH;
    case QAbstractSocket::SocketAccessError: return EACCES;
    default: return static_cast<int>(error);
  }
}

bool FitsSendBuffer(qint64 waiting, std::size_t size) {
  if (waiting >= 0 && waiting <= kMaxBytesWaitingToSend &&
      size <= static_cast<std::size_t>(kMaxBytesWaitingToSend - waiting)) return true;
  vorn::Console() << "Frame of " << size << " bytes dropped: " << waiting << " bytes still wait to be sent\n";
  return false;
}
