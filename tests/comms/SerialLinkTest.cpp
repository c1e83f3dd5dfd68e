#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <termios.h>
#include <unistd.h>

#include "comms/CommPort.h"
#include "support/DataRoot.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/EventWait.h"

namespace {

using namespace vorn::test;
namespace fs = std::filesystem;

constexpr int kWaitMs = 5000;
constexpr int kPortNumber = 5;

// A pseudo-terminal pair made by socat: one end is "COM5" of the data root, the other is the peer's.
class SerialLine {
 public:
  SerialLine() : m_peerPath(vorn::PortsFolder() + "/peer") {
    fs::create_directories(vorn::PortsFolder());
    const std::string com = vorn::PortsFolder() + "/COM" + std::to_string(kPortNumber);
    m_socat.start("socat", {"-d", "pty,raw,echo=0,link=" + QString::fromStdString(com),
                            "pty,raw,echo=0,link=" + QString::fromStdString(m_peerPath)});
    m_ready = m_socat.waitForStarted(kWaitMs) &&
              WaitUntil([&] { return fs::exists(com) && fs::exists(m_peerPath); }, kWaitMs);
    if (m_ready) m_peer = open(m_peerPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  }
  ~SerialLine() {
    if (m_peer >= 0) close(m_peer);
    Kill();
  }
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  [[nodiscard]] bool Ready() const { return m_ready && m_peer >= 0; }
  // Writes all of text; between partial writes (the line's buffer is full) `drain` runs, so the
  // other end can take what waits.
  void Send(const std::string& text, const std::function<void()>& drain = [] {}) const {
    size_t sent = 0;
    WaitUntil(
        [&] {
          const ssize_t n = write(m_peer, text.data() + sent, text.size() - sent);
          if (n > 0) sent += static_cast<size_t>(n);
          if (sent < text.size()) drain();
          return sent == text.size();
        },
        kWaitMs);
    ASSERT_EQ(sent, text.size());
  }
  std::string Receive(size_t count) const {
    std::string text;
    WaitUntil(
        [&] {
          char buffer[256];
          const ssize_t n = read(m_peer, buffer, sizeof buffer);
          if (n > 0) text.append(buffer, static_cast<size_t>(n));
          return text.size() >= count;
        },
        kWaitMs);
    return text;
  }
  void Kill() {
    if (m_socat.state() == QProcess::NotRunning) return;
    m_socat.kill();
    m_socat.waitForFinished(kWaitMs);
  }

 private:
  std::string m_peerPath;
  QProcess m_socat;
  bool m_ready = false;
  int m_peer = -1;
};

CWitsCommSettings SerialSettings(int32_t port) {
  CWitsCommSettings settings;
  settings.commType = Comm;
  settings.nCommPort = port;
  settings.nBaudRate = 19200;
  return settings;
}

TEST(SerialLinkTest, PortNumbersMapToTheDataRootsEntriesOrToTheSystemsPorts) {
  EXPECT_EQ(CCommPort::DevicePath(77), "/dev/ttyS76");
  fs::create_directories(vorn::PortsFolder());
  const std::string entry = vorn::PortsFolder() + "/COM78";
  fs::create_symlink("/nonexistent/device", entry);  // a link whose target is gone still counts
  EXPECT_EQ(CCommPort::DevicePath(78), entry);

  TestLink missing(SerialSettings(78));
  missing.link.m_nStopRequest = 0;
  missing.link.Service();
  EXPECT_EQ(missing.link.m_state, TryingToConnect);
  EXPECT_EQ(missing.link.m_strStatus.rfind("Trying to Connect to Comm Port 78 @ ", 0), 0u);
  fs::remove(entry);
}

TEST(SerialLinkTest, APortCarriesBytesBothWaysAndIsReopenedAfterTheDeviceVanishes) {
  if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "socat is not installed";
  auto line = std::make_unique<SerialLine>();
  ASSERT_TRUE(line->Ready());
  line->Send("stale input");  // waiting before the open: discarded
  TestLink serial(SerialSettings(kPortNumber));
  serial.link.m_nStopRequest = 0;
  serial.link.Service();
  ASSERT_EQ(serial.link.m_state, Connected) << serial.link.m_strStatus;
  EXPECT_EQ(serial.link.m_strStatus, "Connected to Comm Port 5  baudrate = 19200");

  EXPECT_TRUE(serial.Write("&&\r\n012395\r\n!!\r\n"));
  EXPECT_EQ(line->Receive(16), "&&\r\n012395\r\n!!\r\n");

  line->Send("&&\r\nDP:85\r\n!!\r\n");
  // Bytes reach the receiver only through the per-tick poll.
  ASSERT_TRUE(WaitUntil(
      [&] {
        serial.link.Service();
        return serial.receiver.text.size() >= 15;
      },
      kWaitMs));
  EXPECT_EQ(serial.receiver.text, "&&\r\nDP:85\r\n!!\r\n");

  // A poll takes at most 32768 bytes; the rest comes with the next ones.
  serial.receiver.text.clear();
  serial.receiver.deliveries = 0;
  line->Send(std::string(40000, 's'), [&] { serial.link.Service(); });
  ASSERT_TRUE(WaitUntil(
      [&] {
        serial.link.Service();
        return serial.receiver.text.size() >= 40000;
      },
      kWaitMs));
  EXPECT_EQ(serial.receiver.text, std::string(40000, 's'));
  EXPECT_GE(serial.receiver.deliveries, 2);
  EXPECT_LE(serial.receiver.largestDelivery, 32768u);

  // A second open of the same device fails while the link holds it.
  TestLink second(SerialSettings(kPortNumber));
  second.link.Open();
  EXPECT_EQ(second.link.m_state, TryingToConnect);

  // The device vanishes: the port is closed (no error storm), and the retries begin.
  line.reset();
  ASSERT_TRUE(WaitUntil(
      [&] {
        serial.link.Service();
        return serial.link.m_state == TryingToConnect;
      },
      kWaitMs));
  EXPECT_EQ(serial.link.m_strStatus.rfind("Trying to Connect to Comm Port 5 @ ", 0), 0u);
  line = std::make_unique<SerialLine>();
  ASSERT_TRUE(line->Ready());
  serial.link.Service();
  EXPECT_EQ(serial.link.m_state, Connected);
}

}  // namespace
