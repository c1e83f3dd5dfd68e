// Building the grid: counts, fixed rows and columns, sizes, cell kinds and state bits.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <numeric>
#include <random>

#include "grid/GridCtrl.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;

TEST(GridStructure, GrowingAddsTextCellsAndShrinkingDropsTheRest) {
  CGridCtrl grid;
  EXPECT_EQ(grid.GetRowCount(), 0);
  EXPECT_EQ(grid.GetColumnCount(), 0);
  ASSERT_TRUE(grid.SetRowCount(4));
  ASSERT_TRUE(grid.SetColumnCount(3));
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 3; ++c) {
      ASSERT_NE(dynamic_cast<CGridCell*>(grid.GetCell(r, c)), nullptr);
      EXPECT_EQ(dynamic_cast<CGridCellCheck*>(grid.GetCell(r, c)), nullptr);
    }
  }
  grid.SetItemText(3, 2, "kept?");
  ASSERT_TRUE(grid.SetRowCount(2));
  EXPECT_EQ(grid.GetCell(3, 2), nullptr);
  ASSERT_TRUE(grid.SetRowCount(4));
  EXPECT_EQ(grid.GetItemText(3, 2), "");  // a new cell, not the old one
  EXPECT_FALSE(grid.SetRowCount(-1));
  EXPECT_EQ(grid.GetRowCount(), 4);
}

TEST(GridStructure, NewRowsAndColumnsTakeTheDefaultCellsSize) {
  CGridCtrl grid;
  grid.SetRowCount(2);
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.GetRowHeight(1), grid.GetDefaultCell(false, false)->GetHeight());
  EXPECT_EQ(grid.GetColumnWidth(1), grid.GetDefaultCell(true, false)->GetWidth());
  const QFontMetrics metrics(grid.font());
  EXPECT_EQ(grid.GetDefaultCell(false, false)->GetMargin(), metrics.horizontalAdvance(' '));
}

TEST(GridStructure, AFontFromTheParentReachesEveryDefaultCell) {
  CGridCtrl grid;
  QFont big = grid.font();
  big.setPointSize(big.pointSize() * 3);
  grid.setFont(big);
  for (bool fixedRow : {false, true}) {
    for (bool fixedColumn : {false, true}) {
      EXPECT_EQ(grid.GetDefaultCell(fixedRow, fixedColumn)->GetFont().pointSize(), big.pointSize());
    }
  }
  grid.SetRowCount(1);
  EXPECT_GE(grid.GetRowHeight(0), QFontMetrics(big).height() * 3 / 2);
  EXPECT_EQ(grid.GetRowHeight(0), grid.GetDefaultCell(false, false)->GetHeight());
}

TEST(GridStructure, FixedCountBeyondTheGridGrowsItAndMarksTheCells) {
  CGridCtrl grid;
  ASSERT_TRUE(grid.SetFixedRowCount(2));
  ASSERT_TRUE(grid.SetFixedColumnCount(1));
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(grid.GetColumnCount(), 1);
  grid.SetRowCount(4);
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.GetItemState(0, 0), gridstate::kFixed | gridstate::kFixedRow | gridstate::kFixedColumn);
  EXPECT_EQ(grid.GetItemState(1, 2), gridstate::kFixed | gridstate::kFixedRow);
  EXPECT_EQ(grid.GetItemState(3, 0), gridstate::kFixed | gridstate::kFixedColumn);
  EXPECT_EQ(grid.GetItemState(3, 2), 0U);
  grid.SetFixedRowCount(1);
  EXPECT_EQ(grid.GetItemState(1, 2), 0U);
  // Shrinking below the fixed count takes the fixed count down with it.
  grid.SetRowCount(0);
  EXPECT_EQ(grid.GetFixedRowCount(), 0);
}

TEST(GridStructure, OutOfRangeOperationsFailAndReadEmpty) {
  CGridCtrl grid;
  grid.SetRowCount(2);
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.GetCell(2, 0), nullptr);
  EXPECT_EQ(grid.GetCell(0, -1), nullptr);
  EXPECT_EQ(grid.GetItemText(-1, 0), "");
  EXPECT_FALSE(grid.SetItemText(0, 2, "x"));
  EXPECT_FALSE(grid.SetColumnWidth(2, 10));
  EXPECT_FALSE(grid.SetColumnWidth(0, -1));
  EXPECT_FALSE(grid.SetRowHeight(5, 10));
  EXPECT_FALSE(grid.SetCellType(9, 9, GridCellKind::Check));
  EXPECT_FALSE(grid.SetItemState(-1, -1, gridstate::kReadOnly));
  EXPECT_FALSE(grid.SetCellCheck(0, 0, true));    // not a check cell
  EXPECT_FALSE(grid.GetCellCheck(0, 0));
  EXPECT_FALSE(grid.SetCellOptions(0, 0, {"a"}));  // not a drop-down cell
  EXPECT_FALSE(grid.IsCellSelected(7, 7));
  grid.RedrawCell(7, 7);  // nothing to draw, nothing breaks
}

TEST(GridStructure, ChangingACellsKindKeepsItsTextStateColoursAndFormat) {
  CGridCtrl grid;
  grid.SetRowCount(3);
  grid.SetColumnCount(2);
  grid.SetFixedRowCount(1);
  grid.SetItemText(1, 1, "DEPTH");
  grid.SetItemState(1, 1, grid.GetItemState(1, 1) | gridstate::kReadOnly);
  grid.SetItemBkColour(1, 1, QColor(220, 240, 240));
  grid.SetItemFgColour(1, 1, QColor(10, 20, 30));
  grid.SetItemFormat(1, 1, gridformat::kRight | gridformat::kVCentre);
  ASSERT_TRUE(grid.SetCellType(1, 1, GridCellKind::Combo));
  const CGridCellBase* cell = grid.GetCell(1, 1);
  ASSERT_NE(dynamic_cast<const CGridCellCombo*>(cell), nullptr);
  EXPECT_EQ(cell->GetText(), "DEPTH");
  EXPECT_TRUE(cell->IsReadOnly());
  EXPECT_TRUE(cell->IsModified());
  EXPECT_EQ(cell->GetBackClr(), QColor(220, 240, 240));
  EXPECT_EQ(cell->GetTextClr(), QColor(10, 20, 30));
  EXPECT_EQ(cell->GetFormat(), gridformat::kRight | gridformat::kVCentre);

  ASSERT_TRUE(grid.SetCellType(0, 0, GridCellKind::Check));  // a header keeps its fixed look
  EXPECT_TRUE(grid.GetCell(0, 0)->IsFixedRow());
}

TEST(GridStructure, SettingStateKeepsTheFixedAndFocusBitsTheGridOwns) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(2, 1);
  host.grid->SetItemState(2, 1, gridstate::kReadOnly);
  EXPECT_EQ(host.grid->GetItemState(2, 1), gridstate::kReadOnly | gridstate::kFocused);
  host.grid->SetItemState(0, 1, gridstate::kReadOnly);
  EXPECT_TRUE(host.grid->GetCell(0, 1)->IsFixedRow());
  host.grid->SetItemState(3, 2, gridstate::kSelected);
  EXPECT_TRUE(host.grid->IsCellSelected(3, 2));
  EXPECT_EQ(host.grid->GetSelectedCount(), 1);
}

TEST(GridStructure, ColoursLeftAtDefaultFollowTheDefaultCells) {
  CGridCtrl grid;
  grid.SetRowCount(2);
  grid.SetColumnCount(1);
  grid.SetFixedRowCount(1);
  EXPECT_EQ(grid.GetCell(1, 0)->EffectiveBackClr(), grid.palette().color(QPalette::Base));
  EXPECT_EQ(grid.GetCell(0, 0)->EffectiveBackClr(), grid.palette().color(QPalette::Button));
  grid.GetDefaultCell(false, false)->SetBackClr(QColor(1, 2, 3));
  EXPECT_EQ(grid.GetCell(1, 0)->EffectiveBackClr(), QColor(1, 2, 3));
  grid.SetItemBkColour(1, 0, QColor(0, 220, 0));
  EXPECT_EQ(grid.GetCell(1, 0)->EffectiveBackClr(), QColor(0, 220, 0));
  grid.SetItemBkColour(1, 0, QColor());
  EXPECT_EQ(grid.GetCell(1, 0)->EffectiveBackClr(), QColor(1, 2, 3));
}

TEST(GridStructure, SwitchingSelectionOffClearsItAndKeepsItOff) {
  GridHost host(5, 3);
  host.grid->SetSelectedRange(1, 0, 2, 2);
  EXPECT_EQ(host.grid->GetSelectedCount(), 6);
  host.grid->SetSelectionEnabled(false);
  EXPECT_EQ(host.grid->GetSelectedCount(), 0);
  host.grid->SetSelectedRange(1, 0, 2, 2);
  EXPECT_EQ(host.grid->GetSelectedCount(), 0);
  EXPECT_FALSE(host.grid->IsCellSelected(1, 0));
  host.grid->SetSelectionEnabled(true);
  host.grid->SetSelectedRange(0, 0, 1, 0);  // fixed cells are never selected
  EXPECT_FALSE(host.grid->IsCellSelected(0, 0));
  EXPECT_TRUE(host.grid->IsCellSelected(1, 0));
}

TEST(GridStructure, ShrinkingForgetsFocusAndSelectionOfCellsThatWent) {
  GridHost host(6, 3);
  host.grid->SetFocusCell(5, 2);
  host.grid->SetSelectedRange(4, 1, 5, 2);
  host.grid->SetRowCount(5);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(-1, -1));
  EXPECT_EQ(host.grid->GetSelectedCount(), 2);
  host.grid->SetColumnCount(2);
  EXPECT_EQ(host.grid->GetSelectedCount(), 1);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{4, 1, 4, 1}));
}

TEST(GridStructure, FocusNeverRestsOnAFixedCell) {
  GridHost host(4, 3, 1, 1);
  host.grid->SetFocusCell(0, 2);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(-1, -1));
  host.grid->SetFocusCell(2, 2);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(2, 2));
  host.grid->SetFixedColumnCount(3);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(-1, -1));
}

// Over random column widths (some hidden) and control widths: stretching columns end at the
// viewport's right edge whenever they are narrower than it, none shows less than it was given, the
// spare width goes in proportion to the given widths, and a hidden column stays hidden; a table wider
// than its control keeps its widths and scrolls.
TEST(GridStructure, StretchingColumnsFillTheControlInProportionOrScrollWhenTooWide) {
  GridHost host(8, 6);
  CGridCtrl& grid = *host.grid;
  grid.SetStretchColumns(true);
  std::mt19937 random(24);
  for (int round = 0; round < 40; ++round) {
    std::vector<int> given;
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
      given.push_back(random() % 4 == 0 ? 0 : static_cast<int>(20 + random() % 150));
      grid.SetColumnWidth(c, given.back());
    }
    host.dialog.resize(static_cast<int>(150 + random() % 900), 300);
    QApplication::processEvents();
    const int space = grid.viewport()->width();
    const int total = std::accumulate(given.begin(), given.end(), 0);
    int shown = 0;
    for (int c = 0; c < grid.GetColumnCount(); ++c) {
      const int width = grid.GetColumnWidth(c);
      shown += width;
      EXPECT_EQ(grid.GetColumnGivenWidth(c), given[c]);
      EXPECT_GE(width, given[c]);
      if (given[c] == 0) {
        EXPECT_EQ(width, 0);
      }
      if (total > 0 && total < space && given[c] > 0) {
        EXPECT_NEAR(width, given[c] * static_cast<double>(space) / total, 1.0 + grid.GetColumnCount());
      }
    }
    if (total == 0) continue;
    if (total < space) {
      EXPECT_EQ(shown, space) << "round " << round;
      EXPECT_EQ(grid.horizontalScrollBar()->maximum(), 0);
    } else {
      EXPECT_EQ(shown, total) << "round " << round;
    }
  }
  grid.SetStretchColumns(false);
  EXPECT_EQ(grid.GetColumnWidth(0), grid.GetColumnGivenWidth(0));
}
