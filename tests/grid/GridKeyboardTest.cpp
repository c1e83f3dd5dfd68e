// Moving the focus with keys: hidden rows and columns, wrapping, extending the selection, the keys
// left to the dialog.
#include <QDialog>
#include <QLayout>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;

namespace {

QPoint Focus(const GridHost& host) { return host.grid->GetFocusCell(); }  // (column, row)

}  // namespace

TEST(GridKeyboard, ArrowsTabAndHomeEndPassOverAZeroWidthColumn) {
  GridHost host(5, 5);
  host.grid->SetColumnWidth(2, 0);
  host.grid->SetFocusCell(1, 1);
  host.Key(Qt::Key_Right);
  EXPECT_EQ(Focus(host), QPoint(3, 1));
  host.Key(Qt::Key_Left);
  EXPECT_EQ(Focus(host), QPoint(1, 1));
  host.Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(host), QPoint(3, 1));
  host.Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(host), QPoint(1, 1));

  host.grid->SetColumnWidth(0, 0);
  host.grid->SetColumnWidth(4, 0);
  host.Key(Qt::Key_Home);
  EXPECT_EQ(Focus(host), QPoint(1, 1));
  host.Key(Qt::Key_End);
  EXPECT_EQ(Focus(host), QPoint(3, 1));
  host.Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(Focus(host), QPoint(1, 1));
  host.Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Focus(host), QPoint(3, 4));
}

TEST(GridKeyboard, ArrowsPassOverAZeroHeightRowAndStopAtTheEdges) {
  GridHost host(5, 3);
  host.grid->SetRowHeight(2, 0);
  host.grid->SetFocusCell(1, 0);
  host.Key(Qt::Key_Down);
  EXPECT_EQ(Focus(host), QPoint(0, 3));
  host.Key(Qt::Key_Up);
  EXPECT_EQ(Focus(host), QPoint(0, 1));
  host.Key(Qt::Key_Up);  // the header row is not a place for the focus
  EXPECT_EQ(Focus(host), QPoint(0, 1));
  host.Key(Qt::Key_Left);
  EXPECT_EQ(Focus(host), QPoint(0, 1));
}

TEST(GridKeyboard, TabWrapsToTheNextRowAndShiftTabToThePreviousRow) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 2);
  host.Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(host), QPoint(0, 2));
  host.Key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focus(host), QPoint(2, 1));
  host.grid->SetFocusCell(3, 2);
  host.Key(Qt::Key_Tab);  // the last cell: nowhere further to go
  EXPECT_EQ(Focus(host), QPoint(2, 3));
  EXPECT_TRUE(host.grid->hasFocus());
}

TEST(GridKeyboard, ShiftExtendsFromTheSelectionStartAndTabResetsIt) {
  GridHost host(6, 4);
  host.ClickCell(1, 1);
  host.Key(Qt::Key_Down, Qt::ShiftModifier);
  host.Key(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{1, 1, 2, 2}));
  EXPECT_EQ(host.grid->GetSelectedCount(), 4);
  host.Key(Qt::Key_Down);  // without Shift the selection is the new focus cell alone
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{3, 2, 3, 2}));
  host.Key(Qt::Key_Tab);
  host.Key(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{3, 3, 4, 3}));
  EXPECT_EQ(host.grid->GetSelectionStart(), (GridCellId{3, 3}));
}

TEST(GridKeyboard, AMoveIsBracketedBySelectionNotifications) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  host.owner.Clear();
  host.Key(Qt::Key_Down);
  EXPECT_EQ(host.owner.Codes(), (std::vector<int>{gridcodes::kSelectionChanging, gridcodes::kSelectionChanged}));
  EXPECT_EQ(host.owner.notices[0], (gridtest::Notice{gridcodes::kSelectionChanging, 2, 1, {}}));
}

TEST(GridKeyboard, PageDownScrollsAPageAndMovesTheFocusAsManyRows) {
  GridHost host(40, 3);
  host.dialog.resize(host.dialog.width(), 20 * 6 + 30);
  QApplication::processEvents();
  host.grid->SetFocusCell(1, 0);
  const int page = host.grid->GetVisibleNonFixedCellRange().maxRow - 1;  // whole rows below the header
  host.Key(Qt::Key_PageDown);
  const int row = Focus(host).y();
  EXPECT_GE(row, 1 + page - 1);
  EXPECT_LE(row, 1 + page);
  EXPECT_TRUE(host.grid->IsCellVisible(row, 0));
  EXPECT_FALSE(host.grid->IsCellVisible(1, 0));
  host.Key(Qt::Key_PageUp);
  EXPECT_EQ(Focus(host), QPoint(0, 1));
  EXPECT_TRUE(host.grid->IsCellVisible(1, 0));
  host.Key(Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(Focus(host), QPoint(2, 39));
  EXPECT_TRUE(host.grid->IsCellVisible(39, 2));
}

TEST(GridKeyboard, EnterAndEscapeWithNoEditorGoToTheDialog) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  bool rejected = false;
  QObject::connect(&host.dialog, &QDialog::rejected, [&] { rejected = true; });
  host.Key(Qt::Key_Escape);
  EXPECT_TRUE(rejected);
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
}

TEST(GridKeyboard, TabLeavesTheGridWhenTabHandlingIsOffOrCtrlIsHeld) {
  GridHost host(4, 3);
  auto* other = new QPushButton("next", &host.dialog);
  host.dialog.layout()->addWidget(other);
  other->show();
  host.grid->SetFocusCell(1, 0);
  host.grid->setFocus();
  host.grid->SetHandleTabKey(false);
  host.Key(Qt::Key_Tab);
  EXPECT_EQ(Focus(host), QPoint(0, 1));
  EXPECT_TRUE(other->hasFocus());
}

TEST(GridKeyboard, WithoutAFocusCellMovesDoNothing) {
  GridHost host(4, 3);
  host.Key(Qt::Key_Down);
  host.Key(Qt::Key_Tab);
  host.Type("5");
  EXPECT_EQ(Focus(host), QPoint(-1, -1));
  EXPECT_FALSE(host.grid->IsEditing());
}

TEST(GridKeyboard, CtrlASelectsEveryNonFixedCell) {
  GridHost host(4, 3, 1, 1);
  host.Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(host.grid->GetSelectedCount(), 3 * 2);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{1, 1, 3, 2}));
}
