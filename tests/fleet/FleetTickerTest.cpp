// The fleet's one timer over real rig controllers on a hand-driven clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

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

  // Over three ticks late: one tick each, and the next a whole tick from now.
  AdvanceTo(start + 450);
  EXPECT_EQ(first.Ticks(), 2);
  EXPECT_EQ(second.Ticks(), 2);
  EXPECT_EQ(ticker.NextDue(), start + 550);
  // A wake that is late by less than a tick keeps the phase.
  AdvanceTo(start + 590);
  EXPECT_EQ(ticker.NextDue(), start + 650);
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
