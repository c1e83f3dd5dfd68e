#include <gtest/gtest.h>

#include <random>

#include "tests/faults/WireTestParts.h"

namespace {

using namespace vorn::test;

constexpr std::size_t kFrameSize = 28;  // kTwoLineFrame

// The first `count` of a split frame's pieces, as the wire cuts them (the first ones a byte longer).
std::string FirstPieces(const std::string& frame, std::size_t pieces, std::size_t count) {
  std::size_t size = 0;
  for (std::size_t j = 0; j < count; ++j) size += frame.size() / pieces + (j < frame.size() % pieces ? 1 : 0);
  return frame.substr(0, size);
}

// Whatever the moment a link drop catches a split frame, the receiver has only the pieces before the
// drop, the log says how many those were, and a receiver that comes after it gets whole frames only.
TEST(WirePieces, ALinkDropCutsTheFrameAndNoPieceLeavesAfterTheReconnect) {
  std::mt19937 random(2026);
  for (int round = 0; round < 4; ++round) {
    const std::size_t pieces = 2 + random() % 5;
    const uint32_t gap = 100 + random() % 400;
    const std::size_t before = 1 + random() % (pieces - 1);  // pieces out before the drop
    WireBench bench;
    bench.wire.Inject(Fault("split:pieces=" + std::to_string(pieces) + ",gap_ms=" + std::to_string(gap)));
    bench.Send(TwoLines());
    bench.Advance(gap * static_cast<uint32_t>(before - 1));
    const std::string sent = FirstPieces(kTwoLineFrame, pieces, before);
    EXPECT_EQ(bench.Received(sent.size()), sent);

    // Dropped for less than a gap: the server listens again before the next piece is due.
    bench.wire.Inject(Fault("disconnect:seconds=0.05"));
    bench.Advance(50);
    ASSERT_EQ(bench.link.m_state, Connected);
    const std::string firstPeer = bench.ReceivedSoFar();
    bench.Connect();
    bench.received.clear();
    bench.Advance(gap * static_cast<uint32_t>(pieces));
    EXPECT_EQ(bench.ReceivedSoFar(), "");
    EXPECT_EQ(firstPeer, sent);
    ASSERT_FALSE(bench.listener.writes.empty());
    EXPECT_EQ(bench.listener.writes.back().note, "cut short after " + std::to_string(before) + " of " +
                                                     std::to_string(pieces) + " pieces: link dropped");
    EXPECT_TRUE(bench.wire.ActiveFaults().empty());
    bench.Send(TwoLines());
    EXPECT_EQ(bench.Received(kFrameSize), kTwoLineFrame);
  }
}

TEST(WirePieces, ASplitWhoseFrameADisconnectCatchesIsNotSentAtAll) {
  WireBench bench;
  bench.wire.RunStopped();
  bench.wire.Inject(Fault("disconnect:seconds=0.2"));  // before the run: both at its first frame
  bench.wire.Inject(Fault("split:pieces=3,gap_ms=300"));
  bench.wire.RunStarted();
  bench.Send(TwoLines());
  ASSERT_EQ(bench.listener.faults.size(), 2u);
  ASSERT_EQ(bench.listener.writes.size(), 1u);
  EXPECT_EQ(bench.listener.writes[0].note, "not sent: link not open");
  EXPECT_EQ(bench.listener.writes[0].bytes, kTwoLineFrame);
  bench.Advance(200);
  ASSERT_EQ(bench.link.m_state, Connected);
  bench.Connect();
  bench.received.clear();
  bench.Advance(600);  // the times the later pieces had
  EXPECT_EQ(bench.ReceivedSoFar(), "");
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(kFrameSize).substr(0, 2), "&&");
}

TEST(WirePieces, APieceOfAServersFrameGoesOnlyToTheClientsThatHadItsStart) {
  WireBench bench;
  bench.wire.Inject(Fault("split:pieces=2,gap_ms=100"));
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(14), std::string(kTwoLineFrame).substr(0, 14));
  const std::string first = bench.received;
  bench.Connect();  // one client allowed: the newcomer replaces the one that had the start
  bench.received.clear();
  bench.Advance(100);
  EXPECT_EQ(bench.ReceivedSoFar(), "");
  EXPECT_EQ(bench.listener.writes.back().note, "cut short after 1 of 2 pieces: link dropped");
}

// Frames come every 2 s; each is paced to take 2.7 s. What waits stays within an output interval: a
// frame that would wait longer is not sent, and says so.
TEST(WirePieces, FramesBehindASlowPaceWaitAnIntervalAtMostAndAStopDropsThemAtOnce) {
  WireBench bench;
  bench.wire.SetWaitBound([] { return 2000u; });
  bench.wire.Inject(Fault("pace:bps=10,every=1"));
  std::size_t handed = 0;
  std::size_t mostWaiting = 0;
  for (int step = 0; step < 400; ++step) {  // 40 s
    if (step % 20 == 0) {
      bench.Send(TwoLines());
      ++handed;
    }
    bench.Advance(100);
    mostWaiting = std::max(mostWaiting, handed - bench.listener.writes.size());
  }
  EXPECT_LE(mostWaiting, 2u);  // the frame going out and at most one behind it
  std::size_t refused = 0;
  for (const RecordingWireListener::Write& write : bench.listener.writes) {
    if (write.outcome == LinkWrite::Sent) continue;
    EXPECT_EQ(write.note, "not sent: would wait more than an output interval behind a frame in pieces");
    ++refused;
  }
  EXPECT_GT(refused, 2u);

  // Stopping the faults drops what waits at once: the next frame leaves whole, now.
  bench.Send(TwoLines());
  const std::size_t told = bench.listener.writes.size();
  bench.wire.StopFaults();
  ASSERT_GT(bench.listener.writes.size(), told);
  for (std::size_t i = told; i < bench.listener.writes.size(); ++i) {
    const std::string& note = bench.listener.writes[i].note;
    EXPECT_TRUE(note == "not sent: faults stopped" || note.find("pieces: faults stopped") != std::string::npos) << note;
  }
  EXPECT_TRUE(bench.wire.ActiveFaults().empty());
  EXPECT_FALSE(bench.wire.NextDueMs());
  const std::string before = bench.ReceivedSoFar();
  bench.Send(TwoLines());
  EXPECT_EQ(bench.Received(before.size() + kFrameSize).substr(before.size()), kTwoLineFrame);
}

}  // namespace
