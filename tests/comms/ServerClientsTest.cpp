#include <gtest/gtest.h>

#include <QNetworkInterface>
#include <QTcpSocket>
#include <cerrno>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "engine/LinkStatus.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/EventWait.h"

namespace {

using namespace vorn::test;

constexpr int kWaitMs = 5000;

CWitsCommSettings ServerFor(int32_t clients, const std::string& listenAddress = {}) {
  CWitsCommSettings settings = TcpSettings(Master, FreePort());
  settings.nMaxClients = clients;
  settings.strListenAddress = listenAddress;
  return settings;
}

// A receiver on the loopback address that reads everything that comes.
struct Reader {
  explicit Reader(int32_t port) { socket.connectToHost("127.0.0.1", static_cast<quint16>(port)); }
  std::string Take() { return received += socket.readAll().toStdString(); }
  QTcpSocket socket;
  std::string received;
};

// Every reader has `count` bytes, or the wait ran out.
bool AllReceived(std::vector<std::unique_ptr<Reader>>& readers, std::size_t count) {
  return WaitUntil(
      [&] {
        bool all = true;
        for (auto& reader : readers) all = reader->Take().size() >= count && all;
        return all;
      },
      kWaitMs);
}

// Writes as the engine's answer to the client whose arrival it takes: what it gets, echoed back.
struct EchoReceiver : CommsReceiverIF {
  void CommsReceiverIF_OnReceive(std::vector<uint8_t> bytes, int32_t) override {
    clients.push_back(link->ArrivalClient());
    link->Write(bytes);
  }
  CCommsWrapper* link = nullptr;
  std::vector<uint64_t> clients;
};

TEST(ServerClients, WithOneClientAllowedTheNewestReplacesTheOlder) {
  TestLink server(ServerFor(1));
  server.Start();
  Reader first(server.link.m_settings.nTcpIpPort);
  ASSERT_TRUE(WaitUntil([&] { return server.link.HasClient(); }, kWaitMs));
  Reader second(server.link.m_settings.nTcpIpPort);
  ASSERT_TRUE(WaitUntil([&] { return first.socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  EXPECT_EQ(server.link.ClientCount(), 1);
  EXPECT_EQ(LinkMessageText(server.link),
            "Connected TCP/IP Port " + std::to_string(server.link.m_settings.nTcpIpPort) + " - Client Connected");
  EXPECT_TRUE(server.Write("frame"));
  ASSERT_TRUE(WaitUntil([&] { return second.Take() == "frame"; }, kWaitMs));
  EXPECT_EQ(first.Take(), "");
}

TEST(ServerClients, EveryClientGetsEveryFrameByteForByteAndTheStatusCountsThem) {
  TestLink server(ServerFor(3));
  server.Start();
  const int32_t port = server.link.m_settings.nTcpIpPort;
  std::vector<std::unique_ptr<Reader>> readers;
  for (int i = 0; i < 3; ++i) {
    readers.push_back(std::make_unique<Reader>(port));
    ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == i + 1; }, kWaitMs));
  }
  EXPECT_EQ(LinkMessageText(server.link), "Connected TCP/IP Port " + std::to_string(port) + " - 3 Clients Connected");
  std::string sent;
  for (int frame = 0; frame < 50; ++frame) {
    const std::string bytes = "&&\r\n0108" + std::to_string(1000 + frame) + "\r\n!!\r\n";
    ASSERT_TRUE(server.Write(bytes));
    sent += bytes;
  }
  ASSERT_TRUE(AllReceived(readers, sent.size()));
  for (auto& reader : readers) EXPECT_EQ(reader->received, sent);

  // One leaves: the others stay, and the status says how many.
  readers[1]->socket.disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == 2; }, kWaitMs));
  EXPECT_EQ(LinkMessageText(server.link), "Connected TCP/IP Port " + std::to_string(port) + " - 2 Clients Connected");
}

TEST(ServerClients, AnAnswerGoesOnlyToTheClientThatAsked) {
  TestLink server(ServerFor(3));
  EchoReceiver echo;
  echo.link = &server.link;
  server.link.m_pReceiver = &echo;
  server.Start();
  std::vector<std::unique_ptr<Reader>> readers;
  for (int i = 0; i < 3; ++i) {
    readers.push_back(std::make_unique<Reader>(server.link.m_settings.nTcpIpPort));
    ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == i + 1; }, kWaitMs));
  }
  readers[1]->socket.write("ping from the second");
  ASSERT_TRUE(WaitUntil([&] { return readers[1]->Take() == "ping from the second"; }, kWaitMs));
  readers[0]->socket.write("ping from the first");
  ASSERT_TRUE(WaitUntil([&] { return readers[0]->Take() == "ping from the first"; }, kWaitMs));
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(readers[2]->Take(), "");
  EXPECT_EQ(readers[1]->Take(), "ping from the second");
  ASSERT_GE(echo.clients.size(), 2u);
  EXPECT_NE(echo.clients.front(), 0u);
  EXPECT_NE(echo.clients.front(), echo.clients.back());
  EXPECT_EQ(server.link.ArrivalClient(), 0u);  // outside an arrival, a write goes to everyone
  ASSERT_TRUE(server.Write("all"));
  ASSERT_TRUE(WaitUntil([&] { return readers[2]->Take() == "all"; }, kWaitMs));
}

TEST(ServerClients, AConnectionBeyondTheLimitIsClosedAtOnceAndTheOthersKeepTheirFeed) {
  TestLink server(ServerFor(2));
  server.Start();
  const int32_t port = server.link.m_settings.nTcpIpPort;
  std::vector<std::unique_ptr<Reader>> readers;
  for (int i = 0; i < 2; ++i) {
    readers.push_back(std::make_unique<Reader>(port));
    ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == i + 1; }, kWaitMs));
  }
  Reader third(port);
  ASSERT_TRUE(WaitUntil([&] { return third.socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  EXPECT_EQ(server.link.ClientCount(), 2);
  ASSERT_TRUE(server.Write("frame"));
  ASSERT_TRUE(AllReceived(readers, 5));
  EXPECT_EQ(third.Take(), "");

  // A place that comes free is taken by the next connection.
  readers[0]->socket.disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == 1; }, kWaitMs));
  Reader fourth(port);
  ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == 2; }, kWaitMs));
  ASSERT_TRUE(server.Write("next"));
  ASSERT_TRUE(WaitUntil([&] { return fourth.Take() == "next"; }, kWaitMs));
}

TEST(ServerClients, AClientThatStopsReadingIsDroppedWhileTheOthersKeepReceiving) {
  TestLink server(ServerFor(3));
  server.Start();
  const int32_t port = server.link.m_settings.nTcpIpPort;
  // The stalled receiver: a plain socket with a small receive buffer that is never read.
  const int stalled = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(stalled, 0);
  const int small = 4096;
  ::setsockopt(stalled, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(stalled, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << errno;
  ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == 1; }, kWaitMs));
  std::vector<std::unique_ptr<Reader>> readers;
  for (int i = 0; i < 2; ++i) {
    readers.push_back(std::make_unique<Reader>(port));
    ASSERT_TRUE(WaitUntil([&] { return server.link.ClientCount() == i + 2; }, kWaitMs));
  }

  const std::string frame(128 * 1024, 'x');
  std::size_t sent = 0;
  int frames = 0;
  for (; frames < 200 && server.link.ClientCount() == 3; ++frames) {
    ASSERT_TRUE(server.Write(frame));
    sent += frame.size();
    ASSERT_TRUE(AllReceived(readers, sent)) << "frame " << frames;  // the readers never wait
  }
  EXPECT_EQ(server.link.ClientCount(), 2) << "after " << frames << " frames";
  EXPECT_GT(sent, std::size_t{1} << 20);  // not before its own bound was passed
  for (int more = 0; more < 5; ++more) {
    ASSERT_TRUE(server.Write(frame));
    sent += frame.size();
  }
  ASSERT_TRUE(AllReceived(readers, sent));
  for (auto& reader : readers) EXPECT_EQ(reader->received.size(), sent);
  ::close(stalled);
}

TEST(ServerClients, AListenAddressKeepsTheFeedToThatAddress) {
  QHostAddress other;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback()) other = address;
  }
  TestLink bad(ServerFor(1, "rig-server"));  // no address: reported as a failed create, and retried
  bad.Start();
  EXPECT_EQ(bad.link.m_state, TryingToConnect);
  EXPECT_EQ(bad.link.m_strStatus, "Server Create on Port " + std::to_string(bad.link.m_settings.nTcpIpPort) +
                                      " Failed. GetLastError = " + std::to_string(EINVAL));

  TestLink server(ServerFor(1, "127.0.0.1"));
  server.Start();
  const int32_t port = server.link.m_settings.nTcpIpPort;
  EXPECT_EQ(server.link.m_strStatus, "Connected TCP/IP Port " + std::to_string(port) + " on 127.0.0.1");
  Reader local(port);
  ASSERT_TRUE(WaitUntil([&] { return server.link.HasClient(); }, kWaitMs));
  if (other.isNull()) GTEST_SKIP() << "this machine has no IPv4 address but the loopback one";
  QTcpSocket remote;
  remote.connectToHost(other, static_cast<quint16>(port));
  ASSERT_TRUE(WaitUntil([&] { return remote.error() != QAbstractSocket::UnknownSocketError; }, kWaitMs))
      << other.toString().toStdString();
  EXPECT_EQ(remote.error(), QAbstractSocket::ConnectionRefusedError) << other.toString().toStdString();
  EXPECT_EQ(server.link.ClientCount(), 1);

}

}  // namespace
