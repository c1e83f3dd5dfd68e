#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/RigMode.h"
#include "support/Numbers.h"
#include "support/TextFile.h"
#include "tests/engine/EngineFixture.h"
#include "well/WellFile.h"
#include "well/WellRig.h"

namespace {

using vorn::test::EngineInOwnRootTest;

class FrameRecorder : public CWitsTrafficIF {
 public:
  void OnFrameOut(std::string_view bytes, LinkWrite) override { frames.emplace_back(bytes); }
  void OnArrival(std::string_view) override {}
  std::vector<std::string> frames;
};

vorn::well::Well LandWell(bool sensors) {
  const vorn::well::WellRead read =
      vorn::well::ReadWell(vorn::ReadTextFile(std::string(VORN_SOURCE_DIR) + "/examples/wells/land-metric.json"));
  EXPECT_TRUE(read.ok()) << read.error;
  vorn::well::Well well = read.well.value_or(vorn::well::Well{});
  well.sensors.enabled = sensors;
  return well;
}

class RigSimWellTest : public EngineInOwnRootTest {
 protected:
  void StartDrilling(CRigSim& e, double depth) {
    e.m_settings.m_mode = Drill;
    e.m_settings.m_fFlowRate = 2100.0;  // L/min
    e.m_settings.m_fWOB = 12.0;         // kdaN
    e.m_settings.m_fRPM = 120.0;
    e.SetBitDepth(depth);
    e.SetHoleDepth(depth);
  }
};

// An engine that had a well and let it go writes what one that never had a well writes.
TEST_F(RigSimWellTest, WithoutAWellTheFilesAndFramesAreThoseOfTheRigWithout) {
  CRigSim other(clocks.Make());
  other.m_pumpsMessage = nullptr;
  other.m_strDataRoot = vorn::test::MakeScratchFolder("other-root");
  vorn::CreateDataFolders(other.m_strDataRoot);
  other.SetWellModel(std::make_unique<vorn::well::CWellRig>(LandWell(true)));
  other.SetWellModel(nullptr);
  FrameRecorder mine, theirs;
  engine->m_pTraffic = &mine;
  other.m_pTraffic = &theirs;
  for (CRigSim* e : {engine.get(), &other}) {
    e->m_settings.m_mode = Drill;
    std::string error;
    ASSERT_TRUE(e->StartRun(error)) << error;
  }
  for (int i = 0; i < 3000; ++i) {
    clocks.Advance(100);
    engine->OnTick();
    other.OnTick();
    ASSERT_EQ(engine->GetStateValues(), other.GetStateValues());
  }
  engine->StopRun();
  other.StopRun();
  EXPECT_FALSE(mine.frames.empty());
  EXPECT_EQ(mine.frames, theirs.frames);
  EXPECT_EQ(vorn::test::RawBytes(engine->m_strCsvPath), vorn::test::RawBytes(other.m_strCsvPath));
  EXPECT_EQ(engine->GetStateValues().size(), 14u);
}

TEST_F(RigSimWellTest, WithAWellTheBitDrillsAtTheRocksRateAndTheChannelsAreTheWells) {
  auto rig = std::make_unique<vorn::well::CWellRig>(LandWell(false));
  const vorn::well::CWellRig& well = *rig;
  engine->SetWellModel(std::move(rig));
  StartDrilling(*engine, 2100.0);
  engine->m_settings.m_bRequiresPing = true;  // no frames: this test looks at the channels
  engine->m_settings.m_fDepthToSlide = 0.2;
  engine->m_settings.m_fCalcOutputInterval = 0.0;
  engine->SetTenTimesSpeed(true);
  COutputItem pit(true, true, "PIT", 0.0, ItemFirstWellChannel + 4, 0, 0, 0, "", 0, false, 1, 26);
  engine->m_outputItems.push_back(pit);
  bool drilled = false;
  for (int i = 0; i < 20000 && !drilled; ++i) {
    const double before = engine->m_fDepth;
    const double rop = well.DrillingRop();  // the rate the bit goes at in this tick
    Tick();
    if (engine->GetSubState() == DrillingRotating && engine->m_fWOB > 10.0) {
      EXPECT_GT(rop, 0.0);
      EXPECT_NEAR(engine->m_fDepth - before, rop * 1.0 / 3600.0, 1e-9);
      drilled = true;
    }
  }
  ASSERT_TRUE(drilled);
  using vorn::well::Channel;
  const auto channel = [&](Channel c) { return well.Channel(static_cast<std::size_t>(c)).value; };
  EXPECT_DOUBLE_EQ(engine->m_fHookLoad, channel(Channel::Hookload));
  EXPECT_DOUBLE_EQ(engine->m_fWOB, channel(Channel::Wob));
  EXPECT_DOUBLE_EQ(engine->m_fSPP, channel(Channel::Spp));
  EXPECT_NEAR(engine->m_fFlow, 2100.0, 1e-9);
  EXPECT_DOUBLE_EQ(engine->WellChannelValue(4), channel(Channel::PitVolume));
  EXPECT_EQ(engine->m_outputItems.back().m_strValue, vorn::FormatG(channel(Channel::PitVolume)));

  const auto values = engine->GetStateValues();
  ASSERT_EQ(values.size(), 14u + WellChannelNames().size() + 1u);
  EXPECT_EQ(values[0].first, "DEPTH (m)");
  EXPECT_EQ(values[4].first, "HOOKLOAD (kdaN)");
  EXPECT_EQ(values.back().first, "FORMATION");
  EXPECT_EQ(values.back().second, "Claystone");
}

// Every channel the engine names for a well is one the well model answers.
TEST(WellChannelNames, EveryOneIsAnsweredByTheModel) {
  const vorn::well::CWellRig rig(vorn::well::Well{});
  for (const std::string& name : WellChannelNames()) {
    bool found = false;
    for (std::size_t i = 0; i < rig.ChannelCount(); ++i) found = found || rig.Channel(i).name == name;
    EXPECT_TRUE(found) << name;
  }
  EXPECT_EQ(AllOutputItemTypeNames().size(), OutputItemTypeNames().size() + WellChannelNames().size());
}

}  // namespace
