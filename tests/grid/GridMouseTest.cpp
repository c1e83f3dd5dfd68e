// Clicks, drags, divider resizing, the wheel and the notifications they send.
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;
using gridtest::Notice;

namespace {

// A point on the header row, `offset` pixels from the right-hand divider of `column`.
QPoint OnDivider(const GridHost& host, int column, int offset = 0) {
  const QRect header = host.grid->GetCellRect(0, column);
  return {header.right() + 1 + offset, header.center().y()};
}

}  // namespace

TEST(GridMouse, HeaderClickSelectsTheWholeColumn) {
  GridHost host(5, 3);
  host.ClickCell(2, 2);
  host.ClickCell(0, 1);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{1, 1, 4, 1}));
  EXPECT_EQ(host.grid->GetSelectedCount(), 4);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(-1, -1));  // a press on a fixed cell leaves no focus
}

TEST(GridMouse, HeaderClickSelectsNothingWithSelectionOff) {
  GridHost host(5, 3);
  host.grid->SetSelectionEnabled(false);
  host.ClickCell(0, 1);
  host.ClickCell(2, 2);
  host.Press(host.Centre(1, 0));
  host.Move(host.Centre(3, 2));
  host.Release(host.Centre(3, 2));
  EXPECT_EQ(host.grid->GetSelectedCount(), 0);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(0, 1));  // clicks still move the focus
}

TEST(GridMouse, FixedColumnClickSelectsTheWholeRowAndTheCornerEverything) {
  GridHost host(4, 4, 1, 1);
  host.ClickCell(2, 0);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{2, 1, 2, 3}));
  host.ClickCell(0, 0);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{1, 1, 3, 3}));
}

TEST(GridMouse, AClickSendsChangingChangedClickInOrderThenTheCommand) {
  GridHost host(4, 3);
  QSignalSpy commands(host.grid, &CGridCtrl::cellCommand);
  host.ClickCell(2, 1);
  EXPECT_EQ(host.owner.notices,
            (std::vector<Notice>{{gridcodes::kSelectionChanging, 2, 1, {}},
                                 {gridcodes::kSelectionChanged, 2, 1, {}},
                                 {gridcodes::kClick, 2, 1, {}}}));
  EXPECT_EQ(commands.count(), 0);  // posted: it arrives after the release has been handled
  ASSERT_TRUE(GridHost::Settle([&] { return commands.count() == 1; }));
  EXPECT_EQ(commands.at(0).at(0).toInt(), 77);
}

TEST(GridMouse, AClickOutsideTheCellsReportsNoCellAndPostsNoCommand) {
  GridHost host(3, 2);
  QSignalSpy commands(host.grid, &CGridCtrl::cellCommand);
  const QPoint beyond(host.grid->viewport()->width() - 2, host.grid->viewport()->height() - 2);
  ASSERT_FALSE(host.grid->GetCellFromPt(beyond).IsValid());
  host.Click(beyond);
  ASSERT_FALSE(host.owner.Of(gridcodes::kClick).empty());
  EXPECT_EQ(host.owner.Of(gridcodes::kClick).back(), (Notice{gridcodes::kClick, -1, -1, {}}));
  EXPECT_TRUE(host.owner.Of(gridcodes::kSelectionChanging).empty());
  QApplication::processEvents();
  EXPECT_EQ(commands.count(), 0);
}

TEST(GridMouse, AZeroWidthColumnCannotBeClickedNorItsDividerDraggedOpen) {
  GridHost host(4, 4);
  host.grid->SetColumnWidth(1, 0);
  const int boundary = host.grid->GetCellRect(0, 2).left();  // where columns 0|1 and 1|2 meet
  EXPECT_EQ(host.grid->GetCellFromPt({boundary, 30}).column, 2);
  EXPECT_EQ(host.grid->GetCellFromPt({boundary - 1, 30}).column, 0);

  // Just right of the shared divider: column 1 is passed over, so column 0 is resized.
  host.Press({boundary + 1, 10});
  host.Move({boundary + 21, 10});
  host.Release({boundary + 21, 10});
  EXPECT_EQ(host.grid->GetColumnWidth(0), boundary + 21);
  EXPECT_EQ(host.grid->GetColumnWidth(1), 0);

  // With the first column hidden too there is no column to resize: the press is a plain header click.
  host.grid->SetColumnWidth(0, 0);
  host.owner.Clear();
  host.Press({1, 10});
  host.Move({40, 10});
  host.Release({40, 10});
  EXPECT_EQ(host.grid->GetColumnWidth(0), 0);
  EXPECT_EQ(host.grid->GetColumnWidth(1), 0);
  EXPECT_TRUE(host.owner.Of(gridcodes::kColumnWidthChanged).empty());
}

TEST(GridMouse, DraggingAHeaderDividerResizesTheColumnAndNotifies) {
  GridHost host(4, 3);
  host.Press(OnDivider(host, 0, -2));
  host.Move(OnDivider(host, 0, 25));
  host.Release(OnDivider(host, 0, 25) + QPoint(0, 0));
  EXPECT_EQ(host.grid->GetColumnWidth(0), 60 + 25 - 0);
  EXPECT_EQ(host.owner.Of(gridcodes::kColumnWidthChanged),
            (std::vector<Notice>{{gridcodes::kColumnWidthChanged, -1, 0, {}}}));
  EXPECT_EQ(host.grid->GetSelectedCount(), 0);  // a resize selects nothing

  // Dragged past the column's left edge: the width stops at 0.
  host.Press(OnDivider(host, 1, -1));
  host.Release({host.grid->GetCellRect(0, 1).left() - 30, 10});
  EXPECT_EQ(host.grid->GetColumnWidth(1), 0);
}

TEST(GridMouse, DividersOnlyWorkInTheHeaderAndWhenResizingIsAllowed) {
  GridHost host(4, 3);
  const QPoint onBody(OnDivider(host, 0, -1).x(), host.Centre(2, 0).y());
  host.Press(onBody);
  host.Release(onBody + QPoint(30, 0));
  EXPECT_EQ(host.grid->GetColumnWidth(0), 60);
  host.grid->SetColumnResize(false);
  host.Press(OnDivider(host, 0, -1));
  host.Release(OnDivider(host, 0, 30));
  EXPECT_EQ(host.grid->GetColumnWidth(0), 60);
}

TEST(GridMouse, DoubleClickOnADividerFitsTheColumn) {
  GridHost host(4, 3);
  host.grid->SetItemText(2, 1, "a text much wider than sixty pixels");
  host.DoubleClick(OnDivider(host, 1, -1));
  EXPECT_EQ(host.grid->GetColumnWidth(1), host.grid->GetCell(2, 1)->GetCellExtent().width());
  EXPECT_FALSE(host.grid->IsEditing());
}

TEST(GridMouse, HoverOverADividerShowsTheResizeCursor) {
  GridHost host(4, 3, 1, 1);
  host.Move(OnDivider(host, 1, -1), Qt::NoButton);
  EXPECT_EQ(host.grid->viewport()->cursor().shape(), Qt::SizeHorCursor);
  const QRect rowHeader = host.grid->GetCellRect(2, 0);
  host.Move({rowHeader.center().x(), rowHeader.bottom()}, Qt::NoButton);
  EXPECT_EQ(host.grid->viewport()->cursor().shape(), Qt::SizeVerCursor);
  host.Move(host.Centre(2, 2), Qt::NoButton);
  EXPECT_EQ(host.grid->viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST(GridMouse, CtrlAddsAndRemovesCellsShiftExtendsFromTheStart) {
  GridHost host(6, 4);
  host.ClickCell(1, 0);
  host.ClickCell(3, 2, Qt::ControlModifier);
  EXPECT_TRUE(host.grid->IsCellSelected(1, 0));
  EXPECT_TRUE(host.grid->IsCellSelected(3, 2));
  EXPECT_EQ(host.grid->GetSelectedCount(), 2);
  host.ClickCell(1, 0, Qt::ControlModifier);  // already selected: only taken out
  EXPECT_FALSE(host.grid->IsCellSelected(1, 0));
  EXPECT_EQ(host.grid->GetSelectedCount(), 1);

  host.ClickCell(2, 1);
  host.ClickCell(4, 3, Qt::ShiftModifier);
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{2, 1, 4, 3}));
  EXPECT_EQ(host.grid->GetSelectedCount(), 9);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(3, 4));
}

TEST(GridMouse, DraggingSelectsTheRectangleFromThePressedCell) {
  GridHost host(6, 4);
  host.Press(host.Centre(4, 3));
  host.Move(host.Centre(2, 1));
  host.Release(host.Centre(2, 1));
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{2, 1, 4, 3}));
  EXPECT_EQ(host.owner.Of(gridcodes::kSelectionChanged).size(), 1U);

  host.Press(host.Centre(0, 0));  // from a header: whole columns
  host.Move(host.Centre(0, 2));
  host.Release(host.Centre(0, 2));
  EXPECT_EQ(host.grid->GetSelectedRange(), (GridCellRange{1, 0, 5, 2}));
}

TEST(GridMouse, DraggingBelowTheGridScrollsAndExtendsOneRowPerTick) {
  GridHost host(60, 3);
  host.dialog.resize(host.dialog.width(), 150);
  QApplication::processEvents();
  host.Press(host.Centre(1, 1));
  host.Move({host.Centre(1, 1).x(), host.grid->viewport()->height() + 40});
  ASSERT_TRUE(GridHost::Settle([&] { return host.grid->verticalScrollBar()->value() >= 3; }));
  host.Release({host.Centre(1, 1).x(), host.grid->viewport()->height() + 40});
  const int lastRow = host.grid->GetSelectedRange().maxRow;
  EXPECT_GT(lastRow, host.grid->GetVisibleNonFixedCellRange().minRow);
  EXPECT_EQ(host.grid->GetSelectedRange().minRow, 1);
  EXPECT_EQ(host.grid->GetFocusCell().y(), lastRow);
  // Released: the scrolling stops.
  const int value = host.grid->verticalScrollBar()->value();
  QApplication::processEvents();
  EXPECT_EQ(host.grid->verticalScrollBar()->value(), value);
}

TEST(GridMouse, RightReleaseMovesTheFocusClampedToTheBodyAndNotifies) {
  GridHost host(4, 3);
  host.Click(host.Centre(0, 2), Qt::NoModifier, Qt::RightButton);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(2, 1));
  EXPECT_EQ(host.owner.Of(gridcodes::kRightClick), (std::vector<Notice>{{gridcodes::kRightClick, 0, 2, {}}}));
  host.Click({host.grid->viewport()->width() - 1, host.grid->viewport()->height() - 1}, Qt::NoModifier,
             Qt::RightButton);
  EXPECT_EQ(host.owner.Of(gridcodes::kRightClick).back(), (Notice{gridcodes::kRightClick, -1, -1, {}}));
}

TEST(GridMouse, ClickingInsideTheCheckSquareTogglesBeforeTheClickNotification) {
  GridHost host(4, 3);
  host.grid->SetCellType(1, 1, GridCellKind::Check);
  std::vector<bool> seen;
  host.owner.answer = [&](int code, int row, int column) {
    if (code == gridcodes::kClick) seen.push_back(host.grid->GetCellCheck(row, column));
    return 0;
  };
  const auto* cell = dynamic_cast<CGridCellCheck*>(host.grid->GetCell(1, 1));
  const QRect box = cell->CheckPlacement(host.grid->GetCellRect(1, 1));
  host.Click(box.center());
  host.Click(box.center());  // now the focus cell, but the square is not its text: no edit, a toggle
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  host.ClickCell(2, 0);
  host.owner.Clear();
  seen.clear();
  host.Click({box.right() + 20, box.center().y()});  // beside the square: no toggle
  EXPECT_EQ(seen, (std::vector<bool>{false}));
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(1, 1));
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
}

TEST(GridMouse, TheWheelScrollsBySystemRowsOrAPage) {
  GridHost host(60, 2);
  host.dialog.resize(host.dialog.width(), 150);
  QApplication::processEvents();
  auto wheel = [&](int delta) {
    const QPoint at = host.Centre(1, 0);
    QWheelEvent event(at, host.grid->viewport()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(host.grid->viewport(), &event);
  };
  host.grid->SetWheelRowsPerNotch(3);
  wheel(-120);
  EXPECT_EQ(host.grid->verticalScrollBar()->value(), 3);
  wheel(-60);  // half a notch waits for the other half
  EXPECT_EQ(host.grid->verticalScrollBar()->value(), 3);
  wheel(-60);
  EXPECT_EQ(host.grid->verticalScrollBar()->value(), 6);
  host.grid->SetWheelRowsPerNotch(-1);
  wheel(120);
  EXPECT_EQ(host.grid->verticalScrollBar()->value(), std::max(0, 6 - host.grid->verticalScrollBar()->pageStep()));
}
