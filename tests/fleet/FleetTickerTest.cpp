// The fleet's one timer over real rig controllers on a hand-driven clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "command/RigController.h"
#include "fleet/FleetTicker.h"
#include "tests/command/RecordingView.h"
#include "tests/common/TestEnvironment.h"
#include "tests/engine/ManualClocks.h"

namespace {

using vorn::test::ManualClocks;
using vorn::test::RecordingView;

// A rig whose link opens nothing, ticked by the test's ticker.
struct TickedRig {
  TickedRig(ManualClocks& clocks, CFleetTicker& ticker, const std::string& name) : engine(clocks.Make()) {
    engine.m_pumpsMessage = nullptr;
    engine.m_strDataRoot = vorn::test::MakeScratchFolder(name);
    controller.LoadAtStartup();
    CWitsCommSettings silent;
    silent.commType = 2;
    EXPECT_TRUE(controller.SetLinkSettings(silent).IsDone());
    controller.SetTickSource(&ticker);
    controller.AddView(view);
  }
  ~TickedRig() { controller.RemoveView(view); }
  [[nodiscard]] long Ticks() const { return std::count(view.events.begin(), view.events.end(), "tick"); }

  CRigSim engine;
  CRigController controller{engine};
  RecordingView view;
};

class FleetTickerTest : public ::testing::Test {
 protected:
  void AdvanceTo(uint32_t ms) {
    clocks.Advance(ms - clocks.ms);
    ticker.Service();
  }

  ManualClocks clocks;
  CFleetTicker ticker{[this] { return clocks.ms; }};
};

TEST_F(FleetTickerTest, RigsKeepThePhaseOfTheirStartAndALateWakeTicksEachOnceWithoutQueueing) {
  TickedRig first(clocks, ticker, "first");
  TickedRig second(clocks, ticker, "second");
  const uint32_t start = clocks.ms;
  ASSERT_TRUE(first.controller.SetRunning(true).IsDone());
  clocks.Advance(30);
  ASSERT_TRUE(second.controller.SetRunning(true).IsDone());
  EXPECT_EQ(ticker.TickingCount(), 2u);
  EXPECT_EQ(ticker.NextDue(), start + 100);

  AdvanceTo(start + 99);
  EXPECT_EQ(first.Ticks(), 0);
  AdvanceTo(start + 100);
  EXPECT_EQ(first.Ticks(), 1);
  EXPECT_EQ(second.Ticks(), 0);
  EXPECT_EQ(ticker.NextDue(), start + 130);
  AdvanceTo(start + 130);
  EXPECT_EQ(second.Ticks(), 1);
  EXPECT_EQ(ticker.NextDue(), start + 200);

  // Over two ticks late: one tick each, and each goes on in its own phase.
  AdvanceTo(start + 450);
  EXPECT_EQ(first.Ticks(), 2);
  EXPECT_EQ(second.Ticks(), 2);
  EXPECT_EQ(ticker.NextDue(), start + 500);
  AdvanceTo(start + 590);
  EXPECT_EQ(first.Ticks(), 3);
  EXPECT_EQ(second.Ticks(), 3);
  EXPECT_EQ(ticker.NextDue(), start + 600);
}

TEST_F(FleetTickerTest, RigsMeantToStartTogetherShareTheirWakeUpsHoweverLongStartingThemTook) {
  std::vector<std::unique_ptr<TickedRig>> rigs;
  const uint32_t start = clocks.ms;
  ticker.SetPhaseAnchor(start);
  for (int i = 0; i < 25; ++i) {  // 7 ms apart, as a slow start-up of many rigs would be
    rigs.push_back(std::make_unique<TickedRig>(clocks, ticker, "rig" + std::to_string(i)));
    ASSERT_TRUE(rigs.back()->controller.SetRunning(true).IsDone());
    clocks.Advance(7);
  }
  ticker.SetPhaseAnchor(std::nullopt);
  std::set<uint32_t> wakes;
  while (clocks.ms < start + 500) {
    const std::optional<uint32_t> next = ticker.NextDue();
    ASSERT_TRUE(next.has_value());
    wakes.insert(*next - start);
    AdvanceTo(*next);
  }
  // The last rigs started after 100 ms: their first tick is the next one in the phase.
  EXPECT_EQ(wakes, (std::set<uint32_t>{100, 200, 300, 400, 500}));
  EXPECT_EQ(rigs.front()->Ticks(), 5);
  EXPECT_EQ(rigs.back()->Ticks(), 4);  // started at 168: ticks at 200, 300, 400 and 500
}

TEST_F(FleetTickerTest, ARigStoppedDuringAnotherRigsTickIsNotTickedAgainAndACallComesOnceAtItsTime) {
  TickedRig first(clocks, ticker, "stopper");
  TickedRig second(clocks, ticker, "stopped");
  const uint32_t start = clocks.ms;
  ASSERT_TRUE(first.controller.SetRunning(true).IsDone());
  ASSERT_TRUE(second.controller.SetRunning(true).IsDone());
  first.view.then = [&](const std::string& line) {
    if (line == "tick") (void)second.controller.SetRunning(false);
  };
  int calls = 0;
  ticker.CallAt(start + 250, [&calls] { ++calls; });

  AdvanceTo(start + 100);
  EXPECT_EQ(first.Ticks(), 1);
  EXPECT_EQ(second.Ticks(), 0);
  EXPECT_FALSE(second.controller.IsRunning());
  EXPECT_EQ(ticker.TickingCount(), 1u);

  AdvanceTo(start + 249);
  EXPECT_EQ(calls, 0);
  AdvanceTo(start + 250);
  EXPECT_EQ(calls, 1);
  AdvanceTo(start + 400);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(second.Ticks(), 0);

  first.view.then = nullptr;
  ASSERT_TRUE(first.controller.SetRunning(false).IsDone());
  EXPECT_EQ(ticker.TickingCount(), 0u);
  EXPECT_FALSE(ticker.NextDue().has_value());
}

}  // namespace
