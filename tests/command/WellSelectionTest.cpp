#include <gtest/gtest.h>

#include <string>

#include "command/WellSelection.h"
#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/TextFile.h"
#include "tests/common/TestEnvironment.h"

namespace {

class WellSelectionTest : public ::testing::Test {
 protected:
  WellSelectionTest() {
    engine.m_pumpsMessage = nullptr;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    engine.m_strDataRoot = vorn::test::MakeScratchFolder(info->name());
    vorn::CreateDataFolders(engine.m_strDataRoot);
  }
  [[nodiscard]] std::string SettingsText() const { return vorn::ReadTextFile(SimSettingsPath(engine.m_strDataRoot)); }

  CRigSim engine;
};

TEST_F(WellSelectionTest, AWellInAFreshRootStartsAtItsDepthWithTheRecord1ItemsAndIsRemembered) {
  const std::string path = engine.m_strDataRoot + "/well.json";
  ASSERT_TRUE(vorn::WriteTextFile(path, R"({"units": "us", "startDepth": 8000})"));
  ASSERT_TRUE(UseWellFile(engine, path).IsDone());
  ASSERT_NE(engine.WellModel(), nullptr);
  EXPECT_DOUBLE_EQ(engine.m_fDepth, 8000.0);
  EXPECT_DOUBLE_EQ(engine.m_fHoleDepth, 8000.0);
  ASSERT_EQ(engine.m_outputItems.size(), 28u);
  EXPECT_EQ(engine.m_outputItems[5].m_strMnem, "HOOKLOAD_MAX");
  EXPECT_EQ(engine.m_outputItems[5].m_nWitsChannel, 15);
  EXPECT_EQ(engine.m_outputItems.back().m_nWitsChannel, 40);
  EXPECT_NE(SettingsText().find("\"WellFile\""), std::string::npos);

  // The next start finds it again and keeps the item list the settings file holds by then.
  CRigSim next;
  next.m_pumpsMessage = nullptr;
  next.m_strDataRoot = engine.m_strDataRoot;
  LoadSimSettings(next);
  next.m_outputItems.resize(3);
  next.SetBitDepth(8100.0);
  EXPECT_EQ(RestoreWell(next), "");
  ASSERT_NE(next.WellModel(), nullptr);
  EXPECT_EQ(next.m_outputItems.size(), 3u);
  EXPECT_DOUBLE_EQ(next.m_fDepth, 8000.0);  // no state was ever saved: the well's start

  ClearWell(next);
  EXPECT_EQ(next.WellModel(), nullptr);
  EXPECT_EQ(SettingsText().find("WellFile"), std::string::npos);
}

TEST_F(WellSelectionTest, AWellThatDoesNotReadChangesNothingAndNamesTheMember) {
  ASSERT_TRUE(UseWellText(engine, "{}", "").IsDone());
  const CWellModelIF* before = engine.WellModel();
  const double depth = engine.m_fDepth;
  const CommandResult refused = UseWellText(engine, R"({"bit": {"size": -1}})", "x.json");
  EXPECT_EQ(refused.outcome, CommandOutcome::Invalid);
  EXPECT_NE(refused.message.find("\"bit.size\""), std::string::npos) << refused.message;
  EXPECT_EQ(engine.WellModel(), before);
  EXPECT_DOUBLE_EQ(engine.m_fDepth, depth);
  EXPECT_FALSE(UseWellFile(engine, engine.m_strDataRoot + "/missing.json").IsDone());
  EXPECT_EQ(engine.WellModel(), before);
}

}  // namespace
