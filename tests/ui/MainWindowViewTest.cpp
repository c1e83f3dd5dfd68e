// The window as one view among others: commands issued beside it (by the control API, say) show in
// it as its own do, and their failures are their issuer's to tell.
#include <QComboBox>
#include <fstream>

#include "engine/RigMode.h"
#include "tests/ui/MainWindowTestParts.h"
#include "ui/ColorStatic.h"

namespace {

using namespace vorn::test;

TEST_F(MainWindowTest, CommandsOfAnotherIssuerShowInTheWindowAndTheirFailuresPopNothingUp) {
  Open();
  CRigController& other = window->Controller();
  CWitsCommSettings silent;
  silent.commType = 2;  // a link that opens nothing
  ASSERT_TRUE(other.SetLinkSettings(silent).IsDone());

  ASSERT_TRUE(other.SetMode(TripIn).IsDone());
  EXPECT_EQ(Find<QComboBox>("modeBox")->currentIndex(), TripIn);
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Trip In");
  EXPECT_EQ(Grids().StateGrid().GetRowCount(), 6);
  ASSERT_TRUE(other.AddItem().IsDone());
  EXPECT_EQ(Grids().OutputGrid().GetRowCount(), 24);
  ASSERT_TRUE(other.SetTenTimes(true).IsDone());
  EXPECT_TRUE(Find<QCheckBox>("tenTimes")->isChecked());

  ASSERT_TRUE(other.SetRunning(true).IsDone());
  EXPECT_TRUE(Find<QCheckBox>("run")->isChecked());
  EXPECT_FALSE(Find("setBitDepth")->isEnabled());
  EXPECT_FALSE(Find("commSettings")->isEnabled());
  ASSERT_TRUE(other.SetRunning(false).IsDone());
  EXPECT_FALSE(Find<QCheckBox>("run")->isChecked());
  EXPECT_TRUE(Find("setBitDepth")->isEnabled());

  std::filesystem::remove_all(vorn::OutputFilesFolder());
  std::ofstream(vorn::OutputFilesFolder()) << "a file where the folder belongs";
  MessageBoxCatcher boxes;
  EXPECT_EQ(other.SetRunning(true).outcome, CommandOutcome::Refused);
  Settle();
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(Find<QCheckBox>("run")->isChecked());
  EXPECT_TRUE(Find("setBitDepth")->isEnabled());
}

}  // namespace

namespace {

TEST_F(MainWindowTest, TheFaultsFieldShowsWhatIsActiveWhoeverArmedIt) {
  Open();
  auto* field = Find<CColorStatic>("faultsField");
  EXPECT_FALSE(field->isVisible());
  CRigController& other = window->Controller();
  ASSERT_TRUE(other.InjectFault("duplicate:every=3").IsDone());
  EXPECT_TRUE(field->isVisible());
  EXPECT_EQ(field->text(), "Faults: duplicate:every=3");
  ASSERT_TRUE(other.SetFaultPlan(R"([{"at": 5, "fault": "swap"}])").IsDone());
  EXPECT_EQ(field->text(), "Faults: duplicate:every=3; swap:at=5 (plan)");
  ASSERT_TRUE(other.ClearFaultPlan().IsDone());
  EXPECT_FALSE(field->isVisible());
  EXPECT_TRUE(Find("testBench")->isEnabled());
}

}  // namespace
