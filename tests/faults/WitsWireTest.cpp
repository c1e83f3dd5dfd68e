#include <gtest/gtest.h>

#include <QTcpServer>

#include "engine/RigSim.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/faults/WireTestParts.h"

namespace {

using namespace vorn::test;

constexpr std::size_t kFrameSize = 28;  // kTwoLineFrame

// Items with awkward values, each with a new value to send.
void PendingItems(CRigSim& engine) {
  engine.m_outputItems.clear();
  const std::vector<std::tuple<int, int, std::string>> items = {
      {1, 8, "1000.5"}, {150, 3, "7"}, {1, 23, ""}, {11, 4, "a\r\n!!b"}, {-1, -1, "-999.25"}};
  for (const auto& [record, item, value] : items) {
    engine.m_outputItems.emplace_back(false, true, "I", 0.0, ItemConstant, 1.0, 0, 0, "", FilterBoth, false, record, item);
    engine.m_outputItems.back().m_strValue = value;
    engine.m_outputItems.back().m_bSendPending = true;
  }
}

// Those items' frame, as the engine has always written it.
const std::string kPendingFrame = "&&\r\n01081000.5\r\n150037\r\n0123\r\n1104a\r\n!!b\r\n-1-1-999.25\r\n!!\r\n";

// An engine whose WITS link listens on a free port, with a receiver connected to it.
struct EngineOnLoopback {
  EngineOnLoopback() {
    engine.m_pumpsMessage = nullptr;
    engine.SetCommSettings(TcpSettings(Master, FreePort()));
    engine.m_witsLink.m_nStopRequest = 0;
    engine.m_witsLink.Service();
    peer.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(engine.m_witsLink.m_settings.nTcpIpPort));
    WaitUntil([this] { return engine.m_witsLink.HasClient() && peer.state() == QAbstractSocket::ConnectedState; },
              WireBench::kWaitMs);
  }
  std::string Received(std::size_t count) {
    WaitUntil(
        [&] {
          received += peer.readAll().toStdString();
          return received.size() >= count;
        },
        WireBench::kWaitMs);
    return std::exchange(received, {});
  }
  ManualClocks clocks;
  CRigSim engine{clocks.Make()};
  QTcpSocket peer;
  std::string received;
};

TEST(CWitsWire, WithTheDefaultProfileAndNoFaultTheEnginesFramesLeaveAsTheyAlwaysDid) {
  EngineOnLoopback rig;
  PendingItems(rig.engine);
  rig.engine.DoWitsOut();  // straight to the link, as before the wire existed
  const std::string direct = rig.Received(kPendingFrame.size());
  ASSERT_EQ(direct, kPendingFrame);

  CWitsWire wire(rig.engine.m_witsLink, [&rig] { return rig.clocks.ms; });
  RecordingWireListener listener;
  wire.SetListener(&listener);
  wire.RunStarted();
  rig.engine.m_pFrameSink = &wire;
  PendingItems(rig.engine);
  rig.engine.DoWitsOut();
  EXPECT_EQ(rig.Received(direct.size()), direct);
  ASSERT_EQ(listener.writes.size(), 1u);  // one write, as before
  EXPECT_EQ(listener.writes[0].bytes, direct);
  EXPECT_EQ(listener.writes[0].outcome, LinkWrite::Sent);
  rig.engine.DoWitsOut();  // nothing pending: the empty frame
  EXPECT_EQ(rig.Received(10), "&&\r\n\r\n!!\r\n");
  EXPECT_FALSE(wire.NextDueMs());  // no keep-alive, nothing waiting
}

TEST(CWitsWire, TheProfilesLineEndsAndFramePerRecordShapeTheFrames) {
  CWitsCommSettings profile;
  profile.lineEnd = LineEndLf;
  profile.frameGrouping = GroupPerRecord;
  WireBench bench(profile);
  const std::vector<WitsOutLine> lines = {{1, 8, "5"}, {11, 2, "6"}, {1, 10, "7"}};
  bench.Send(lines);
  const std::string perRecord = "&&\n01085\n01107\n!!\n&&\n11026\n!!\n";
  EXPECT_EQ(bench.Received(perRecord.size()), perRecord);
  EXPECT_EQ(bench.listener.writes.size(), 2u);  // one write per frame

  bench.link.m_settings.lineEnd = LineEndCr;
  bench.received.clear();
  bench.Send(lines, FrameGrouping::OneFrame);  // an answer in half-duplex: one frame whatever the grouping
  const std::string crOnly = "&&\r01085\r11026\r01107\r!!\r";
  EXPECT_EQ(bench.Received(crOnly.size()), crOnly);
}

TEST(CWitsWire, AKeepAliveGoesOutWhenTheLinkWasQuietForTheInterval) {
  CWitsCommSettings profile;
  profile.fKeepAliveInterval = 30.0;
  WireBench bench(profile);
  const uint32_t start = bench.clocks.ms;
  EXPECT_EQ(bench.wake, start + 30000);
  bench.Advance(29999);
  EXPECT_EQ(bench.ReceivedSoFar(), "");
  bench.Advance(1);
  EXPECT_EQ(bench.Received(19), "&&\r\n0111-9999\r\n!!\r\n");
  EXPECT_EQ(bench.wake, start + 60000);

  // A frame counts as traffic: the next packet is due 30 s after it.
  bench.Advance(10000);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.wake, start + 70000);
  bench.Advance(29999);
  EXPECT_EQ(bench.ReceivedSoFar().size(), 19 + kFrameSize);
  bench.link.m_settings.strKeepAliveText = "KA";
  bench.Advance(1);
  EXPECT_EQ(bench.Received(19 + kFrameSize + 2).substr(19 + kFrameSize), "KA");
  // No keep-alive outside a run.
  bench.wire.RunStopped();
  EXPECT_FALSE(bench.wake);
}

TEST(CWitsWire, SplitSendsAFrameInPiecesAtTheirGaps) {
  WireBench bench;
  bench.wire.Inject(Fault("split:pieces=3,gap_ms=50"));
  bench.Send(TwoLines());
  const std::string frame = kTwoLineFrame;
  EXPECT_EQ(bench.Received(10), frame.substr(0, 10));
  EXPECT_EQ(bench.wake, bench.clocks.ms + 50);
  bench.Advance(49);
  EXPECT_EQ(bench.ReceivedSoFar(), frame.substr(0, 10));
  bench.Advance(1);
  EXPECT_EQ(bench.Received(19), frame.substr(0, 19));
  bench.Advance(50);
  EXPECT_EQ(bench.Received(28), frame);
  EXPECT_EQ(bench.listener.faults, std::vector<std::string>{"split:pieces=3,gap_ms=50"});
  ASSERT_EQ(bench.listener.writes.size(), 1u);  // logged once, whole
  EXPECT_EQ(bench.listener.writes[0].bytes, frame);

  bench.Send(TwoLines());  // once only: the next frame is whole
  EXPECT_EQ(bench.Received(56), frame + frame);
}

TEST(CWitsWire, PaceSendsTheBytesAtTheirRate) {
  WireBench bench;
  bench.wire.Inject(Fault("pace:bps=100"));
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(1), "&");
  bench.Advance(95);  // bytes 0 to 9 are due by 90 ms
  EXPECT_EQ(bench.Received(10), std::string(kTwoLineFrame).substr(0, 10));
  EXPECT_EQ(bench.ReceivedSoFar().size(), 10u);
  // A frame handed over meanwhile waits for the paced one.
  bench.Send(TwoLines());
  bench.Advance(175);  // 270 ms: the last paced byte is due
  EXPECT_EQ(bench.Received(kFrameSize * 2), std::string(kTwoLineFrame) + kTwoLineFrame);
  EXPECT_FALSE(bench.wake);
}

TEST(CWitsWire, SilenceHoldsEveryFrameBackForItsTime) {
  WireBench bench;
  bench.wire.Inject(Fault("silence:seconds=2"));  // during a run: at once
  EXPECT_EQ(bench.listener.faults, std::vector<std::string>{"silence:seconds=2"});
  bench.Send(TwoLines());
  bench.Advance(1999);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.ReceivedSoFar(), "");
  ASSERT_EQ(bench.listener.writes.size(), 2u);
  EXPECT_EQ(bench.listener.writes[1].refusal, "held back by a silence fault");
  EXPECT_EQ(bench.listener.writes[1].outcome, LinkWrite::HeldBack);  // what the views and the API are told
  bench.Advance(1);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(kFrameSize), kTwoLineFrame);
}

TEST(CWitsWire, FrameFaultsChangeOneFrameEachAsTheCatalogueSays) {
  WireBench bench;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"drop-start", "01081000.5\r\n011020\r\n!!\r\n"},
      {"drop-end", "&&\r\n01081000.5\r\n011020\r\n"},
      {"line-ends:style=lf", "&&\n01081000.5\n011020\n!!\n"},
      {"line-ends:style=none", "&&01081000.5011020!!"},
      {"duplicate", std::string(kTwoLineFrame) + kTwoLineFrame},
      {"swap", "&&\r\n011020\r\n01081000.5\r\n!!\r\n"},
      {"bad-line:kind=id", "&&\r\n01A81000.5\r\n011020\r\n!!\r\n"},
  };
  for (const auto& [fault, bytes] : cases) {
    bench.received.clear();
    bench.wire.Inject(Fault(fault));
    bench.Send(TwoLines());
    bench.Send(TwoLines());
    const std::string expected = bytes + kTwoLineFrame;
    if (fault == "bad-line:kind=id") {
      const std::string got = bench.Received(expected.size());
      EXPECT_TRUE(got == expected || got == "&&\r\n01081000.5\r\n01A020\r\n!!\r\n" + std::string(kTwoLineFrame)) << got;
    } else {
      EXPECT_EQ(bench.Received(expected.size()), expected) << fault;
    }
  }
  EXPECT_TRUE(bench.wire.ActiveFaults().empty());
}

TEST(CWitsWire, EveryNthFrameAndGarbageBeforeIt) {
  WireBench bench;
  bench.wire.Inject(Fault("garbage:bytes=5,every=3"));
  EXPECT_EQ(bench.wire.ActiveFaults(), std::vector<std::string>{"garbage:bytes=5,every=3"});
  for (int i = 0; i < 6; ++i) bench.Send(TwoLines());
  const std::string got = bench.Received(6 * kFrameSize + 10);
  ASSERT_EQ(got.size(), 6 * kFrameSize + 10);
  EXPECT_EQ(got.substr(0, 2 * kFrameSize), std::string(kTwoLineFrame) + kTwoLineFrame);
  EXPECT_EQ(got.substr(2 * kFrameSize + 5, 3 * kFrameSize), std::string(kTwoLineFrame) + kTwoLineFrame + kTwoLineFrame);
  EXPECT_EQ(got.substr(5 * kFrameSize + 10), kTwoLineFrame);
  EXPECT_EQ(bench.listener.faults.size(), 2u);
}

// The bytes a receiver gets from 40 frames with random faults, for a seed.
std::string RandomRun(uint64_t seed) {
  WireBench bench;
  bench.wire.SetSeed(seed);
  bench.wire.RunStarted();  // a run seeds the generator again
  bench.wire.Inject(Fault("garbage:bytes=3,p=0.3"));
  bench.wire.Inject(Fault("bad-value:kind=mark,p=0.5"));
  bench.wire.Inject(Fault("swap:p=0.2"));
  std::size_t length = 0;
  for (int i = 0; i < 40; ++i) {
    bench.Send(TwoLines());
    length += bench.listener.writes.back().bytes.size();
  }
  return bench.Received(length);
}

TEST(CWitsWire, TheSameSeedGivesTheSameBytesOnTheWire) {
  const std::string first = RandomRun(20261211);
  EXPECT_GT(first.size(), 40 * kFrameSize);
  EXPECT_EQ(RandomRun(20261211), first);
  EXPECT_NE(RandomRun(7), first);
}

TEST(CWitsWire, DisconnectDropsTheClientAndListensAgainAfterItsTime) {
  WireBench bench;
  bench.wire.Inject(Fault("disconnect:seconds=3"));
  EXPECT_EQ(bench.link.m_state, Closed);
  ASSERT_TRUE(WaitUntil([&] { return bench.peer->state() == QAbstractSocket::UnconnectedState; }, WireBench::kWaitMs));
  bench.Send(TwoLines());
  EXPECT_EQ(bench.listener.writes.back().outcome, LinkWrite::NoChannel);
  EXPECT_EQ(bench.wire.ActiveFaults(), std::vector<std::string>{"disconnect in progress"});

  bench.Advance(2900);
  EXPECT_EQ(bench.link.m_state, Closed);  // the retry waits
  bench.Advance(100);
  EXPECT_EQ(bench.link.m_state, Connected);
  bench.Connect();
  bench.received.clear();
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(kFrameSize), kTwoLineFrame);
}

TEST(CWitsWire, APlansTimesCountFromTheRunStart) {
  WireBench bench;
  const Parsed<FaultPlan> plan = ParseFaultPlan(R"([{"at": 30, "fault": "silence", "seconds": 5},
                                                    {"at": 10, "fault": "duplicate"}])");
  ASSERT_TRUE(plan.ok()) << plan.error;
  bench.wire.SetPlan(*plan.value);
  const uint32_t start = bench.clocks.ms;
  EXPECT_EQ(bench.wake, start + 30000);  // the silence starts at its time, frame or not
  bench.Advance(9999);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(kFrameSize), kTwoLineFrame);
  bench.Advance(1);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(3 * kFrameSize).size(), 3 * kFrameSize);
  EXPECT_TRUE(bench.listener.faults == std::vector<std::string>{"duplicate:at=10"});
  bench.Advance(19999);
  EXPECT_EQ(bench.listener.faults.size(), 1u);
  bench.Advance(1);
  EXPECT_EQ(bench.listener.faults.back(), "silence:seconds=5,at=30");
  bench.Send(TwoLines());
  EXPECT_EQ(bench.ReceivedSoFar().size(), 3 * kFrameSize);
  bench.Advance(5000);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(4 * kFrameSize).size(), 4 * kFrameSize);

  // The next run runs the plan again from its start.
  bench.wire.RunStopped();
  bench.wire.RunStarted();
  bench.Advance(10000);
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(6 * kFrameSize).size(), 6 * kFrameSize);
  bench.wire.StopFaults();
  EXPECT_TRUE(bench.wire.ActiveFaults().empty());
  EXPECT_FALSE(bench.wake);
}

TEST(CRigSimAnswerMode, OnlyAnArrivalThatCompletesAValidFrameIsAnswered) {
  EngineOnLoopback rig;
  CWitsWire wire(rig.engine.m_witsLink, [&rig] { return rig.clocks.ms; });
  rig.engine.m_pFrameSink = &wire;
  rig.engine.m_witsLink.m_settings.answerMode = AnswerValidOneFrame;
  rig.engine.m_settings.m_bRequiresPing = false;
  PendingItems(rig.engine);
  rig.peer.write("&&\r\n0108");  // not yet a frame
  rig.peer.write("");
  WaitUntil([] { return false; }, 150);
  EXPECT_EQ(rig.peer.bytesAvailable(), 0);
  rig.peer.write("12\r\n!!\r\n");
  EXPECT_EQ(rig.Received(kPendingFrame.size()), kPendingFrame);
  rig.peer.write("&&\r\n!!\r\n");  // complete, but no data line
  WaitUntil([] { return false; }, 150);
  EXPECT_EQ(rig.peer.bytesAvailable(), 0);

  rig.engine.m_witsLink.m_settings.answerMode = AnswerValidPerRecord;
  PendingItems(rig.engine);
  rig.peer.write("&&\r\n01085\r\n!!\r\n");
  const std::string perRecord =
      "&&\r\n01081000.5\r\n0123\r\n!!\r\n&&\r\n150037\r\n!!\r\n&&\r\n1104a\r\n!!b\r\n!!\r\n&&\r\n-1-1-999.25\r\n!!\r\n";
  EXPECT_EQ(rig.Received(perRecord.size()), perRecord);
}

}  // namespace

namespace {

TEST(CWitsWireClient, DisconnectClosesTheClientWhichReconnectsOnlyAfterItsTime) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  TestLink client(TcpSettings(Slave, server.serverPort()));
  client.Start();
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, WireBench::kWaitMs));
  std::unique_ptr<QTcpSocket> accepted(server.nextPendingConnection());
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, WireBench::kWaitMs));

  CWitsWire wire(client.link, [&client] { return client.clocks.ms; });
  wire.RunStarted();
  wire.Inject(Fault("disconnect:seconds=2"));
  EXPECT_EQ(client.link.m_state, Closed);
  EXPECT_EQ(client.link.m_strStatus, "Disconnected for 2000 ms by a fault");
  ASSERT_TRUE(WaitUntil([&] { return accepted->state() == QAbstractSocket::UnconnectedState; }, WireBench::kWaitMs));

  client.clocks.Advance(1900);
  client.link.Service();
  WaitUntil([] { return false; }, 150);
  EXPECT_FALSE(server.hasPendingConnections());  // no attempt while the fault lasts
  client.clocks.Advance(100);
  client.link.Service();
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, WireBench::kWaitMs));
  accepted.reset(server.nextPendingConnection());
  ASSERT_TRUE(WaitUntil([&] { return client.link.m_state == Connected; }, WireBench::kWaitMs));
  wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  std::string received;
  ASSERT_TRUE(WaitUntil(
      [&] {
        received += accepted->readAll().toStdString();
        return received.size() >= kFrameSize;
      },
      WireBench::kWaitMs));
  EXPECT_EQ(received, kTwoLineFrame);
}

}  // namespace
