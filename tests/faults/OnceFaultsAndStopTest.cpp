#include <gtest/gtest.h>

#include <QTcpServer>

#include "tests/comms/LinkTestParts.h"
#include "tests/faults/WireTestParts.h"

namespace {

using namespace vorn::test;

constexpr std::size_t kFrameSize = 28;  // kTwoLineFrame

// A fault given before the run waits for the first frame a receiver actually gets.
TEST(OnceFaults, AFaultGivenBeforeTheRunWaitsForAFrameThatReachesAReceiver) {
  WireBench bench;
  bench.peer->close();
  ASSERT_TRUE(WaitUntil([&] { return !bench.link.HasClient(); }, WireBench::kWaitMs));
  bench.wire.RunStopped();
  bench.wire.Inject(Fault("drop-start"));
  bench.wire.RunStarted();
  for (int i = 0; i < 3; ++i) bench.Send(TwoLines());
  ASSERT_EQ(bench.listener.writes.size(), 3u);
  EXPECT_EQ(bench.listener.writes[2].note, "not sent: no client connected");
  EXPECT_TRUE(bench.listener.faults.empty());
  EXPECT_EQ(bench.wire.ActiveFaults(), std::vector<std::string>{"drop-start"});

  bench.Connect();
  bench.received.clear();
  bench.Send(TwoLines());
  bench.Send(TwoLines());
  const std::string dropped = std::string(kTwoLineFrame).substr(4);
  EXPECT_EQ(bench.Received(dropped.size() + kFrameSize), dropped + kTwoLineFrame);
  EXPECT_EQ(bench.listener.faults, std::vector<std::string>{"drop-start"});
}

TEST(StopFaults, AStopEndsADisconnectAndTheServerTakesAReceiverAtOnce) {
  WireBench bench;
  bench.wire.Inject(Fault("disconnect:seconds=30"));
  ASSERT_EQ(bench.link.m_state, Closed);
  bench.wire.StopFaults();  // the clock has not moved
  EXPECT_EQ(bench.link.m_state, Connected) << bench.link.m_strStatus;
  EXPECT_FALSE(bench.link.Suspended());
  EXPECT_TRUE(bench.wire.ActiveFaults().empty());
  bench.Connect();
  ASSERT_TRUE(bench.link.HasClient());
  bench.received.clear();
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(kFrameSize), kTwoLineFrame);
}

TEST(StopFaults, AStopEndsADisconnectAndTheClientReconnectsAtOnce) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  TestLink client(TcpSettings(Slave, server.serverPort()));
  client.Start();
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, WireBench::kWaitMs));
  std::unique_ptr<QTcpSocket> accepted(server.nextPendingConnection());
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, WireBench::kWaitMs));

  CWitsWire wire(client.link, [&client] { return client.clocks.ms; });
  wire.RunStarted();
  wire.Inject(Fault("disconnect:seconds=30"));
  ASSERT_TRUE(WaitUntil([&] { return accepted->state() == QAbstractSocket::UnconnectedState; }, WireBench::kWaitMs));
  wire.StopFaults();
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, WireBench::kWaitMs));
  accepted.reset(server.nextPendingConnection());
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, WireBench::kWaitMs));
  EXPECT_EQ(client.clocks.ms, ManualClocks().ms);  // no simulated time passed
}

}  // namespace
