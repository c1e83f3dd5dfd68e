#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "tests/engine/EngineFixture.h"

namespace {

using RunFilesTest = vorn::test::EngineInOwnRootTest;
using vorn::test::Lines;
using vorn::test::RawBytes;

TEST_F(RunFilesTest, HeaderAndFirstRowFromTheDefaultStartingState) {
  clocks.seconds = 700'000'000.0;  // 2022-03-07 ...
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  EXPECT_EQ(engine->m_strCsvPath, vorn::OutputFilesFolder() + "/" + vorn::FormatFileStamp(clocks.seconds) + ".csv");
  EXPECT_EQ(engine->m_strWitsLogPath,
            vorn::WitsLogFilesFolder() + "/WitsLog_" + vorn::FormatFileStamp(clocks.seconds) + ".txt");
  EXPECT_EQ(RawBytes(engine->m_strCsvPath),
            "TIME,DEPTH,HOLE_DEPTH,BLOCK_HEIGHT,ROP,HOOKLOAD,SLIPS,ON_BOTTOM,RPM,FLOW,SPP,SPM1,SPM2,WOB,TORQ,"
            "INC,AZM,AZMC,GTOT,BTOT,DIP,TF,GAM\r\n");
  engine->OnTick();
  Tick();  // the second tick writes the first row
  const auto lines = Lines(engine->m_strCsvPath);
  ASSERT_EQ(lines.size(), 2u);
  const std::string time = vorn::FormatSlashedTimestamp(vorn::SecondsToSystemTime(clocks.seconds), " ");
  EXPECT_EQ(lines[1], time + ",1000,1000,0,0,60,0,1,0,0,0,0,0,40,200"
                             ",-999.25,-999.25,-999.25,-999.25,-999.25,-999.25,-999.25,-999.25");
}

TEST_F(RunFilesTest, DisabledItemsHaveNoColumnAndCommasAreQuoted) {
  engine->m_outputItems.resize(3);
  engine->m_outputItems[1].m_bEnable = false;
  engine->m_outputItems.emplace_back(false, true, "NOTE, \"A\"", 0.0, ItemText, 0, 0, 0, "a,b", FilterBoth, false,
                                     0, 0);
  std::string error;
  ASSERT_TRUE(engine->StartRun(error));
  engine->OnTick();
  Tick();
  const auto lines = Lines(engine->m_strCsvPath);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "TIME,DEPTH,BLOCK_HEIGHT,\"NOTE, \"\"A\"\"\"");
  EXPECT_EQ(lines[1].substr(lines[1].find(',')), ",1000,0,\"a,b\"");
}

TEST_F(RunFilesTest, AnOutputFolderThatCannotBeWrittenFailsTheStart) {
  std::filesystem::remove_all(vorn::OutputFilesFolder());
  std::ofstream(vorn::OutputFilesFolder()) << "a file where the folder belongs";
  std::string error;
  EXPECT_FALSE(engine->StartRun(error));
  EXPECT_EQ(error, "Unable to Open output file: " + engine->m_strCsvPath);
}

// A whole default stand through the real engine and files: the CSV shows the bit deepening, the
// slips and pumps changing in the order of the sub-states, and the pump-start items firing.
TEST_F(RunFilesTest, ADrilledStandReadsBackFromTheCsvFile) {
  engine->m_settings.m_fWriteFileInterval = 1.0;
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  engine->OnTick();
  Tick(2968 * 10);  // a stand takes 2962.8 s; stop while picking up for the next one
  const auto lines = Lines(engine->m_strCsvPath);
  ASSERT_GT(lines.size(), 2900u);

  std::vector<std::string> header;
  vorn::SplitText(lines[0], ",", header);
  const auto column = [&](const std::string& name) {
    return static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  std::vector<std::string> events;  // changes of slips and pumps, in order
  std::string slips = "0", flow = "0";
  double firstDepth = 0, lastDepth = 0;
  bool incFired = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> f;
    vorn::SplitText(lines[i], ",", f);
    ASSERT_EQ(f.size(), header.size()) << lines[i];
    if (i == 1) firstDepth = std::stod(f[column("HOLE_DEPTH")]);
    lastDepth = std::stod(f[column("HOLE_DEPTH")]);
    if (f[column("SLIPS")] != slips) events.push_back((slips = f[column("SLIPS")]) == "1" ? "slips set" : "slips out");
    const bool pumping = f[column("FLOW")] != "0";
    if (pumping != (flow != "0")) events.push_back(pumping ? "pumps on" : "pumps off");
    flow = f[column("FLOW")];
    incFired = incFired || f[column("INC")] == "20";
  }
  EXPECT_EQ(events, (std::vector<std::string>{"pumps on", "pumps off", "slips set", "slips out", "pumps on"}));
  EXPECT_EQ(firstDepth, 1000.0);
  EXPECT_NEAR(lastDepth, 1100.0, 0.2);
  EXPECT_TRUE(incFired);
}


// Runs started and stopped at random moments, several in one second: every run keeps files of its
// own, untouched by the runs after it; the first run of a second has the usual names, the later ones
// the stamp followed by "_2", "_3", ...
TEST_F(RunFilesTest, RunsInTheSameSecondNeverShareOrTruncateFiles) {
  CRigSim& engine = *this->engine;
  engine.m_settings.m_fWriteFileInterval = 0.1;
  engine.m_settings.m_fWitsOutInterval = 0.1;
  std::mt19937 random(20261211);
  struct Run {
    std::string csv, log, csvBytes, logBytes, stamp;
  };
  std::vector<Run> runs;
  for (int i = 0; i < 60; ++i) {
    clocks.Advance(std::uniform_int_distribution<uint32_t>(0, 700)(random));
    std::string error;
    ASSERT_TRUE(engine.StartRun(error)) << error;
    Run run{engine.m_strCsvPath, engine.m_strWitsLogPath, {}, {}, vorn::FormatFileStamp(clocks.seconds)};
    for (int tick = std::uniform_int_distribution<int>(0, 3)(random); tick > 0; --tick) {
      clocks.Advance(100);
      engine.OnTick();
    }
    engine.StopRun();
    run.csvBytes = RawBytes(run.csv);
    run.logBytes = RawBytes(run.log);
    runs.push_back(run);
  }
  std::map<std::string, int> runsInSecond;
  for (const Run& run : runs) {
    const int n = ++runsInSecond[run.stamp];
    const std::string suffix = n == 1 ? "" : "_" + std::to_string(n);
    EXPECT_EQ(run.csv, vorn::OutputFilesFolder() + "/" + run.stamp + suffix + ".csv");
    EXPECT_EQ(run.log, vorn::WitsLogFilesFolder() + "/WitsLog_" + run.stamp + suffix + ".txt");
    EXPECT_EQ(RawBytes(run.csv), run.csvBytes) << run.csv << " changed after its run";
    EXPECT_EQ(RawBytes(run.log), run.logBytes) << run.log << " changed after its run";
    EXPECT_TRUE(run.csvBytes.starts_with("TIME,DEPTH,")) << run.csv;
  }
  EXPECT_LT(runsInSecond.size(), runs.size());  // the draw put several runs in one second
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(vorn::OutputFilesFolder()),
                          std::filesystem::directory_iterator()),
            static_cast<std::ptrdiff_t>(runs.size()));
}

}  // namespace
