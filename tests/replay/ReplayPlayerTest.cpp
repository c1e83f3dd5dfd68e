#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "replay/ReplayPlayer.h"
#include "tests/replay/RecordedFiles.h"

namespace {

std::string Folder() {
  return vorn::test::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

std::unique_ptr<CReplayPlayer> OpenPlayer(const ReplayOptions& options, double interval = 2.0) {
  std::string error;
  auto player = CReplayPlayer::Open(options, interval, error);
  EXPECT_TRUE(player) << error;
  return player;
}

// At any speed and any time, the current row is the last whose index lies within the time played
// times the speed; a time-indexed file plays at its own pace times the speed.
TEST(ReplayPlayer, TimeIndexedRowsComeAtTheFilesPaceTimesTheSpeed) {
  const std::string folder = Folder();
  for (const double speed : {0.1, 1.0, 7.5, 1000.0}) {
    const vorn::test::MadeWell well = vorn::test::MakeWell(static_cast<uint32_t>(speed * 10), 80, true);
    ReplayOptions options;
    options.path = vorn::test::WriteFile(folder, "t.las", vorn::test::LasText(well, {}));
    options.speed = speed;
    auto player = OpenPlayer(options);
    ASSERT_TRUE(player);
    uint32_t now = 123456;
    for (int tick = 0; tick < 3000; ++tick, now += 100) {
      player->Advance(now);
      const double played = tick * 0.1 * speed;
      std::size_t expected = 0;
      while (expected < well.index.size() && well.index[expected] - well.index[0] <= played + 1e-6) ++expected;
      if (player->Position(now).state != ReplayState::Playing) break;
      ASSERT_EQ(player->Position(now).row, expected) << "speed " << speed << " tick " << tick;
    }
  }
}

TEST(ReplayPlayer, DepthRowsComeOnePerIntervalOrAtTheRateOfPenetration) {
  const std::string folder = Folder();
  const vorn::test::MadeWell well = vorn::test::MakeWell(3, 50, false);  // 0.5 apart
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "d.las", vorn::test::LasText(well, {}));
  auto perInterval = OpenPlayer(options, 2.0);
  options.ropPerHour = 360.0;  // 0.1 a second: a row every 5 s
  options.speed = 2.0;         // every 2.5 s
  auto byRop = OpenPlayer(options, 2.0);
  ASSERT_TRUE(perInterval && byRop);
  for (uint32_t ms = 0; ms <= 60'000; ms += 100) {
    perInterval->Advance(ms);
    byRop->Advance(ms);
    ASSERT_EQ(perInterval->Position(ms).row, ms / 2000 + 1) << ms;
    ASSERT_EQ(byRop->Position(ms).row, ms / 2500 + 1) << ms;
  }
  // The depth index is the bit depth's channel, sent as the file has it.
  ASSERT_FALSE(perInterval->Channels().empty());
  EXPECT_EQ(perInterval->Channels()[0].mnemonic, "DEPT");
  EXPECT_EQ(perInterval->Channels()[0].item, 8);
  EXPECT_EQ(perInterval->Values()[0], vorn::FormatG(well.index[30]));
}

TEST(ReplayPlayer, PauseResumeSpeedAndSeekMovePlaybackAsTold) {
  const std::string folder = Folder();
  std::string text = "~V\nVERS. 2.0 :\n~W\nNULL. -999.25 :\n~C\nTIME.S :\nHKLD.klb :\n~A\n";
  for (int s = 0; s <= 100; ++s) text += std::to_string(s * 10) + " " + std::to_string(s) + "\n";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "p.las", text);
  options.start = "200";
  auto player = OpenPlayer(options);
  ASSERT_TRUE(player);
  player->Advance(1000);
  EXPECT_EQ(player->Values()[0], "20");
  player->Pause(1000);
  player->Advance(60'000);
  EXPECT_EQ(player->Values()[0], "20");
  player->Resume(60'000);
  std::string error;
  ASSERT_TRUE(player->SetSpeed(60'000, 10.0, error));
  player->Advance(62'000);  // 20 s of file
  EXPECT_EQ(player->Values()[0], "22");
  EXPECT_FALSE(player->SetSpeed(62'000, 1001.0, error));
  EXPECT_EQ(error, "replay speed 1001 is outside 0.1 to 1000");
  ASSERT_TRUE(player->Seek(62'000, "row:91", error)) << error;
  player->Advance(62'000);
  EXPECT_EQ(player->Values()[0], "90");
  EXPECT_FALSE(player->Seek(62'000, "row:500", error));
  EXPECT_NE(error.find("past the file's last row"), std::string::npos) << error;
  EXPECT_FALSE(player->Seek(62'000, "soon", error));
  EXPECT_EQ(error, "replay start \"soon\" is neither a time nor row:N");
}

TEST(ReplayPlayer, ItTellsTheStartEachLoopAndTheEndAndABadRowOnce) {
  const std::string folder = Folder();
  const std::string text = "~V\nVERS. 2.0 :\n~C\nDEPT.M :\nHKLD.klb :\n~A\n1 1\nx 2\n2 3\ny 4\n3 5\n";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "l.las", text);
  options.loop = true;
  auto player = OpenPlayer(options, 1.0);
  ASSERT_TRUE(player);
  std::vector<std::pair<ReplayEvent, std::string>> events;
  player->SetEventListener([&](ReplayEvent event, const std::string& line) { events.emplace_back(event, line); });
  for (uint32_t ms = 0; ms <= 8000; ms += 100) player->Advance(ms);
  ASSERT_GE(events.size(), 4U);
  EXPECT_EQ(events[0].first, ReplayEvent::Started);
  EXPECT_EQ(events[1].first, ReplayEvent::Problem);
  EXPECT_EQ(events[1].second.rfind("l.las: line 8: the index \"x\" is not a number; row skipped", 0), 0U) << events[1].second;
  std::size_t loops = 0;
  std::size_t problems = 0;
  for (const auto& [event, line] : events) {
    loops += event == ReplayEvent::Looped ? 1 : 0;
    problems += event == ReplayEvent::Problem ? 1 : 0;
  }
  EXPECT_EQ(loops, 2U);  // three rows a second apart, and the last row's second: a loop every 3 s
  EXPECT_EQ(problems, 1U);
  options.loop = false;
  auto once = OpenPlayer(options, 1.0);
  std::string ended;
  once->SetEventListener([&](ReplayEvent event, const std::string& line) {
    if (event == ReplayEvent::Ended) ended = line;
  });
  for (uint32_t ms = 0; ms <= 8000; ms += 100) once->Advance(ms);
  EXPECT_EQ(ended, "l.las: replay ended after 3 rows, 2 bad skipped");
  EXPECT_EQ(once->Values()[1], "5");  // the last row stays
}

TEST(ReplayPlayer, CurvesMapByTheFileOverTheDefaultsAndConvertUnits) {
  const std::string folder = Folder();
  const std::string text =
      "~V\nVERS. 2.0 :\n~C\nDEPT.F :\nHKLD.klb :\nSPPA.psi :\nGR.gAPI :\nBPOS.m :\n~A\n1000 100 1000 50 3\n";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "m.las", text);
  options.mapPath = vorn::test::WriteFile(folder, "map.json", R"({"GR": "0823", "BPOS": null})");
  options.units = vorn::replay::UnitSystem::Metric;
  auto player = OpenPlayer(options);
  ASSERT_TRUE(player);
  player->Advance(0);
  const std::vector<ReplayChannel>& channels = player->Channels();
  ASSERT_EQ(channels.size(), 4U);
  EXPECT_EQ(channels[0].mnemonic, "DEPT");
  EXPECT_EQ(channels[1].item, 14);
  EXPECT_EQ(channels[2].item, 21);
  EXPECT_EQ(channels[3].record, 8);
  EXPECT_EQ(player->Values()[0], "304.8");  // feet to metres
  EXPECT_EQ(player->Values()[1], "44.4822");  // klb to the dictionary's metric unit, kDaN
  EXPECT_EQ(player->Values()[2], "6894.76");  // psi to kPa
  EXPECT_EQ(player->UnmappedLine(), "m.las: not sent: BPOS (no WITS item)");
  options.mapPath = vorn::test::WriteFile(folder, "bad.json", R"({"GR": "823"})");
  std::string error;
  EXPECT_FALSE(CReplayPlayer::Open(options, 2.0, error));
  EXPECT_EQ(error, "bad.json: \"GR\": the code is not a four-digit record and item such as \"0114\"");
}

TEST(ReplayPlayer, AWitsLogGivesItsOutFramesAtTheirMomentsWithTheirLineEnds) {
  const std::string folder = Folder();
  const std::string log =
      "OUT 2026-Dec-11 9:30:00.000\r\n&&\r\n0108100\r\n!!\r\n"
      "IN 2026-Dec-11 9:30:00.500\r\n&&\r\n0110\r\n!!\r\n"
      "OUT 2026-Dec-11 9:30:02.250 not sent: no client\r\n&&\r\n\r\n!!\r\n"
      "FAULT 2026-Dec-11 9:30:03.000 split\r\n"
      "OUT 2026-Dec-11 9:30:04.000\r\n&&\r\n0108101\r\n0114-999.25\r\n!!\r\n";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "WitsLog_x.txt", log);
  options.speed = 2.0;
  auto player = OpenPlayer(options);
  ASSERT_TRUE(player);
  ASSERT_TRUE(player->SendsFrames());
  std::vector<std::pair<uint32_t, std::string>> sent;
  for (uint32_t ms = 0; ms <= 3000; ms += 100) {
    player->Advance(ms);
    std::vector<std::string> frames;
    player->TakeDueFrames(frames);
    for (std::string& frame : frames) sent.emplace_back(ms, frame);
  }
  ASSERT_EQ(sent.size(), 3U);
  EXPECT_EQ(sent[0], std::make_pair(0U, std::string("&&\r\n0108100\r\n!!\r\n")));
  EXPECT_EQ(sent[1], std::make_pair(1200U, std::string("&&\r\n\r\n!!\r\n")));  // 2.25 s at twice the speed
  EXPECT_EQ(sent[2], std::make_pair(2000U, std::string("&&\r\n0108101\r\n0114-999.25\r\n!!\r\n")));
}

TEST(ReplayPlayer, ACaptureGivesFramesAtAFixedIntervalOrItsTimeItem) {
  const std::string folder = Folder();
  const std::string capture = "noise&&\r\n0106235958\r\n0108100\r\n!!\r\n&&\n0106000003\n!!\n&&\r\n0108 broken"
                              "&&\r\n0106000004\r\n!!";
  ReplayOptions options;
  options.path = vorn::test::WriteFile(folder, "capture.bin", capture);
  options.frameIntervalSeconds = 1.0;
  auto fixed = OpenPlayer(options);
  options.paceItem = "0106";
  auto paced = OpenPlayer(options);
  ASSERT_TRUE(fixed && paced);
  std::vector<uint32_t> fixedAt;
  std::vector<uint32_t> pacedAt;
  std::vector<std::string> bytes;
  for (uint32_t ms = 0; ms <= 8000; ms += 100) {
    fixed->Advance(ms);
    paced->Advance(ms);
    std::vector<std::string> frames;
    fixed->TakeDueFrames(frames);
    for (std::string& frame : frames) {
      fixedAt.push_back(ms);
      bytes.push_back(frame);
    }
    frames.clear();
    paced->TakeDueFrames(frames);
    for (std::size_t i = 0; i < frames.size(); ++i) pacedAt.push_back(ms);
  }
  EXPECT_EQ(fixedAt, (std::vector<uint32_t>{0, 1000, 2000}));
  EXPECT_EQ(pacedAt, (std::vector<uint32_t>{0, 5000, 6000}));  // across midnight
  ASSERT_EQ(bytes.size(), 3U);
  EXPECT_EQ(bytes[0], "&&\r\n0106235958\r\n0108100\r\n!!\r\n");
  EXPECT_EQ(bytes[1], "&&\n0106000003\n!!\n");
  EXPECT_EQ(bytes[2], "&&\r\n0106000004\r\n!!");
  EXPECT_EQ(fixed->Position(8000).badRows, 1U);
}

}  // namespace
