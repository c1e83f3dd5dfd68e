#include "comms/CommPort.h"

#include <QDeadlineTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <thread>

#include "comms/CommsWrapper.h"
#include "comms/DriverLineSettings.h"
#include "comms/SocketErrors.h"
#include "support/Console.h"
#include "support/DataRoot.h"

namespace {

// One poll hands the link at most this many bytes; more waits for the next tick.
constexpr qint64 kReadChunk = 32768;

}  // namespace

CCommPort::CCommPort() {
  // Bytes are taken from the device only as far as the polls use them; the rest waits in the driver.
  m_port.setReadBufferSize(kReadChunk);
  QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                   [this](QSerialPort::SerialPortError error) { OnError(error); });
}

std::string CCommPort::DevicePath(int32_t portNumber) {
  const std::string mapped = vorn::PortsFolder() + "/COM" + std::to_string(portNumber);
  std::error_code error;
  // The entry counts even when it is a link whose target is gone: opening it then fails.
  if (std::filesystem::exists(std::filesystem::symlink_status(mapped, error))) return mapped;
  return "/dev/ttyS" + std::to_string(static_cast<int64_t>(portNumber) - 1);
}

bool CCommPort::Open(int32_t portNumber, int32_t baudRate) {
  Close();
  const std::string path = DevicePath(portNumber);
  vorn::Console() << "Trying to Open Port " << path << "\n";
  m_port.setPortName(QString::fromStdString(path));
  // The open applies the line settings stored in the port object, so they are stored first: the
  // device is asked for the configured rate only, never for the rate of an earlier open.
  StoreLineSettings(baudRate);
  const CDriverLineSettings driver(path);  // read before the open resets the flow control
  bool opened = m_port.open(QIODevice::ReadWrite);
  if (!opened && m_port.error() == QSerialPort::UnsupportedOperationError && driver.BitRate() > 0) {
    // The rate is refused: the port opens at the rate its line already has and works on at that.
    m_port.clearError();
    StoreLineSettings(driver.BitRate());
    opened = m_port.open(QIODevice::ReadWrite);
  }
  if (!opened) {
    vorn::Console() << "Open " << path << ": " << m_port.errorString().toStdString() << "\n";
    m_port.clearError();
    return false;
  }
  driver.RestoreFlowControl(static_cast<int>(m_port.handle()));
  m_port.clear(QSerialPort::Input);  // input that was waiting before the open is discarded
  m_port.clearError();
  m_bReady = true;
  return true;
}

void CCommPort::StoreLineSettings(int32_t baudRate) {
  m_port.setBaudRate(baudRate);
  m_port.setDataBits(QSerialPort::Data8);
  m_port.setParity(QSerialPort::NoParity);
  m_port.setStopBits(QSerialPort::OneStop);
}

void CCommPort::Poll() {
  if (!m_bReady || m_pOwner == nullptr) return;
  const QByteArray data = m_port.read(kReadChunk);
  if (data.isEmpty()) return;
  m_pOwner->DeliverReceived(std::vector<uint8_t>(data.begin(), data.end()));
}

bool CCommPort::Write(const std::vector<uint8_t>& bytes) {
  if (!m_bReady) return false;
  if (!FitsSendBuffer(m_port.bytesToWrite(), bytes.size())) return false;
  if (bytes.empty()) return true;
  return m_port.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
         static_cast<qint64>(bytes.size());
}

void CCommPort::Close() {
  if (m_bReady) SendQueued();
  Release();
}

void CCommPort::SendQueued() {
  // Errors while waiting close nothing of their own: the close follows anyway.
  m_bReady = false;
  // A stop must not wait on a peer that never reads: the wait is bounded. The wait blocks the main
  // loop, as the close of a port does; a frame of a few hundred bytes takes well under a second.
  const QDeadlineTimer deadline(kCloseDrainLimitMs);
  while (m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
    if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) break;
  }
  // Then the driver's own queue: the close puts back the line settings the port had before the
  // open, which must not change the rate under bytes still on their way.
  const int descriptor = static_cast<int>(m_port.handle());
  int queued = 0;
  while (ioctl(descriptor, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const qint64 unsent = m_port.bytesToWrite() + std::max(queued, 0);
  if (unsent == 0) return;
  vorn::Console() << "Comm Port " << m_port.portName().toStdString() << ": " << unsent
                  << " bytes not sent before the close\n";
  tcflush(descriptor, TCOFLUSH);  // so the system's close does not wait for them either
}

void CCommPort::Release() {
  m_bReady = false;
  if (m_port.isOpen()) m_port.close();
  m_port.clearError();
}

void CCommPort::OnError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_bReady) return;
  // A device that vanished, or a line error: close the port, so that Qt stops repeating the error and
  // the link's retry reopens it when the device is back.
  vorn::Console() << "Comm Port " << m_port.portName().toStdString() << ": " << m_port.errorString().toStdString()
                  << "\n";
  Release();  // nothing more can be sent on a failed port
  if (m_pOwner != nullptr) m_pOwner->OnPortFailed();
}
