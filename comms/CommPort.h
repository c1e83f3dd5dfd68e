#pragma once

#include <QSerialPort>
#include <cstdint>
#include <string>
#include <vector>

class CCommsWrapper;

// The serial port of a Comm link: opened by number with 8 data bits, no parity, 1 stop bit and the
// configured bit rate, read once per tick by the link's poll, written a whole frame at a time.
class CCommPort {
 public:
  // A close waits at most this long for queued bytes to go out; what is left then is dropped, so a
  // peer that never reads (or holds the line with flow control) cannot hold up a stop.
  static constexpr int kCloseDrainLimitMs = 2000;

  CCommPort();
  CCommPort(const CCommPort&) = delete;
  CCommPort& operator=(const CCommPort&) = delete;

  // The device that stands for port number n: "<data root>/Ports/COM<n>" when that entry exists
  // (a link to a USB adapter, a pseudo-terminal, ...), else "/dev/ttyS<n-1>".
  [[nodiscard]] static std::string DevicePath(int32_t portNumber);

  // Opens the port with the bit rate and 8 data bits, no parity, 1 stop bit; flow control and its
  // characters stay as the system set them, and input already waiting is discarded. A rate the port
  // refuses leaves it at the rate its line had, still open. True when open.
  bool Open(int32_t portNumber, int32_t baudRate);

  // One read of at most 32768 bytes, handed to the owner when any arrived.
  void Poll();

  // Queues all bytes for sending. False (the bytes dropped) when the port is not open or the bytes
  // would take the send buffer beyond its bound.
  bool Write(const std::vector<uint8_t>& bytes);

  // Closes the port when it is open, after what is still queued for it has gone out (waiting at
  // most kCloseDrainLimitMs).
  void Close();

  [[nodiscard]] bool IsOpen() const { return m_port.isOpen(); }
  // Bytes taken from the device that the next poll can deliver (at most 32768 are kept).
  [[nodiscard]] qint64 BytesWaiting() const { return m_bReady ? m_port.bytesAvailable() : 0; }

  // The owning link: received bytes and a failing port are reported to it.
  CCommsWrapper* m_pOwner = nullptr;

 private:
  void OnError(QSerialPort::SerialPortError error);
  void StoreLineSettings(int32_t baudRate);
  void SendQueued();
  void Release();

  QSerialPort m_port;
  bool m_bReady = false;  // open and configured: errors from now on close the port
};
