#pragma once

#include <QAbstractSocket>
#include <cstddef>

// Error numbers shown to the operator for socket failures. Qt reports its own error kinds, not the
// system's numbers, so each kind that has one is shown as the errno value it stands for (111 refused,
// 98 address in use, 110 timed out, 104 reset, 113 no route, 13 access); any other kind is shown as
// Qt's own enum value.
[[nodiscard]] int LinkErrorCode(QAbstractSocket::SocketError error);

// At most this many bytes may wait in a link's send buffer (a peer that stops reading must not make
// it grow without bound). A frame that would go beyond is dropped whole.
inline constexpr qint64 kMaxBytesWaitingToSend = 1 << 20;

// True when a frame of `size` bytes may join `waiting` bytes already queued; otherwise writes the
// drop to the diagnostic console and returns false.
[[nodiscard]] bool FitsSendBuffer(qint64 waiting, std::size_t size);
