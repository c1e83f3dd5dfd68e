#include "control/EventStreams.h"

#include <QTcpSocket>
#include <algorithm>

namespace vorn::control {

void CEventStreams::Add(QTcpSocket& socket) {
  // No length: the stream ends when either side closes the connection.
  socket.write(
      "HTTP/1.1 200 OK\r\n"
      "Content-Type: text/event-stream\r\n"
      "Cache-Control: no-store\r\n"
      "Connection: close\r\n"
      "\r\n"
      ": events of the rig follow, one JSON object each\n\n");
  m_streams.emplace_back(&socket);
}

void CEventStreams::Publish(std::string_view json) {
  std::erase_if(m_streams, [](const QPointer<QTcpSocket>& s) {
    return s.isNull() || s->state() != QAbstractSocket::ConnectedState;
  });
  if (m_streams.empty()) return;
  QByteArray event;
  event.reserve(static_cast<qsizetype>(json.size()) + 8);
  event.append("data: ");
  event.append(json.data(), static_cast<qsizetype>(json.size()));
  event.append("\n\n");
  for (const QPointer<QTcpSocket>& stream : m_streams) {
    const qint64 unsent = stream->bytesToWrite();
    if (unsent > 0 && unsent + event.size() > kUnsentLimit) {
      stream->abort();  // a reader that stopped reading: dropped, with all it did not take
      continue;
    }
    stream->write(event);
  }
}

int CEventStreams::Count() const {
  return static_cast<int>(std::count_if(m_streams.begin(), m_streams.end(), [](const QPointer<QTcpSocket>& s) {
    return !s.isNull() && s->state() == QAbstractSocket::ConnectedState;
  }));
}

}  // namespace vorn::control
