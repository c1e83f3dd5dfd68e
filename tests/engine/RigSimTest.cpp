#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <vector>

#include "engine/RigSim.h"
#include "support/ProfileSection.h"
#include "tests/engine/ManualClocks.h"

namespace {

constexpr uint32_t kTick = 100;

class RigSimTest : public ::testing::Test, public CRigSimMessagesIF {
 protected:
  RigSimTest() : engine(clocks.Make()) {
    engine.m_pumpsMessage = [this](bool on) { pumpMessages.push_back(on); };
    engine.m_pCallback = this;
  }

  void OnModeChanged(int newMode) override { modeChanges.push_back(newMode); }

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      clocks.Advance(kTick);
      engine.OnTick();
    }
  }

  // Ticks until the current mode's sub-state becomes `target`, at most `limit` ticks.
  bool TickUntilSubState(int target, int limit) {
    for (int i = 0; i < limit; ++i) {
      Tick();
      if (engine.GetSubState() == target) return true;
    }
    return false;
  }

  void PutInSubState(int mode, int subState) {
    engine.m_settings.m_mode = mode;
    engine.m_subState[static_cast<size_t>(mode)] = subState;
    engine.m_subStatePrev[static_cast<size_t>(mode)] = subState;
  }

  vorn::test::ManualClocks clocks;
  CRigSim engine;
  std::vector<bool> pumpMessages;
  std::vector<int> modeChanges;
};

TEST_F(RigSimTest, FirstTickOnlyRecordsTheTime) {
  const double flow = engine.m_fFlow;
  const double hookload = engine.m_fHookLoad;
  engine.OnTick();
  EXPECT_EQ(engine.m_fDepth, 1000.0);
  EXPECT_EQ(engine.m_fBlockHeight_, 0.0);
  EXPECT_EQ(engine.m_fFlow, flow);
  EXPECT_EQ(engine.m_fHookLoad, hookload);
  EXPECT_EQ(engine.GetSubState(), DrillIdle);
  EXPECT_TRUE(pumpMessages.empty());
  EXPECT_FALSE(engine.m_lastCalcTime || engine.m_lastCsvTime || engine.m_lastWitsTime);
  ASSERT_TRUE(engine.m_lastTickTime);
  EXPECT_EQ(*engine.m_lastTickTime, clocks.ms);

  Tick();  // the second tick runs every interval action at once
  EXPECT_EQ(engine.GetSubState(), PickingUpOffBottom);
  EXPECT_EQ(engine.m_lastCalcTime.value_or(0), clocks.ms);
  EXPECT_EQ(engine.m_lastCsvTime.value_or(0), clocks.ms);
  EXPECT_EQ(engine.m_lastWitsTime.value_or(0), clocks.ms);
}

TEST_F(RigSimTest, IntervalActionsRunOnRealSecondsAndPingModeSendsNothingOnTheClock) {
  engine.m_settings.m_bRequiresPing = true;
  engine.SetTenTimesSpeed(true);  // does not shorten the intervals
  engine.OnTick();
  Tick();
  const uint32_t first = clocks.ms;
  EXPECT_FALSE(engine.m_lastWitsTime);
  Tick(9);
  EXPECT_EQ(*engine.m_lastCalcTime, first);  // 0.9 s later: not yet
  Tick();
  EXPECT_EQ(*engine.m_lastCalcTime, clocks.ms);
  EXPECT_EQ(*engine.m_lastCsvTime, first);
  EXPECT_FALSE(engine.m_lastWitsTime);
}

// One default stand: every sub-state lasts as long as the settings say, within one tick.
TEST_F(RigSimTest, DefaultStandTakesTheConfiguredTimesAndDeepensTheHoleByOneStand) {
  engine.OnTick();
  std::map<int, uint32_t> entered;  // sub-state -> clock when it started acting
  std::map<int, double> duration;
  int current = engine.GetSubState();
  entered[current] = clocks.ms;
  bool sawPickupEnd = false;
  while (duration.size() < 12 && clocks.ms < 5000 + 4'000'000) {
    const double depthBefore = engine.m_fDepth;
    const double blockBefore = engine.m_fBlockHeight_;
    Tick();
    const int now = engine.GetSubState();
    if (now == current) continue;
    duration[current] = (clocks.ms - entered[current]) / 1000.0;
    if (current == PickingUpOffBottom && !sawPickupEnd) {
      sawPickupEnd = true;
      EXPECT_LE(engine.m_fDepth, 997.0);
      EXPECT_GT(depthBefore, 997.0);
      EXPECT_NEAR(engine.m_fBlockHeight_, 1000.0 - engine.m_fDepth, 1e-9);
      (void)blockBefore;
    }
    if (current == DrillingRotating) break;
    current = now;
    entered[current] = clocks.ms;
  }
  const double tick = kTick / 1000.0;
  const std::map<int, double> expected = {
      {PickingUpOffBottom, 10.8}, {TurningPumpsOff, 30}, {PausingAfterPumpsOff, 30}, {SettingSlips, 30},
      {ConnectionUp, 45},         {DrillReleasingSlips, 30}, {TurningPumpsOn, 30}, {PausingAfterPumpsOn, 30},
      {WipingIn, 27},             {DrillingSliding, 1800}, {DrillingRotating, 900}};
  for (const auto& [state, seconds] : expected) {
    ASSERT_TRUE(duration.count(state)) << SubStateNames(Drill)[static_cast<size_t>(state)];
    // Each step may end up to one tick late. Rotating drills what is left of the block travel, so the
    // overshoots of picking up and wiping in (a tick's distance each) can shorten it by a few ticks.
    const double early = state == DrillingRotating ? 1.0 : 1e-6;
    EXPECT_GE(duration[state], seconds - early) << SubStateNames(Drill)[static_cast<size_t>(state)];
    EXPECT_LE(duration[state], seconds + tick + 1e-6) << SubStateNames(Drill)[static_cast<size_t>(state)];
  }
  EXPECT_EQ(engine.GetSubState(), PickingUpOffBottom);
  EXPECT_NEAR(engine.m_fHoleDepth, 1100.0, 0.05);
  EXPECT_NEAR(engine.m_fDepth, engine.m_fHoleDepth, 1e-9);
  // Pumps: on while picking up, off for the connection, on again for wiping and drilling.
  EXPECT_EQ(pumpMessages, (std::vector<bool>{true, false, true}));
}

TEST_F(RigSimTest, PumpMessagesComeOnTheFirstTickOfTheirSubStates) {
  engine.OnTick();
  ASSERT_TRUE(TickUntilSubState(TurningPumpsOff, 200));
  pumpMessages.clear();
  Tick();  // first tick acting as "Turning Pumps Off"
  EXPECT_EQ(pumpMessages, std::vector<bool>{false});
  Tick(20);
  EXPECT_EQ(pumpMessages, std::vector<bool>{false});
  ASSERT_TRUE(TickUntilSubState(TurningPumpsOn, 3000));
  pumpMessages.clear();
  Tick();
  EXPECT_EQ(pumpMessages, std::vector<bool>{true});
  // Leaving Drill while the pumps run stops them.
  engine.SetMode(Idle);
  Tick();
  EXPECT_EQ(pumpMessages, (std::vector<bool>{true, false}));
}

TEST_F(RigSimTest, TenTimesSpeedScalesTheTimeAlreadySpentInTheSubState) {
  engine.OnTick();
  ASSERT_TRUE(TickUntilSubState(TurningPumpsOff, 200));
  Tick(50);  // 5 s of a 30 s wait
  EXPECT_EQ(engine.GetSubState(), TurningPumpsOff);
  engine.SetTenTimesSpeed(true);
  Tick();
  EXPECT_EQ(engine.GetSubState(), PausingAfterPumpsOff);
}

TEST_F(RigSimTest, OnBottomWithinOneUnitAndHookloadCases) {
  engine.SetMode(Idle);
  engine.OnTick();
  engine.m_fDepth = 999.0;  // exactly 1.0 above the bottom
  Tick();
  EXPECT_TRUE(engine.m_bOnBottom);
  EXPECT_EQ(engine.m_fWOB, 40.0);
  EXPECT_EQ(engine.m_fTorq, 200.0);
  EXPECT_EQ(engine.m_fHookLoad, 60.0);

  engine.m_fDepth = 998.99;
  Tick();
  EXPECT_FALSE(engine.m_bOnBottom);
  EXPECT_EQ(engine.m_fWOB, 0.0);
  EXPECT_EQ(engine.m_fTorq, 0.0);
  EXPECT_EQ(engine.m_fHookLoad, 100.0);

  engine.m_fDepth = 1000.0;
  PutInSubState(TripIn, TripSettingSlips);
  Tick();
  EXPECT_TRUE(engine.m_bInSlips);
  EXPECT_TRUE(engine.m_bOnBottom);
  EXPECT_EQ(engine.m_fHookLoad, 0.0);
}

TEST_F(RigSimTest, GainScalesFlowAndPressureButNotStrokes) {
  engine.OnTick();
  Tick();  // now picking up, pumps on
  engine.m_settings.m_nFlowSPPGain = 50;
  Tick();
  ASSERT_TRUE(engine.m_bPumpsOn);
  EXPECT_EQ(engine.m_fFlow, 200.0);
  EXPECT_EQ(engine.m_fSPP, 2000.0);
  EXPECT_EQ(engine.m_fSPM1, 60.0);
  EXPECT_EQ(engine.m_fSPM2, 80.0);
  engine.m_settings.m_nFlowSPPGain = 0;
  Tick();
  EXPECT_EQ(engine.m_fFlow, 0.0);
  EXPECT_EQ(engine.m_fSPP, 0.0);
  EXPECT_EQ(engine.m_fSPM1, 60.0);
}

TEST_F(RigSimTest, TripInReachingBottomSwitchesToDrillOnce) {
  engine.m_subState[Drill] = DrillingSliding;
  engine.m_subStatePrev[Drill] = DrillingSliding;
  PutInSubState(TripIn, TripPipeMoving);
  engine.m_fDepth = 990.0;
  engine.m_fBlockHeight_ = 100.0;
  engine.OnTick();
  int ticks = 0;
  while (engine.m_settings.m_mode == TripIn && ticks++ < 1000) Tick();
  EXPECT_EQ(engine.m_settings.m_mode, Drill);
  EXPECT_EQ(modeChanges, std::vector<int>{Drill});
  EXPECT_GE(engine.m_fDepth, engine.m_fHoleDepth);
  // The drilling machine goes on from the sub-state it had.
  EXPECT_EQ(engine.GetSubState(), DrillingSliding);
  const double depth = engine.m_fDepth;
  Tick();
  EXPECT_GT(engine.m_fDepth, depth);
  EXPECT_EQ(modeChanges.size(), 1u);
}

TEST_F(RigSimTest, TripOutReachingSurfaceSwitchesToTripIn) {
  PutInSubState(TripOut, TripPipeMoving);
  engine.m_fDepth = 20.0;
  engine.m_fHoleDepth = 1000.0;
  engine.OnTick();
  int ticks = 0;
  while (engine.m_settings.m_mode == TripOut && ticks++ < 1000) Tick();
  EXPECT_EQ(engine.m_settings.m_mode, TripIn);
  EXPECT_EQ(modeChanges, std::vector<int>{TripIn});
  EXPECT_LE(engine.m_fDepth, 0.0);
}

TEST_F(RigSimTest, TripStandsCycleThroughSlipsConnectionAndPipe) {
  PutInSubState(TripOut, TripIdle);
  engine.m_fBlockHeight_ = 0.0;
  engine.OnTick();
  EXPECT_TRUE(TickUntilSubState(TripSettingSlips, 2));
  EXPECT_TRUE(TickUntilSubState(TripConnection, 400));  // 30 s in the slips
  EXPECT_TRUE(TickUntilSubState(TripReleasingSlips, 5));  // block already at 0
  EXPECT_TRUE(TickUntilSubState(TripPipeMoving, 400));
  const double depth = engine.m_fDepth;
  EXPECT_TRUE(TickUntilSubState(TripSettingSlips, 2000));  // 100 at 2000 per hour: 180 s
  // The block overshot 0 by one tick of the connection, so the stand is that much longer.
  EXPECT_NEAR(depth - engine.m_fDepth, 100.0 + 8000.0 * 0.1 / 3600.0, 0.06);
  EXPECT_FALSE(engine.m_bPumpsOn);
}

TEST_F(RigSimTest, DepthSettersKeepTheBitInTheHole) {
  engine.SetBitDepth(1200);
  EXPECT_EQ(engine.m_fDepth, 1200.0);
  EXPECT_EQ(engine.m_fHoleDepth, 1200.0);
  engine.SetHoleDepth(900);
  EXPECT_EQ(engine.m_fDepth, 900.0);
  EXPECT_EQ(engine.m_fHoleDepth, 900.0);
  engine.SetBitDepth(800);
  engine.SetHoleDepth(1100);
  EXPECT_EQ(engine.m_fDepth, 800.0);
  EXPECT_EQ(engine.m_fHoleDepth, 1100.0);
}

TEST_F(RigSimTest, SetModeRestartsOldAndNewMachinesOnlyOnAChange) {
  engine.m_subState[Drill] = WipingIn;
  engine.m_subStatePrev[Drill] = WipingIn;
  engine.m_subState[TripIn] = TripPipeMoving;
  engine.SetMode(Drill);
  EXPECT_EQ(engine.GetSubState(), WipingIn);
  engine.SetMode(TripIn);
  EXPECT_EQ(engine.m_settings.m_mode, TripIn);
  EXPECT_EQ(engine.m_subState[Drill], 0);
  EXPECT_EQ(engine.m_subStatePrev[Drill], 0);
  EXPECT_EQ(engine.m_subState[TripIn], 0);
  EXPECT_TRUE(modeChanges.empty());
}

TEST_F(RigSimTest, AModeOutsideTheTableMovesNothingButStillDerivesChannels) {
  engine.m_settings.m_mode = 7;
  engine.OnTick();
  Tick(10);
  EXPECT_EQ(engine.m_fDepth, 1000.0);
  EXPECT_EQ(engine.m_fFlow, 0.0);
  EXPECT_EQ(engine.m_fHookLoad, 60.0);
  EXPECT_EQ(engine.GetSubState(), 0);
  EXPECT_TRUE(engine.GetSubStateNames().empty());
}

TEST_F(RigSimTest, StateSnapshotAndRestore) {
  EXPECT_EQ(engine.GetSimState().nTimeInState, 0);
  engine.OnTick();
  ASSERT_TRUE(TickUntilSubState(TurningPumpsOff, 200));
  Tick(25);
  CSimState state = engine.GetSimState();
  EXPECT_EQ(state.m_state_, TurningPumpsOff);
  EXPECT_EQ(state.m_statePrev_, TurningPumpsOff);
  EXPECT_EQ(state.nTimeInState, 2500);

  // Time spent stopped does not count: 2.5 s were spent, 27.5 s remain.
  CRigSim restored(clocks.Make());
  restored.m_pumpsMessage = nullptr;
  clocks.Advance(600'000);
  restored.SetSimState(state);
  EXPECT_EQ(restored.m_subState[Drill], TurningPumpsOff);
  EXPECT_EQ(restored.m_stateStartTime, clocks.ms - 2500);
  restored.OnTick();
  for (int i = 0; i < 274; ++i) {
    clocks.Advance(kTick);
    restored.OnTick();
  }
  EXPECT_EQ(restored.GetSubState(), TurningPumpsOff);
  clocks.Advance(kTick);
  restored.OnTick();
  EXPECT_EQ(restored.GetSubState(), PausingAfterPumpsOff);

  state.nTimeInState = -500;
  restored.SetSimState(state);
  EXPECT_EQ(restored.m_stateStartTime, clocks.ms);
}

TEST_F(RigSimTest, DefaultStartStateResetsPositionsAndDrillMachine) {
  engine.OnTick();
  Tick(50);
  engine.SetTenTimesSpeed(true);
  engine.m_settings.m_mode = TripOut;
  engine.m_subState[TripOut] = 3;
  engine.SetDefaultStartState();
  EXPECT_EQ(engine.m_settings.m_mode, Drill);
  EXPECT_EQ(engine.m_fDepth, 1000.0);
  EXPECT_EQ(engine.m_fHoleDepth, 1000.0);
  EXPECT_EQ(engine.m_fBlockHeight_, 0.0);
  EXPECT_EQ(engine.m_subState[Drill], 0);
  EXPECT_EQ(engine.m_subState[TripOut], 3);  // left alone
  EXPECT_TRUE(engine.TenTimesSpeed());
  EXPECT_FALSE(engine.m_lastTickTime);
  EXPECT_TRUE(engine.m_bOnBottom);
  EXPECT_EQ(engine.GetSimState().nTimeInState, 0);
}

TEST_F(RigSimTest, ElapsedTimeIsRightAcrossTheClockWrap) {
  clocks.ms = 0xFFFF'FF00u;
  engine.OnTick();
  Tick();  // idle -> picking up
  const double depth = engine.m_fDepth;
  clocks.Advance(360);  // crosses 2^32
  engine.OnTick();
  EXPECT_NEAR(depth - engine.m_fDepth, 1000.0 * 0.36 / 3600.0, 1e-12);
}

TEST_F(RigSimTest, StateValuesAreTheFourteenChannelsInOrder) {
  const auto values = engine.GetStateValues();
  ASSERT_EQ(values.size(), 14u);
  const std::vector<std::string> names = {"DEPTH", "HOLE_DEPTH", "BLOCK_HEIGHT", "ROP", "HOOKLOAD",
                                          "SLIPS", "ON_BOTTOM",  "RPM",          "FLOW", "SPP",
                                          "SPM1",  "SPM2",       "WOB",          "TORQ"};
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(values[i].first, names[i]);
  EXPECT_EQ(values[0].second, "1000.00");
  EXPECT_EQ(values[5].second, "FALSE");
  EXPECT_EQ(values[6].second, "TRUE");
  EXPECT_EQ(values[8].second, "400.00");
}

TEST(SimSettingsTest, ValidateAllowsEqualSlideAndStandLength) {
  CSimSettings settings;
  EXPECT_EQ(settings.Validate(), "");
  settings.m_fStandLength = 50.0;
  settings.m_fDepthToSlide = 50.0;
  EXPECT_EQ(settings.Validate(), "");
  settings.m_fDepthToSlide = 50.000001;
  EXPECT_EQ(settings.Validate(), "'Stand Length' is less than 'Depth to Slide'");
  settings.SetDefaults();
  EXPECT_EQ(settings.m_fDepthToSlide, 50.0);
  EXPECT_EQ(settings.m_nFlowSPPGain, 100);
}

// The skid link uses the port one above the WITS link's. Past the last 32-bit port there is none: the
// skid link's port must not wrap round to a negative or valid port, and its open refuses it as it
// refuses any port outside 0 to 65535.
TEST(SkidLinkTest, APortPastTheLastIsRefusedNotWrapped) {
  vorn::CProfileSection("_Local", "").WriteInt("Enable Skid Sim Comms", 1);
  vorn::test::ManualClocks clocks;
  CRigSim engine(clocks.Make());
  vorn::CProfileSection("_Local", "").WriteInt("Enable Skid Sim Comms", 0);
  ASSERT_TRUE(engine.SkidLinkEnabled());
  CWitsCommSettings settings;
  settings.nTcpIpPort = std::numeric_limits<int32_t>::max();
  engine.SetCommSettings(settings);
  EXPECT_GT(engine.m_skidLink.m_settings.nTcpIpPort, 65535);
  engine.m_skidLink.Open();
  EXPECT_EQ(engine.m_skidLink.m_state, TryingToConnect);
  EXPECT_EQ(engine.m_skidLink.m_strStatus, "Server Create on Port 2147483647 Failed. GetLastError = 22");
  engine.m_skidLink.Close();
}

}  // namespace
