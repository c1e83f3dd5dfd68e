#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "persist/SimStateFile.h"
#include "support/DataRoot.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/engine/ManualClocks.h"

namespace {

namespace fs = std::filesystem;

class SimStateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(vorn::SettingsFolder());
    vorn::CreateDataFolders();
    engine.m_pumpsMessage = nullptr;
  }
  // Another state written straight to the file, as an earlier program run would have left it.
  void PutInFile(double bitDepth) {
    CRigSim other(clocks.Make());
    other.SetBitDepth(bitDepth);
    ASSERT_TRUE(SaveSimState(other));
  }

  vorn::test::ManualClocks clocks;
  CRigSim engine{clocks.Make()};
  std::vector<std::string> lines;
  CSimStateFile file{engine, [this](const std::string& line) { lines.push_back(line); }};
};

TEST_F(SimStateFileTest, ALoadNeverGoesBackPastAFailedSaveAndASuccessfulSaveEndsThat) {
  engine.SetBitDepth(1500.0);
  ASSERT_TRUE(file.Save());
  EXPECT_FALSE(file.LastSaveFailed());

  engine.SetBitDepth(2000.0);
  {
    const vorn::test::FileSizeLimit diskFull(16);
    EXPECT_FALSE(file.Save());
  }
  EXPECT_TRUE(file.LastSaveFailed());
  EXPECT_FALSE(file.LoadUnlessSaveFailed());
  EXPECT_EQ(engine.m_fDepth, 2000.0);  // not the 1500 of the last good save
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "State not saved: unable to write " + SimStatePath(),
                       "State not loaded: the last save of " + SimStatePath() +
                           " failed; the run goes on from the state in memory"}));

  ASSERT_TRUE(file.Save());
  EXPECT_FALSE(file.LastSaveFailed());
  PutInFile(2500.0);
  EXPECT_TRUE(file.LoadUnlessSaveFailed());
  EXPECT_EQ(engine.m_fDepth, 2500.0);
  EXPECT_EQ(lines.size(), 2u);
}

}  // namespace
