#include <gtest/gtest.h>

#include <QTcpSocket>
#include <map>

#include "engine/RigSim.h"
#include "replay/ReplayPlayer.h"
#include "support/Text.h"
#include "tests/common/EventWait.h"
#include "tests/engine/EngineFixture.h"
#include "tests/replay/RecordedFiles.h"

namespace {

constexpr int kWaitMs = 5000;

// Every frame the engine hands the link, with the engine's clock reading when it did.
struct FrameRecorder : CWitsTrafficIF {
  explicit FrameRecorder(const uint32_t& clock) : ms(clock) {}
  void OnFrameOut(std::string_view bytes, LinkWrite) override { frames.emplace_back(ms, std::string(bytes)); }
  void OnArrival(std::string_view) override {}
  const uint32_t& ms;
  std::vector<std::pair<uint32_t, std::string>> frames;
};

// A rig in its own data root with a TCP server link and, when connected, one receiver on loopback.
struct Rig {
  explicit Rig(const std::string& name) : engine(clocks.Make()), recorder(clocks.ms) {
    engine.m_pumpsMessage = nullptr;
    engine.m_strDataRoot = vorn::test::MakeScratchFolder(name);
    vorn::CreateDataFolders(engine.m_strDataRoot);
    engine.m_pTraffic = &recorder;
  }
  void Start(bool withReceiver) {
    CWitsCommSettings settings;
    settings.nTcpIpPort = vorn::test::FreePort();
    engine.SetCommSettings(settings);
    std::string error;
    ASSERT_TRUE(engine.StartRun(error)) << error;
    if (!withReceiver) return;
    receiver.connectToHost("127.0.0.1", static_cast<quint16>(settings.nTcpIpPort));
    ASSERT_TRUE(vorn::test::WaitUntil([&] { return engine.m_witsLink.HasClient(); }, kWaitMs));
  }
  // One tick, and what the receiver got from it.
  std::string Tick() {
    clocks.Advance(100);
    const std::size_t before = recorder.frames.size();
    engine.OnTick();
    std::size_t expected = 0;
    for (std::size_t i = before; i < recorder.frames.size(); ++i) expected += recorder.frames[i].second.size();
    std::string got;
    if (receiver.state() == QAbstractSocket::ConnectedState && expected > 0) {
      vorn::test::WaitUntil([&] { return (got += receiver.readAll().toStdString()).size() >= expected; }, kWaitMs);
    }
    return got;
  }

  vorn::test::ManualClocks clocks;
  CRigSim engine;
  FrameRecorder recorder;
  QTcpSocket receiver;
};

std::string Folder() {
  return vorn::test::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// The value of one WITS item in a frame, empty when the frame has none.
std::string ItemValue(const std::string& frames, const std::string& code) {
  const std::size_t at = frames.rfind("\r\n" + code);
  if (at == std::string::npos) return {};
  const std::size_t start = at + 2 + code.size();
  return frames.substr(start, frames.find('\r', start) - start);
}

TEST(ReplayOnTheWire, ALasFileReachesAReceiverAtItsPaceTimesTheSpeed) {
  // A row every 10 s of the file, at 5 times its pace: a row every 2 s on the wire.
  std::string las = "~V\nVERS. 2.0 :\n~W\nNULL. -999.25 :\n~C\nTIME.S :\nHKLD.klb :\nSPPA.psi :\n~A\n";
  for (int r = 0; r < 8; ++r) las += std::to_string(100 + r * 10) + " " + std::to_string(200 + r) + " " + (r == 4 ? "-999.25" : std::to_string(1500 + r)) + "\n";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(Folder(), "well.las", las);
  options.speed = 5.0;
  Rig rig("ReplayLasOverTcp");
  rig.engine.m_settings.m_fCalcOutputInterval = 0.0;
  rig.engine.m_settings.m_fWitsOutInterval = 0.0;
  std::string error;
  auto player = CReplayPlayer::Open(options, rig.engine.m_settings.m_fWitsOutInterval, error);
  ASSERT_TRUE(player) << error;
  rig.engine.m_pReplay = player.get();
  rig.Start(true);
  const uint32_t startMs = rig.clocks.ms;
  std::map<std::string, uint32_t> firstSeen;  // hookload value -> tick it first came
  std::string spp4 = "none";
  for (int tick = 0; tick < 170; ++tick) {
    const std::string got = rig.Tick();
    const std::string hookload = ItemValue(got, "0114");
    if (!hookload.empty()) firstSeen.try_emplace(hookload, rig.clocks.ms - startMs);
    if (hookload == "204") spp4 = ItemValue(got, "0121");
  }
  ASSERT_EQ(firstSeen.size(), 8U);
  for (int r = 0; r < 8; ++r) {
    // The first tick starts the replay; a row is on the wire within a tick of its moment.
    const uint32_t due = 100 + static_cast<uint32_t>(r) * 2000;
    EXPECT_LE(firstSeen[std::to_string(200 + r)], due + 100) << r;
    EXPECT_GE(firstSeen[std::to_string(200 + r)], due) << r;
  }
  EXPECT_EQ(spp4, "");  // a NULL sends nothing for its curve
  EXPECT_EQ(vorn::test::Lines(rig.engine.m_strCsvPath).front(), "TIME,HKLD,SPPA");
}

TEST(ReplayOnTheWire, AReplayedWitsLogSendsTheSameFrameBytesAtTheSameGaps) {
  Rig original("ReplayLogOriginal");
  original.Start(false);
  for (int tick = 0; tick < 150; ++tick) original.Tick();
  ASSERT_GT(original.recorder.frames.size(), 6U);

  ReplayOptions options;
  options.path = original.engine.m_strWitsLogPath;
  Rig replay("ReplayLogCopy");
  std::string error;
  auto player = CReplayPlayer::Open(options, 2.0, error);
  ASSERT_TRUE(player) << error;
  replay.engine.m_pReplay = player.get();
  replay.Start(true);
  std::string received;
  for (int tick = 0; tick < 160; ++tick) received += replay.Tick();

  const auto& before = original.recorder.frames;
  const auto& after = replay.recorder.frames;
  ASSERT_EQ(after.size(), before.size());
  std::string sentBefore;
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(after[i].second, before[i].second) << i;
    sentBefore += before[i].second;
    if (i == 0) continue;
    const int32_t gapBefore = vorn::ElapsedMs(before[i].first, before[i - 1].first);
    const int32_t gapAfter = vorn::ElapsedMs(after[i].first, after[i - 1].first);
    EXPECT_LE(std::abs(gapAfter - gapBefore), 100) << i;
  }
  EXPECT_EQ(received, sentBefore);
}

// Files and wire bytes of a run without a replay are the same whether or not the engine ever
// played one before.
TEST(ReplayOnTheWire, WithoutAReplayEveryByteStaysAsItWas) {
  const vorn::test::MadeWell well = vorn::test::MakeWell(4, 30, false);
  ReplayOptions options;
  options.path = vorn::test::WriteFile(Folder(), "before.las", vorn::test::LasText(well, {}));
  Rig plain("ReplayNonePlain");
  Rig replayedBefore("ReplayNoneAfterOne");
  std::string error;
  auto player = CReplayPlayer::Open(options, 2.0, error);
  ASSERT_TRUE(player) << error;
  replayedBefore.engine.m_pReplay = player.get();
  replayedBefore.Start(false);
  for (int tick = 0; tick < 50; ++tick) replayedBefore.Tick();
  replayedBefore.engine.StopRun();
  replayedBefore.engine.m_pReplay = nullptr;
  replayedBefore.recorder.frames.clear();
  // The same state and the same clocks from here on.
  replayedBefore.engine.SetDefaultStartState();
  plain.engine.SetDefaultStartState();
  replayedBefore.clocks.Advance(2000);  // new files
  plain.clocks = replayedBefore.clocks;
  plain.Start(false);
  replayedBefore.Start(false);
  for (int tick = 0; tick < 300; ++tick) {
    plain.Tick();
    replayedBefore.Tick();
  }
  ASSERT_FALSE(plain.recorder.frames.empty());
  EXPECT_EQ(replayedBefore.recorder.frames, plain.recorder.frames);
  EXPECT_EQ(vorn::test::RawBytes(replayedBefore.engine.m_strCsvPath), vorn::test::RawBytes(plain.engine.m_strCsvPath));
  EXPECT_EQ(vorn::test::RawBytes(replayedBefore.engine.m_strWitsLogPath),
            vorn::test::RawBytes(plain.engine.m_strWitsLogPath));
  EXPECT_EQ(vorn::test::Lines(plain.engine.m_strCsvPath).front(),
            "TIME,DEPTH,HOLE_DEPTH,BLOCK_HEIGHT,ROP,HOOKLOAD,SLIPS,ON_BOTTOM,RPM,FLOW,SPP,SPM1,SPM2,WOB,TORQ,INC,AZM,AZMC,"
            "GTOT,BTOT,DIP,TF,GAM");
}

}  // namespace
