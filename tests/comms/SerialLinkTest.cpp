#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <termios.h>

#include "comms/CommPort.h"
#include "support/DataRoot.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/EventWait.h"
#include "tests/common/SerialLine.h"

namespace {

using namespace vorn::test;
namespace fs = std::filesystem;

constexpr int kWaitMs = SerialLine::kWaitMs;
constexpr int kPortNumber = 5;

std::string PortPath() { return vorn::PortsFolder() + "/COM" + std::to_string(kPortNumber); }

TEST(SerialLinkTest, PortNumbersMapToTheDataRootsEntriesOrToTheSystemsPorts) {
  EXPECT_EQ(CCommPort::DevicePath(77), "/dev/ttyS76");
  fs::create_directories(vorn::PortsFolder());
  const std::string entry = vorn::PortsFolder() + "/COM78";
  fs::create_symlink("/nonexistent/device", entry);  // a link whose target is gone still counts
  EXPECT_EQ(CCommPort::DevicePath(78), entry);

  TestLink missing(SerialSettings(78));
  missing.Start();
  EXPECT_EQ(missing.link.m_state, TryingToConnect);
  EXPECT_EQ(missing.link.m_strStatus.rfind("Trying to Connect to Comm Port 78 @ ", 0), 0u);
  fs::remove(entry);
}

TEST(SerialLinkTest, APortCarriesBytesBothWaysAndIsReopenedAfterTheDeviceVanishes) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  auto line = std::make_unique<SerialLine>(PortPath());
  ASSERT_TRUE(line->Ready());
  ASSERT_TRUE(line->Send("stale input"));  // waiting before the open: discarded
  TestLink serial(SerialSettings(kPortNumber));
  serial.Start();
  ASSERT_EQ(serial.link.m_state, Connected) << serial.link.m_strStatus;
  EXPECT_EQ(serial.link.m_strStatus, "Connected to Comm Port 5  baudrate = 19200");

  EXPECT_TRUE(serial.Write("&&\r\n012395\r\n!!\r\n"));
  EXPECT_EQ(line->Receive(16), "&&\r\n012395\r\n!!\r\n");

  ASSERT_TRUE(line->Send("&&\r\nDP:85\r\n!!\r\n"));
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
  ASSERT_TRUE(line->Send(std::string(40000, 's'), [&] { serial.link.Service(); }));
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
  line = std::make_unique<SerialLine>(PortPath());
  ASSERT_TRUE(line->Ready());
  serial.link.Service();
  EXPECT_EQ(serial.link.m_state, Connected);
}

TEST(SerialLinkTest, OpeningAppliesRateAnd8N1AndKeepsTheFlowControlTheSystemSet) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialLine line(PortPath());
  ASSERT_TRUE(line.Ready());
  // A pseudo-terminal keeps neither parity nor a character size other than 8, so the stop bits stand
  // for the line format the open must replace.
  ASSERT_TRUE(line.Stty({"4800", "cstopb", "ixon", "ixoff", "crtscts", "start", "^A", "stop", "^B"}));
  TestLink serial(SerialSettings(kPortNumber));
  serial.Start();
  ASSERT_EQ(serial.link.m_state, Connected) << serial.link.m_strStatus;

  const termios open = line.LineSettings();
  EXPECT_EQ(cfgetospeed(&open), B19200);
  EXPECT_EQ(cfgetispeed(&open), B19200);
  EXPECT_EQ(open.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(open.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(open.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_EQ(open.c_cflag & CRTSCTS, static_cast<tcflag_t>(CRTSCTS));
  EXPECT_EQ(open.c_cc[VSTART], 1);
  EXPECT_EQ(open.c_cc[VSTOP], 2);

  // A port set up without flow control stays without it.
  serial.link.Close();
  ASSERT_TRUE(line.Stty({"-ixon", "-ixoff", "-crtscts"}));
  serial.link.Open();
  ASSERT_EQ(serial.link.m_state, Connected);
  EXPECT_EQ(line.LineSettings().c_iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(line.LineSettings().c_cflag & CRTSCTS, 0u);
}

TEST(SerialLinkTest, ARateThePortRefusesLeavesTheLineAtItsOwnRateAndConnected) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialLine line(PortPath());
  ASSERT_TRUE(line.Ready());
  ASSERT_TRUE(line.Stty({"4800"}));
  CWitsCommSettings settings = SerialSettings(kPortNumber);
  settings.nBaudRate = 0;  // what a settings file without a rate gives
  TestLink serial(settings);
  serial.Start();
  ASSERT_EQ(serial.link.m_state, Connected);
  EXPECT_EQ(serial.link.m_strStatus, "Connected to Comm Port 5  baudrate = 0");
  const termios now = line.LineSettings();
  EXPECT_EQ(cfgetospeed(&now), B4800);
  EXPECT_TRUE(serial.Write("&&\r\n!!\r\n"));
  EXPECT_EQ(line.Receive(8), "&&\r\n!!\r\n");
}

TEST(SerialLinkTest, ClosingSendsWhatIsStillQueuedButGivesUpOnAPeerThatNeverReads) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialLine line(PortPath());
  ASSERT_TRUE(line.Ready());
  TestLink serial(SerialSettings(kPortNumber));
  serial.Start();
  ASSERT_EQ(serial.link.m_state, Connected) << serial.link.m_strStatus;

  // A frame written just before a stop, with no pass of the event loop between, still goes out.
  const std::string frame = "&&\r\n0108" + std::string(400, '7') + "\r\n!!\r\n";
  ASSERT_TRUE(serial.Write(frame));
  serial.link.m_nStopRequest = 1;
  serial.link.Service();
  EXPECT_EQ(serial.link.m_state, Closed);
  EXPECT_EQ(line.Receive(frame.size()), frame);

  // The peer reads nothing: the line fills up, and the close gives up after its bound.
  serial.Start();
  ASSERT_EQ(serial.link.m_state, Connected);
  const std::string block(64 * 1024, 'x');
  while (serial.Write(block)) {
  }
  const auto before = std::chrono::steady_clock::now();
  serial.link.Close();
  const auto took = std::chrono::steady_clock::now() - before;
  EXPECT_LT(took, std::chrono::milliseconds(CCommPort::kCloseDrainLimitMs + 3000));
  EXPECT_FALSE(serial.link.m_commPort.IsOpen());
}

}  // namespace
