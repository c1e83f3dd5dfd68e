#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cerrno>

#include "engine/LinkStatus.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/EventWait.h"

namespace {

using namespace vorn::test;

constexpr int kWaitMs = 5000;

std::string ReadAll(QTcpSocket& socket) { return socket.readAll().toStdString(); }

TEST(TcpLinkTest, ServerTakesOneClientAtATimeAndGoesOnListeningWhenItLeaves) {
  const uint16_t port = FreePort();
  TestLink server(TcpSettings(Master, port));
  server.Start();
  EXPECT_EQ(server.link.m_state, Connected);
  EXPECT_EQ(server.link.m_strStatus, "Connected TCP/IP Port " + std::to_string(port));
  EXPECT_FALSE(server.link.HasClient());
  EXPECT_FALSE(server.Write("lost"));  // no client: dropped

  QTcpSocket first;
  first.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return server.link.HasClient(); }, kWaitMs));
  QTcpSocket second;  // the newer client replaces the older one
  second.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return first.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  ASSERT_TRUE(WaitUntil([&] { return second.state() == QAbstractSocket::ConnectedState; }, kWaitMs));
  EXPECT_EQ(server.link.m_state, Connected);
  EXPECT_EQ(LinkMessageText(server.link), "Connected TCP/IP Port " + std::to_string(port) + " - Client Connected");

  EXPECT_TRUE(server.Write("&&\r\n012395\r\n!!\r\n"));
  std::string received;
  ASSERT_TRUE(WaitUntil([&] { return (received += ReadAll(second)).size() >= 16; }, kWaitMs));
  EXPECT_EQ(received, "&&\r\n012395\r\n!!\r\n");

  second.write("&&\r\n0108");
  second.write("12.5\r\n!!\r\n");
  ASSERT_TRUE(WaitUntil([&] { return server.receiver.text.size() >= 18; }, kWaitMs));
  EXPECT_EQ(server.receiver.text, "&&\r\n010812.5\r\n!!\r\n");
  EXPECT_EQ(server.receiver.lastLinkId, WitsLink);

  // Everything buffered is handed over, in deliveries of at most 32768 bytes.
  const std::string block(40000, 'b');
  server.receiver.text.clear();
  second.write(block.data(), static_cast<qint64>(block.size()));
  ASSERT_TRUE(WaitUntil([&] { return server.receiver.text.size() >= block.size(); }, kWaitMs));
  EXPECT_EQ(server.receiver.text, block);
  EXPECT_LE(server.receiver.largestDelivery, 32768u);

  // The client leaves: the server goes on listening, the link stays connected without a client.
  second.disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return !server.link.HasClient(); }, kWaitMs));
  EXPECT_EQ(server.link.m_state, Connected);
  EXPECT_EQ(LinkMessageText(server.link),
            "Connected TCP/IP Port " + std::to_string(port) + " - Client NOT Connected");
  EXPECT_FALSE(server.Write("lost"));
  QTcpSocket third;
  third.connectToHost("127.0.0.1", port);
  EXPECT_TRUE(WaitUntil([&] { return server.link.HasClient(); }, kWaitMs));

  // A stop closes it all: the status is empty and the port free again.
  server.link.m_nStopRequest = 1;
  server.link.Service();
  EXPECT_EQ(server.link.m_state, Closed);
  EXPECT_EQ(server.link.m_strStatus, "");
  QTcpServer probe;
  EXPECT_TRUE(probe.listen(QHostAddress::AnyIPv4, port));
}

TEST(TcpLinkTest, ReceiversThatReconnectAtOnceAreNeverRefusedAndEachGetsFrames) {
  const uint16_t port = FreePort();
  TestLink server(TcpSettings(Master, port));
  server.Start();
  ASSERT_EQ(server.link.m_state, Connected);
  // The engine's ticks, a little quicker than the real ones: service the link, then send a frame.
  const std::string frame = "&&\r\n0108" "1000\r\n!!\r\n";
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    server.link.Service();
    server.Write(frame);
  });
  ticks.start(30);

  for (int connection = 0; connection < 100; ++connection) {
    QTcpSocket receiver;
    receiver.connectToHost("127.0.0.1", port);
    std::string received;
    WaitUntil(
        [&] {
          received += ReadAll(receiver);
          return received.find(frame) != std::string::npos || receiver.error() != QAbstractSocket::UnknownSocketError;
        },
        kWaitMs);
    ASSERT_NE(received.find(frame), std::string::npos)
        << "connection " << connection << ": " << receiver.errorString().toStdString();
    // The receiver leaves; as soon as the server has seen it go, the next one connects.
    receiver.disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return !server.link.HasClient(); }, kWaitMs));
  }
  EXPECT_EQ(server.link.m_state, Connected);
}

TEST(TcpLinkTest, AServerPortInUseIsReportedAndRetriedOnEveryService) {
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress::AnyIPv4, 0));
  const int port = holder.serverPort();
  TestLink server(TcpSettings(Master, port));
  server.Start();
  const std::string failed = "Server Create on Port " + std::to_string(port) + " Failed. GetLastError = 98";
  EXPECT_EQ(server.link.m_state, TryingToConnect);
  EXPECT_EQ(server.link.m_strStatus, failed);
  holder.close();
  server.link.Service();
  EXPECT_EQ(server.link.m_strStatus, "Connected TCP/IP Port " + std::to_string(port));

  TestLink outOfRange(TcpSettings(Master, 70000));
  outOfRange.link.Open();
  EXPECT_EQ(outOfRange.link.m_strStatus, "Server Create on Port 70000 Failed. GetLastError = " + std::to_string(EINVAL));
}

TEST(TcpLinkTest, ClientReportsARefusalThenConnectsAndReconnectsAfterTheServerCloses) {
  const uint16_t port = FreePort();
  TestLink client(TcpSettings(Slave, port));
  client.Start();
  EXPECT_EQ(client.link.m_state, TryingToConnect);
  EXPECT_EQ(client.link.m_strStatus.rfind("Trying to Connect IP='127.0.0.1' Port=" + std::to_string(port) + ") @ ", 0),
            0u);
  EXPECT_NE(client.link.m_strStatus.find("/2022 "), std::string::npos);  // the engine's wall clock
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_strStatus.rfind("OnConnect", 0) == 0; }, kWaitMs));
  EXPECT_EQ(client.link.m_strStatus, "OnConnect Error Code: 111");

  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
  client.link.Service();
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, kWaitMs));
  EXPECT_EQ(client.link.m_strStatus, "Connected TCP/IP IP='127.0.0.1' Port=" + std::to_string(port));
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, kWaitMs));
  QTcpSocket* peer = server.nextPendingConnection();
  EXPECT_TRUE(client.Write("ping"));
  std::string received;
  ASSERT_TRUE(WaitUntil([&] { return (received += ReadAll(*peer)).size() >= 4; }, kWaitMs));
  EXPECT_EQ(received, "ping");

  peer->close();
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Closed; }, kWaitMs));
  client.link.Service();
  EXPECT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, kWaitMs));
}

TEST(TcpLinkTest, APendingConnectIsKeptForFiveSecondsAndAStopClosesIt) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  TestLink client(TcpSettings(Slave, server.serverPort()));
  client.Start();
  const std::string attempt = client.link.m_strStatus;
  client.clocks.Advance(100);
  client.link.Service();  // the attempt is still young: not started again
  EXPECT_EQ(client.link.m_strStatus, attempt);
  client.clocks.Advance(4900);
  client.link.Service();  // five seconds: given up and started afresh, with a new time
  EXPECT_EQ(client.link.m_state, TryingToConnect);
  EXPECT_NE(client.link.m_strStatus, attempt);
  EXPECT_EQ(client.link.m_strStatus.rfind("Trying to Connect IP=", 0), 0u);
  client.link.m_nStopRequest = 1;
  client.link.Service();
  EXPECT_EQ(client.link.m_state, Closed);
  EXPECT_EQ(client.link.m_strStatus, "");
}

TEST(TcpLinkTest, AHostNameThatCannotBeResolvedIsRetriedWithoutAnOutcome) {
  CWitsCommSettings settings = TcpSettings(Slave, 1234);
  settings.strIpAddress = "no-such-host.invalid";
  TestLink client(settings);
  client.Start();
  const std::string attempt = client.link.m_strStatus;
  EXPECT_EQ(attempt.rfind("Trying to Connect IP='no-such-host.invalid' Port=1234) @ ", 0), 0u);
  ASSERT_TRUE(WaitUntil([&] { return !client.link.m_client.IsConnecting(); }, 20000));
  EXPECT_EQ(client.link.m_state, TryingToConnect);
  EXPECT_EQ(client.link.m_strStatus, attempt);
  client.clocks.Advance(100);
  client.link.Service();
  EXPECT_NE(client.link.m_strStatus, attempt);
}

TEST(TcpLinkTest, AReceiverThatDoesNotReadCannotMakeTheSendBufferGrowWithoutBound) {
  const uint16_t port = FreePort();
  TestLink server(TcpSettings(Master, port));
  server.link.Open();
  QTcpSocket idle;
  idle.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return server.link.HasClient(); }, kWaitMs));
  const std::string frame(64 * 1024, 'x');
  int taken = 0;
  while (server.Write(frame) && taken < 100) ++taken;  // no event loop: nothing leaves Qt's buffer
  EXPECT_EQ(taken, 16);
}

TEST(TcpLinkTest, AnUnknownKindDoesNothing) {
  CWitsCommSettings settings;
  settings.commType = 2;
  TestLink odd(settings);
  odd.link.m_strStatus = "before";
  odd.link.Open();
  EXPECT_EQ(odd.link.m_state, TryingToConnect);
  EXPECT_EQ(odd.link.m_strStatus, "before");
  EXPECT_FALSE(odd.Write("x"));
  odd.Start();
  EXPECT_EQ(odd.link.m_strStatus, "");
  EXPECT_EQ(odd.link.m_state, TryingToConnect);
}

}  // namespace
