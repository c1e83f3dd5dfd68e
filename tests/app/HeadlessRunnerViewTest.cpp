#include <gtest/gtest.h>

#include <sstream>

#include "app/HeadlessRunner.h"
#include "persist/SettingsFiles.h"
#include "tests/engine/ManualClocks.h"

namespace {

using vorn::test::ManualClocks;

long Count(const std::string& text, const std::string& part) {
  long count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The headless status is one view among others: a run stopped and started again by another issuer
// (the control API) shows in its lines, and the program goes on.
TEST(HeadlessRunnerTest, ARunStoppedAndStartedByAnotherIssuerShowsInTheStatusLines) {
  ManualClocks clocks;
  CommandLineOptions options;
  options.headless = true;
  std::ostringstream status;
  CHeadlessRunner runner(options, status, clocks.Make());
  CWitsCommSettings silent;
  silent.commType = 2;  // a link that opens nothing
  ASSERT_TRUE(runner.Controller().SetLinkSettings(silent).IsDone());
  ASSERT_TRUE(runner.Start()) << status.str();

  ASSERT_TRUE(runner.Controller().SetRunning(false).IsDone());
  EXPECT_EQ(Count(status.str(), " Run stopped. CSV file: "), 1) << status.str();
  ASSERT_TRUE(runner.Controller().SetRunning(true).IsDone());
  EXPECT_EQ(Count(status.str(), " Run started. CSV file: "), 2) << status.str();
  EXPECT_EQ(runner.ExitCode(), 0);

  runner.Stop(0);
  EXPECT_EQ(Count(status.str(), " Run stopped. CSV file: "), 2) << status.str();
}

}  // namespace
