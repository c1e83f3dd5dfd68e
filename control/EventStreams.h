#pragma once

#include <QObject>
#include <QPointer>
#include <string_view>
#include <vector>

class QTcpSocket;

namespace vorn::control {

// The open event streams of one rig: Server-Sent Events, one JSON object per event. A reader that
// does not keep up is dropped once the bytes it has not taken pass kUnsentLimit, so a stalled reader
// can never make the program's memory grow.
class CEventStreams : public QObject {
  Q_OBJECT

 public:
  static constexpr qint64 kUnsentLimit = 1024 * 1024;

  // Starts a stream on the connection: the answer's head goes out now, the events as they come.
  void Add(QTcpSocket& socket);
  // Sends one event to every stream.
  void Publish(std::string_view json);
  [[nodiscard]] int Count() const;

 private:
  std::vector<QPointer<QTcpSocket>> m_streams;
};

}  // namespace vorn::control
