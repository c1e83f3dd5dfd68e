// Delete, cut, copy and paste over the selection.
#include <QClipboard>
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;
using gridtest::Notice;

TEST(GridClipboard, DeleteClearsSelectedCellsTheOwnerAllows) {
  GridHost host(5, 3);
  host.grid->SetItemText(2, 1, "");
  host.grid->SetItemState(3, 1, gridstate::kReadOnly);
  host.owner.answer = [](int code, int row, int) { return code == gridcodes::kBeginEdit && row == 4 ? -1 : 0; };
  host.ClickCell(1, 1);
  host.ClickCell(4, 1, Qt::ShiftModifier);
  host.owner.Clear();
  host.Key(Qt::Key_Delete);
  EXPECT_EQ(host.grid->GetItemText(1, 1), "");
  EXPECT_EQ(host.grid->GetItemText(3, 1), "r3c1");  // read-only
  EXPECT_EQ(host.grid->GetItemText(4, 1), "r4c1");  // refused
  // -175 for each editable cell; -176 only where a text went.
  EXPECT_EQ(host.owner.Of(gridcodes::kBeginEdit).size(), 3U);
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit), (std::vector<Notice>{{gridcodes::kEndEdit, 1, 1, {}}}));
}

TEST(GridClipboard, CopyGivesTabSeparatedLinesOfTheSelectedRectangle) {
  GridHost host(5, 4);
  host.grid->SetColumnWidth(2, 0);  // hidden columns are left out
  host.ClickCell(1, 0);
  host.ClickCell(2, 3, Qt::ShiftModifier);
  host.Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "r1c0\tr1c1\tr1c3\nr2c0\tr2c1\tr2c3\n");
  host.ClickCell(4, 3, Qt::ControlModifier);  // a gap: unselected cells give empty fields
  host.Key(Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            "r1c0\tr1c1\tr1c3\nr2c0\tr2c1\tr2c3\n\t\t\n\t\tr4c3\n");
}

TEST(GridClipboard, CutThenPasteElsewhereMovesTheTexts) {
  GridHost host(6, 3);
  host.ClickCell(1, 0);
  host.ClickCell(2, 1, Qt::ShiftModifier);
  host.Key(Qt::Key_X, Qt::ControlModifier);
  for (int r = 1; r <= 2; ++r) {
    for (int c = 0; c <= 1; ++c) EXPECT_EQ(host.grid->GetItemText(r, c), "");
  }
  host.ClickCell(4, 1);
  host.owner.Clear();
  host.Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(host.grid->GetItemText(4, 1), "r1c0");
  EXPECT_EQ(host.grid->GetItemText(4, 2), "r1c1");
  EXPECT_EQ(host.grid->GetItemText(5, 1), "r2c0");
  EXPECT_EQ(host.grid->GetItemText(5, 2), "r2c1");
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit).size(), 4U);
  EXPECT_EQ(host.owner.Of(gridcodes::kBeginEdit).size(), 4U);
}

TEST(GridClipboard, PasteSplitsAtCommasDropsWhatFallsOutsideAndSkipsReadOnlyCells) {
  GridHost host(4, 3);
  host.grid->SetItemState(1, 2, gridstate::kReadOnly);
  host.grid->SetFocusCell(1, 1);
  host.grid->PasteText("a,b,c\r\nd,e\r\nf\r\ng\r\n");
  EXPECT_EQ(host.grid->GetItemText(1, 1), "a");
  EXPECT_EQ(host.grid->GetItemText(1, 2), "r1c2");  // read-only: its field is used up
  EXPECT_EQ(host.grid->GetItemText(2, 1), "d");
  EXPECT_EQ(host.grid->GetItemText(2, 2), "e");
  EXPECT_EQ(host.grid->GetItemText(3, 1), "f");
  EXPECT_EQ(host.grid->GetItemText(3, 0), "r3c0");
}

TEST(GridClipboard, PasteKeepsCommasInsideTabSeparatedFields) {
  GridHost host(3, 3);
  host.grid->SetFocusCell(1, 0);
  QApplication::clipboard()->setText("1,5\t2,5\n");
  host.Key(Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(host.grid->GetItemText(1, 0), "1,5");
  EXPECT_EQ(host.grid->GetItemText(1, 1), "2,5");
}

TEST(GridClipboard, PasteIntoADropDownCellTakesOnlyOneOfItsOptions) {
  GridHost host(3, 3);
  host.grid->SetCellType(1, 0, GridCellKind::Combo);
  host.grid->SetCellOptions(1, 0, {"both", "sliding", "rotating"});
  host.grid->SetItemText(1, 0, "both");
  host.grid->SetFocusCell(1, 0);
  host.grid->PasteText("SLIDING\tx");
  EXPECT_EQ(host.grid->GetItemText(1, 0), "sliding");
  host.grid->PasteText("spinning");
  EXPECT_EQ(host.grid->GetItemText(1, 0), "sliding");
}

TEST(GridClipboard, PasteIntoAnOpenEditorGoesToTheEditor) {
  GridHost host(3, 3);
  QApplication::clipboard()->setText("XY");
  host.grid->SetFocusCell(1, 0);
  host.Key(Qt::Key_F2);
  host.Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(host.EditorText(), "r1c0XY");
  EXPECT_EQ(host.grid->GetItemText(1, 1), "r1c1");
}

TEST(GridClipboard, NothingSelectedCopiesNothingAndAGridNotEditableTakesNoPaste) {
  GridHost host(3, 3);
  QApplication::clipboard()->setText("before");
  host.Key(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  host.grid->SetEditable(false);
  host.grid->SetFocusCell(1, 0);
  host.Key(Qt::Key_V, Qt::ControlModifier);
  host.Key(Qt::Key_Delete);
  EXPECT_EQ(host.grid->GetItemText(1, 0), "r1c0");
}
