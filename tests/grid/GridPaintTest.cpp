// What the grid draws: a picture of every cell kind for a reviewer, single-cell redraws, title tips.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include "grid/TitleTip.h"
#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;

namespace {

// Colours compared as 8-bit RGB, as they land on the screen.
QRgb PixelAt(CGridCtrl* grid, const QPoint& point) {
  return grid->viewport()->grab(QRect(point, QSize(1, 1))).toImage().pixel(0, 0) | 0xff000000U;
}

QRgb Rgb(const QColor& colour) { return colour.rgb(); }

}  // namespace

TEST(GridPaint, RendersEveryCellKindToAPicture) {
  GridHost host(6, 5, 1, 1);
  host.grid->SetColumnWidth(2, 90);
  for (int r = 1; r < 6; ++r) {
    host.grid->SetCellType(r, 1, GridCellKind::Check);
    host.grid->SetCellCheck(r, 1, r % 2 == 1);
    host.grid->SetCellType(r, 2, GridCellKind::Combo);
    host.grid->SetCellOptions(r, 2, {"both", "sliding", "rotating"});
    host.grid->SetItemText(r, 2, "sliding");
  }
  host.grid->SetItemText(2, 3, "a text too long for its cell");
  for (int c = 1; c < 5; ++c) {
    host.grid->SetItemState(4, c, gridstate::kReadOnly);
    host.grid->SetItemBkColour(4, c, QColor(220, 240, 240));
  }
  host.grid->SetItemBkColour(3, 4, QColor(0, 220, 0));
  host.grid->SetFocusCell(2, 3);
  host.grid->SetSelectedRange(2, 3, 3, 4);
  const QImage picture = host.dialog.grab().toImage();
  const QString path = QDir(VORN_GRID_PICTURE_DIR).filePath("grid_cell_kinds.png");
  ASSERT_TRUE(picture.save(path));
  EXPECT_EQ(PixelAt(host.grid, host.grid->GetCellRect(4, 3).center() + QPoint(20, 0)), Rgb(QColor(220, 240, 240)));
  EXPECT_EQ(PixelAt(host.grid, host.grid->GetCellRect(3, 3).topLeft() + QPoint(2, 2)),
            Rgb(host.grid->palette().color(QPalette::Highlight)));
}

TEST(GridPaint, RedrawCellShowsANewColourAtOnce) {
  GridHost host(4, 3);
  const QPoint inside = host.grid->GetCellRect(2, 1).topLeft() + QPoint(2, 2);
  host.grid->SetItemBkColour(2, 1, QColor(0, 220, 0));
  host.grid->RedrawCell(2, 1);
  // The grab repaints the whole viewport anyway; what matters is that the cell's own colour is used.
  EXPECT_EQ(PixelAt(host.grid, inside), Rgb(QColor(0, 220, 0)));
}

TEST(GridPaint, GridLinesRunAlongTheRightAndBottomOfNormalCells) {
  GridHost host(4, 3);
  const QRect cell = host.grid->GetCellRect(2, 1);
  EXPECT_EQ(PixelAt(host.grid, {cell.right(), cell.center().y()}), Rgb(QColor(192, 192, 192)));
  EXPECT_EQ(PixelAt(host.grid, {cell.center().x(), cell.bottom()}), Rgb(QColor(192, 192, 192)));
  host.grid->SetGridLines(GridLines::None);
  EXPECT_EQ(PixelAt(host.grid, {cell.right(), cell.center().y() + 1}), Rgb(host.grid->palette().color(QPalette::Base)));
  // Beyond the last cells: the button-shadow colour.
  const QPoint beyond(host.grid->viewport()->width() - 1, host.grid->viewport()->height() - 1);
  ASSERT_FALSE(host.grid->GetCellFromPt(beyond).IsValid());
  EXPECT_EQ(PixelAt(host.grid, beyond), Rgb(host.grid->palette().color(QPalette::Dark)));
}

TEST(GridPaint, TitleTipShowsTheWholeTextOfANarrowCellAndHidesOnKeyOrLeave) {
  GridHost host(4, 3);
  host.grid->SetItemText(2, 1, "a text much too long for sixty pixels");
  host.Move(host.Centre(2, 1), Qt::NoButton);
  CTitleTip* tip = host.grid->GetTitleTip();
  ASSERT_TRUE(tip->isVisible());
  EXPECT_EQ(tip->Text(), "a text much too long for sixty pixels");
  EXPECT_GT(tip->width(), host.grid->GetColumnWidth(1));
  EXPECT_EQ(tip->height(), host.grid->GetRowHeight(2));
  host.Key(Qt::Key_Shift);
  EXPECT_FALSE(tip->isVisible());

  host.Move(host.Centre(2, 1) + QPoint(1, 0), Qt::NoButton);
  ASSERT_TRUE(tip->isVisible());
  host.Move(host.Centre(2, 2), Qt::NoButton);  // a cell whose text fits
  EXPECT_FALSE(tip->isVisible());

  host.Move(host.Centre(2, 1), Qt::NoButton);
  host.ClickCell(2, 1);
  EXPECT_FALSE(tip->isVisible());
  host.grid->EnableTitleTips(false);
  host.Move(host.Centre(2, 1) + QPoint(2, 0), Qt::NoButton);
  EXPECT_FALSE(tip->isVisible());
}
