#include <gtest/gtest.h>

#include <sstream>

#include "app/HeadlessRunner.h"
#include "persist/SettingsFiles.h"
#include "tests/common/EventWait.h"
#include "tests/engine/ManualClocks.h"

namespace {

using vorn::test::ManualClocks;
using vorn::test::WaitUntil;

TEST(HeadlessRunnerTest, TheDurationRunsOnTheEngineClockFromTheRunStart) {
  {
    CRigSim settings;
    settings.m_pumpsMessage = nullptr;
    CWitsCommSettings link;
    link.commType = 2;  // a kind that opens nothing
    settings.SetCommSettings(link);
    SaveWitsCommSettings(settings);
  }
  ManualClocks clocks;
  CommandLineOptions options;
  options.headless = true;
  options.durationSeconds = 0.5;
  std::ostringstream status;
  CHeadlessRunner runner(options, status, clocks.Make());
  ASSERT_TRUE(runner.Start()) << status.str();
  const auto stopped = [&] { return status.str().find("Run stopped.") != std::string::npos; };

  // Ticks come and go in real time while the engine's clock stands still: the run goes on.
  EXPECT_FALSE(WaitUntil(stopped, 1000));
  clocks.Advance(499);
  EXPECT_FALSE(WaitUntil(stopped, 500));
  clocks.Advance(1);
  EXPECT_TRUE(WaitUntil(stopped, 5000)) << status.str();
  EXPECT_EQ(runner.ExitCode(), 0);
}

}  // namespace
