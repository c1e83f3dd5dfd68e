#include <gtest/gtest.h>

#include <QLabel>
#include <map>
#include <QSlider>
#include <QStyle>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "tests/common/EventWait.h"
#include "tests/engine/SettingSamples.h"
#include "tests/ui/DialogTestParts.h"
#include "ui/SimSettingsDlg.h"

namespace {

using namespace vorn::test;

const char* const kRowNames[] = {
    "Calculation Interval", "Write File Interval", "WITS Out Requires Ping", "WITS Out Interval",
    "Time Releasing Slips", "Time Settings Slips", "Time Turn On Pumps", "Time Pause After Pumps On",
    "Time Turn Off Pumps", "Time Pause After Pumps Off", "Distance to Pick Up Off Bottom", "Depth To Slide",
    "Stand Length", "Pipe Speed Wipe", "Pipe Speed Picking Up", "Pipe Speed Connection", "Pipe Speed Drill Sliding",
    "Pipe Speed Drill Rotating", "Pipe Speed Trip", "Flow Rate", "SPP", "Pump 1 SPM", "Pump 2 SPM", "WOB", "TORQ",
    "RPM", "HOOKLOAD OFF BOTTOM"};

// Plays the main window: the engine, its settings file, the gain handler, the copy back and save on OK.
class SimSettingsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vorn::CreateDataFolders();
    engine.m_settings.m_nFlowSPPGain = 70;
    SaveSimSettings(engine);
  }
  std::unique_ptr<CSimSettingsDlg> Open() {
    auto dialog = std::make_unique<CSimSettingsDlg>(engine.m_settings,
                                                    [this](int gain) { engine.m_settings.m_nFlowSPPGain = gain; });
    dialog->open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    Settle();
    list = dialog->findChild<CVornMFCPropertyGridCtrl*>("propertyList");
    return dialog;
  }
  void Click(CSimSettingsDlg& dialog, const char* button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    Settle();
    if (dialog.result() != QDialog::Accepted) return;
    engine.m_settings = dialog.Settings();
    SaveSimSettings(engine);
  }
  QString Shown(const char* name) const { return list->Table()->item(RowOf(*list, name), 1)->text(); }
  static CSimSettings Saved() {
    CRigSim reader;
    LoadSimSettings(reader);
    return reader.m_settings;
  }

  CRigSim engine;
  CVornMFCPropertyGridCtrl* list = nullptr;
};

TEST_F(SimSettingsDlgTest, RowsAppearInOrderAndTheIntervalRowFollowsThePingFlag) {
  engine.m_settings.m_bRequiresPing = true;
  engine.m_settings.m_fWitsOutInterval = 7.5;
  auto dialog = Open();
  ASSERT_EQ(list->GetPropertyCount(), 26);
  EXPECT_EQ(RowOf(*list, "WITS Out Interval"), -1);

  QWidget* choice = OpenValueEditor(*list, RowOf(*list, "WITS Out Requires Ping"));
  ASSERT_NE(choice, nullptr);
  QTest::keyClick(choice, Qt::Key_Down);  // to False
  Settle();
  ASSERT_EQ(list->GetPropertyCount(), 27);
  for (int i = 0; i < 27; ++i) EXPECT_EQ(list->GetProperty(i)->GetName(), kRowNames[i]) << i;
  EXPECT_EQ(list->GetProperty(0)->GetDescription(), "Interval to Calculate Data in seconds");
  EXPECT_EQ(list->GetProperty(1)->GetDescription(), "Interval to write to file in seconds");
  EXPECT_EQ(list->GetProperty(2)->GetDescription(), "WITS Requires Ping to Send Data");
  EXPECT_EQ(list->GetProperty(3)->GetDescription(), "Interval to write out WITS Data");
  EXPECT_EQ(list->GetProperty(4)->GetDescription(), "");
  EXPECT_EQ(Shown("WITS Out Interval"), "7.5");  // the value the working copy kept
  EXPECT_FALSE(dialog->Settings().m_bRequiresPing);

  TypeValue(*list, "Calculation Interval", "0.1");
  EXPECT_EQ(Shown("Calculation Interval"), "0.1");
  EXPECT_EQ(Shown("Pipe Speed Trip"), "2000");
}

TEST_F(SimSettingsDlgTest, AnEditedValueReachesTheEngineAndTheFileOnlyOnOk) {
  auto dialog = Open();
  TypeValue(*list, "Pipe Speed Connection", "5000");
  TypeValue(*list, "RPM", "fast");
  EXPECT_TRUE(dialog->isVisible());  // Enter in the list does not press OK
  EXPECT_EQ(engine.m_settings.fPipeSpeed_ConnectionUp, 8000.0);
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(engine.m_settings.fPipeSpeed_ConnectionUp, 5000.0);
  EXPECT_EQ(engine.m_settings.m_fRPM, 0.0);
  EXPECT_EQ(Saved().fPipeSpeed_ConnectionUp, 5000.0);
}

TEST_F(SimSettingsDlgTest, OkChecksDepthToSlideAgainstStandLengthAndStaysOpenOnFailure) {
  MessageBoxCatcher boxes;
  auto dialog = Open();
  TypeValue(*list, "Depth To Slide", "100.5");
  Click(*dialog, "okButton");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Settings Validation Failed.\n'Stand Length' is less than 'Depth to Slide'");
  EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(Shown("Depth To Slide"), "100.5");
  EXPECT_EQ(engine.m_settings.m_fDepthToSlide, 50.0);

  TypeValue(*list, "Depth To Slide", "100");  // equal to the stand length passes
  Click(*dialog, "okButton");
  EXPECT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(engine.m_settings.m_fDepthToSlide, 100.0);
}

// Every row: a value below or above its setting's range is refused on OK with the message the
// control API gives, and the dialog stays open; values inside are taken.
TEST_F(SimSettingsDlgTest, OkRefusesAValueOutsideItsRangeWithTheSettingsName) {
  MessageBoxCatcher boxes;
  auto dialog = Open();
  const std::vector<SettingSample> samples = SettingSamples(5, 3);
  std::map<const SimSettingRange*, double> typed;
  const auto type = [&](const SimSettingRange& range, double value) {
    TypeValue(*list, range.label, QString::fromStdString(ExactText(value)));
    typed[&range] = value;
  };
  int row = 0;
  for (const SimSettingRange& range : SimSettingRanges()) {
    if (range.whole) continue;  // the mode and the gain have no row
    std::vector<const SettingSample*> inside, outside;
    for (const SettingSample& sample : samples) {
      if (sample.range == &range) (sample.inside ? inside : outside).push_back(&sample);
    }
    if (const Partner partner = PartnerOf(*inside.back()); partner.range != nullptr) type(*partner.range, partner.value);
    const SettingSample& refused = *outside[row++ % 2];  // below the range, or above it
    type(range, refused.value);
    const size_t before = boxes.boxes.size();
    Click(*dialog, "okButton");
    ASSERT_EQ(boxes.boxes.size(), before + 1) << range.key;
    const std::string text = boxes.boxes.back().text.toStdString();
    EXPECT_TRUE(text.starts_with("Settings Validation Failed.\n" + RefusalStart(refused))) << text;
    EXPECT_TRUE(text.ends_with(RefusalEnd(refused))) << text;
    ASSERT_TRUE(dialog->isVisible());
    type(range, inside.back()->value);
  }
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted) << (boxes.boxes.empty() ? "" : boxes.boxes.back().text.toStdString());
  for (const auto& [range, value] : typed) EXPECT_DOUBLE_EQ(range->get(engine.m_settings), value) << range->key;
}

TEST_F(SimSettingsDlgTest, TheSliderSendsTheGainWhenDrawnEvenIfTheDialogIsCancelled) {
  engine.m_settings.m_nFlowSPPGain = 150;
  auto dialog = Open();
  auto* slider = dialog->findChild<QSlider*>("gainSlider");
  EXPECT_EQ(slider->value(), 100);
  ASSERT_TRUE(WaitUntil([&] { return engine.m_settings.m_nFlowSPPGain == 100; }, 5000));

  for (int i = 0; i < 6; ++i) QTest::keyClick(slider, Qt::Key_PageDown);
  ASSERT_TRUE(WaitUntil([&] { return engine.m_settings.m_nFlowSPPGain == 40; }, 5000));
  EXPECT_EQ(dialog->findChild<QLabel*>("gainValue")->text(), "40");
  Click(*dialog, "cancelButton");
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(engine.m_settings.m_nFlowSPPGain, 40);
  EXPECT_EQ(Saved().m_nFlowSPPGain, 70);  // nothing was saved
}

TEST_F(SimSettingsDlgTest, DefaultResetsEveryFieldIncludingModeAndGain) {
  engine.m_settings.m_mode = TripIn;
  engine.m_settings.m_fStandLength = 90.0;
  engine.m_settings.m_bRequiresPing = true;
  auto dialog = Open();
  auto* slider = dialog->findChild<QSlider*>("gainSlider");
  slider->setValue(30);
  Click(*dialog, "defaultButton");
  EXPECT_EQ(list->GetPropertyCount(), 27);
  EXPECT_EQ(slider->value(), 100);
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(engine.m_settings.m_mode, Drill);
  EXPECT_EQ(engine.m_settings.m_fStandLength, 100.0);
  EXPECT_FALSE(engine.m_settings.m_bRequiresPing);
  EXPECT_EQ(engine.m_settings.m_nFlowSPPGain, 100);
}

TEST_F(SimSettingsDlgTest, SizeLimitListFitAndPlacementAreKeptAcrossOpenings) {
  auto dialog = Open();
  const int dpi = dialog->logicalDpiX();
  EXPECT_EQ(dialog->minimumSize(), QSize(qRound(dpi * 340 / 96.0), qRound(dpi * 500 / 96.0)));
  dialog->setGeometry(40, 50, 600, 700);
  Settle();
  EXPECT_EQ(list->geometry().right() + 1, 600 - 5);
  EXPECT_EQ(list->geometry().bottom() + 1, 700 - 5);
  const QRect placed = dialog->geometry();
  Click(*dialog, "cancelButton");
  EXPECT_EQ(Open()->geometry(), placed);
}

TEST_F(SimSettingsDlgTest, EveryNameShowsWholeAtTheSmallestSizeAndWhenWider) {
  auto dialog = Open();
  QTableWidget* table = list->Table();
  const int padding = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) + 1;
  for (const QSize size : {dialog->minimumSize(), QSize(900, 700)}) {
    dialog->resize(size);
    Settle();
    for (const char* name : kRowNames) {
      EXPECT_GE(table->columnWidth(0), table->fontMetrics().horizontalAdvance(name) + padding) << name;
    }
    EXPECT_GE(table->columnWidth(0), list->width() / 2);  // the columns still share a wide list
    EXPECT_GT(table->columnWidth(1), 0);
  }
}

TEST_F(SimSettingsDlgTest, Screenshot) {
  auto dialog = Open();
  list->Table()->setCurrentCell(0, 0);
  Settle();
  EXPECT_TRUE(dialog->grab().save(ScreenshotPath("sim_settings_dialog.png")));
}

}  // namespace
