#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "grid/GridCtrl.h"
#include "support/Clock.h"
#include "support/DataRoot.h"
#include "tests/common/EventWait.h"
#include "tests/ui/DialogTestParts.h"
#include "ui/MainWindowGrids.h"
#include "ui/VornRigSimDlg.h"

namespace vorn::test {

// The two clocks of the engine, moved by the test alone.
struct HandClocks {
  uint32_t milliseconds = 5000;
  double now = 8.0e8;
  [[nodiscard]] vorn::Clocks Clocks() {
    return {[this] { return milliseconds; }, [this] { return now; }};
  }
};

// The main window on the offscreen platform, shown and active, on a fresh data root and profile.
class MainWindowTest : public ::testing::Test {
 protected:
  void Open() {
    window = std::make_unique<CVornRigSimDlg>(clocks.Clocks());
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override {
    window.reset();
    Settle();
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  void Click(const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
    Settle();
  }
  // Clicks a button that must ask one question, answers No, and checks the question's text, caption
  // and default button (No).
  void ClickAndAnswerNo(const char* button, const QString& text, const QString& caption) {
    MessageBoxCatcher boxes(QMessageBox::No);
    Click(button);
    ASSERT_EQ(boxes.boxes.size(), 1U);
    EXPECT_EQ(boxes.boxes[0].text, text);
    EXPECT_EQ(boxes.boxes[0].caption, caption);
    EXPECT_EQ(boxes.boxes[0].defaultButton, QMessageBox::No);
  }
  void SetText(const char* box, const QString& text) { Find<QLineEdit>(box)->setText(text); }

  [[nodiscard]] static std::filesystem::path SettingsFile(const char* name) {
    return std::filesystem::path(vorn::SettingsFolder()) / name;
  }
  [[nodiscard]] CRigSim& Engine() { return window->Engine(); }
  [[nodiscard]] CMainWindowGrids& Grids() { return window->Grids(); }

  // Mouse in a grid's viewport, as the window system delivers it.
  static void ClickAt(CGridCtrl& grid, const QPoint& point) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, point);
    Settle();
  }
  static void ClickCell(CGridCtrl& grid, int row, int column) {
    grid.EnsureVisible(row, column);
    ClickAt(grid, grid.GetCellRect(row, column).center());
  }
  // Keys go to the open pop-up or the focus widget, as on a desktop.
  static void Key(Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key);
    Settle();
  }
  static void Type(const QString& text) {
    for (const QChar ch : text) {
      QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
    }
    Settle();
  }

  HandClocks clocks;
  std::unique_ptr<CVornRigSimDlg> window;
};

}  // namespace vorn::test
