#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include "command/RigController.h"
#include "tests/ui/DialogTestParts.h"
#include "ui/TestBenchDlg.h"

namespace {

using namespace vorn::test;

class TestBenchDlgTest : public ::testing::Test {
 protected:
  TestBenchDlgTest() {
    engine.m_pumpsMessage = nullptr;
    dialog.open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  template <typename T = QWidget>
  T* Find(const char* name) {
    return dialog.findChild<T*>(name);
  }
  void Click(const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
    Settle();
  }
  QStringList Listed() {
    QStringList texts;
    auto* list = Find<QListWidget>("activeList");
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }

  CRigSim engine;
  CRigController controller{engine};
  CTestBenchDlg dialog{controller};
  MessageBoxCatcher boxes;
};

TEST_F(TestBenchDlgTest, AFaultThatDoesNotReadIsRefusedInABoxAndArmsNothing) {
  Find<QComboBox>("faultList")->setCurrentText("split");
  Find<QLineEdit>("faultParameters")->setText("pieces=x");
  Click("injectFault");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.toStdString(),
            "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not 'x'.");
  EXPECT_TRUE(controller.Wire().ActiveFaults().empty());

  Find<QLineEdit>("faultParameters")->setText("pieces=3, gap_ms=50");  // the space is no part of a value
  Click("injectFault");
  EXPECT_EQ(boxes.boxes.size(), 2u);
  Find<QLineEdit>("faultParameters")->setText("pieces=3,gap_ms=50");
  Click("injectFault");
  EXPECT_EQ(boxes.boxes.size(), 2u);
  EXPECT_EQ(Listed(), QStringList{"split:pieces=3,gap_ms=50"});
}

TEST_F(TestBenchDlgTest, APlanStartsWholeOrNotAtAllAndStopEndsEveryFault) {
  Find<QPlainTextEdit>("planEdit")->setPlainText(R"([{"at": 5, "fault": "swap"}, {"at": 9, "fault": "pace"}])");
  Click("startPlan");
  ASSERT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text.toStdString();
  EXPECT_EQ(Listed(), (QStringList{"swap:at=5 (plan)", "pace:bps=100,at=9 (plan)"}));

  Find<QPlainTextEdit>("planEdit")->setPlainText(R"({"seed": 5, "faults": [{"fault": "swap"}, {"fault": "pace", "bps": 0}]})");
  Click("startPlan");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.toStdString().rfind("Fault plan, entry 2: Fault 'pace': parameter 'bps'", 0), 0u);
  EXPECT_EQ(controller.Wire().Plan().entries.size(), 2u);  // the plan before stands
  EXPECT_EQ(controller.Wire().Seed(), 1u);

  Click("stopFaults");
  EXPECT_TRUE(Listed().isEmpty());
  EXPECT_TRUE(controller.Wire().Plan().entries.empty());
}

TEST_F(TestBenchDlgTest, TheSeedTakesAWholeNumberOnly) {
  EXPECT_EQ(Find<QLineEdit>("seedEdit")->text(), "1");
  Find<QLineEdit>("seedEdit")->setText("twelve");
  Click("setSeed");
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(controller.Wire().Seed(), 1u);
  Find<QLineEdit>("seedEdit")->setText("12345678901234567890");
  Click("setSeed");
  EXPECT_EQ(controller.Wire().Seed(), 12345678901234567890ull);
}

TEST_F(TestBenchDlgTest, TheParametersBoxShowsItsWholeHint) {
  auto* box = Find<QLineEdit>("faultParameters");
  QStyleOptionFrame frame;
  frame.initFrom(box);
  frame.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, box);
  const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &frame, box).width() - 4;
  EXPECT_GE(room, box->fontMetrics().horizontalAdvance(box->placeholderText()));
  EXPECT_TRUE(dialog.grab().save(ScreenshotPath("test_bench_dialog.png")));
}

}  // namespace
