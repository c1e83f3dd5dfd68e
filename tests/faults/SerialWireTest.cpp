#include <gtest/gtest.h>

#include <memory>

#include "support/DataRoot.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/SerialLine.h"
#include "tests/faults/WireTestParts.h"

namespace {

using namespace vorn::test;

constexpr int kPortNumber = 6;

// A wire on a serial link to a socat pseudo-terminal whose far end the test reads.
struct SerialBench {
  SerialBench() : line(vorn::PortsFolder() + "/COM" + std::to_string(kPortNumber)), link(SerialSettings(kPortNumber)) {
    if (!line.Ready()) return;
    link.Start();
    wire.SetListener(&listener);
    wire.RunStarted();
  }
  void Advance(uint32_t ms) {
    link.clocks.Advance(ms);
    link.link.Service();
    wire.Service();
  }
  SerialLine line;
  TestLink link;
  CWitsWire wire{link.link, [this] { return link.clocks.ms; }};
  RecordingWireListener listener;
};

TEST(SerialWire, SplitAndPacedFramesReachTheFarEndPieceByPiece) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialBench bench;
  ASSERT_TRUE(bench.line.Ready());
  ASSERT_EQ(bench.link.link.m_state, Connected) << bench.link.link.m_strStatus;
  const std::string frame = kTwoLineFrame;

  bench.wire.Inject(Fault("split:pieces=2,gap_ms=20"));
  bench.wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  EXPECT_EQ(bench.line.Receive(14), frame.substr(0, 14));
  bench.Advance(20);
  EXPECT_EQ(bench.line.Receive(14), frame.substr(14));

  bench.wire.Inject(Fault("pace:bps=1000"));
  bench.wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  EXPECT_EQ(bench.line.Receive(1), "&");
  bench.Advance(9);  // bytes 1 to 9
  EXPECT_EQ(bench.line.Receive(9), frame.substr(1, 9));
  bench.Advance(18);
  EXPECT_EQ(bench.line.Receive(18), frame.substr(10));
}

TEST(SerialWire, DisconnectClosesThePortForItsTimeThenTheRetryReopensIt) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialBench bench;
  ASSERT_TRUE(bench.line.Ready());
  ASSERT_EQ(bench.link.link.m_state, Connected);

  bench.wire.Inject(Fault("disconnect:seconds=1"));
  EXPECT_FALSE(bench.link.link.m_commPort.IsOpen());
  bench.wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  EXPECT_EQ(bench.listener.writes.back().outcome, LinkWrite::NoChannel);
  bench.Advance(999);
  EXPECT_FALSE(bench.link.link.m_commPort.IsOpen());
  bench.Advance(1);
  ASSERT_EQ(bench.link.link.m_state, Connected) << bench.link.link.m_strStatus;
  bench.wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  EXPECT_EQ(bench.line.Receive(28), kTwoLineFrame);
}

TEST(SerialWire, StoppingTheFaultsEndsADisconnectAndThePortReopensAtOnce) {
  if (!SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  SerialBench bench;
  ASSERT_TRUE(bench.line.Ready());
  ASSERT_EQ(bench.link.link.m_state, Connected);

  bench.wire.Inject(Fault("disconnect:seconds=30"));
  EXPECT_FALSE(bench.link.link.m_commPort.IsOpen());
  bench.wire.StopFaults();  // no simulated time has passed
  EXPECT_TRUE(bench.link.link.m_commPort.IsOpen());
  ASSERT_EQ(bench.link.link.m_state, Connected) << bench.link.link.m_strStatus;
  bench.wire.SendFrame(TwoLines(), FrameGrouping::AsConfigured);
  EXPECT_EQ(bench.line.Receive(28), kTwoLineFrame);
}

}  // namespace
