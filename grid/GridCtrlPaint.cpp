// Painting. Qt paints every widget through its own off-screen buffer, so the grid simply paints the
// region asked for; redrawing one cell repaints just that cell's rectangle at once.
#include <QPaintEvent>
#include <QPainter>

#include "grid/GridCtrl.h"

void CGridCtrl::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const QRect clip = event->rect();
  const int fixedWidth = GetFixedColumnWidth();
  const int fixedHeight = GetFixedRowHeight();
  const int cellsRight = m_columnCount > 0 ? ColumnLeft(m_columnCount - 1) + GetColumnWidth(m_columnCount - 1) : 0;
  const int cellsBottom = GetRowCount() > 0 ? RowTop(GetRowCount() - 1) + GetRowHeight(GetRowCount() - 1) : 0;
  const int right = std::max(fixedWidth, cellsRight);
  const int bottom = std::max(fixedHeight, cellsBottom);

  // The areas first: beyond the cells, the corner, the fixed rows and columns, the normal cells.
  painter.fillRect(clip, GetGridBkColour());
  painter.fillRect(QRect(0, 0, fixedWidth, fixedHeight), GetDefaultCell(true, true)->GetBackClr());
  painter.fillRect(QRect(fixedWidth, 0, right - fixedWidth, fixedHeight), GetDefaultCell(true, false)->GetBackClr());
  painter.fillRect(QRect(0, fixedHeight, fixedWidth, bottom - fixedHeight), GetDefaultCell(false, true)->GetBackClr());
  painter.fillRect(QRect(fixedWidth, fixedHeight, right - fixedWidth, bottom - fixedHeight),
                   GetDefaultCell(false, false)->GetBackClr());

  // Then the cells: corner, fixed rows, fixed columns, normal cells.
  auto drawRows = [&](int firstRow, int lastRow, int firstColumn, int lastColumn) {
    for (int r = firstRow; r < lastRow; ++r) {
      const int top = RowTop(r);
      if (top > clip.bottom() || top >= viewport()->height()) break;
      if (top + GetRowHeight(r) <= clip.top() || GetRowHeight(r) == 0) continue;
      for (int c = firstColumn; c < lastColumn; ++c) {
        const int left = ColumnLeft(c);
        if (left > clip.right() || left >= viewport()->width()) break;
        if (left + GetColumnWidth(c) <= clip.left() || GetColumnWidth(c) == 0) continue;
        DrawCell(painter, r, c, QRect(left, top, GetColumnWidth(c), GetRowHeight(r)));
      }
    }
  };
  drawRows(0, m_fixedRows, 0, m_fixedColumns);
  drawRows(0, m_fixedRows, LeftColumn(), m_columnCount);
  drawRows(TopRow(), GetRowCount(), 0, m_fixedColumns);
  drawRows(TopRow(), GetRowCount(), LeftColumn(), m_columnCount);

  // Grid lines along the right and bottom edges of the visible normal columns and rows.
  painter.setPen(m_gridLineColour);
  if (m_gridLines == GridLines::Vertical || m_gridLines == GridLines::Both) {
    for (int c = LeftColumn(); c < m_columnCount; ++c) {
      const int x = ColumnLeft(c) + GetColumnWidth(c) - 1;
      if (x >= viewport()->width()) break;
      if (GetColumnWidth(c) > 0) painter.drawLine(x, fixedHeight, x, cellsBottom - 1);
    }
  }
  if (m_gridLines == GridLines::Horizontal || m_gridLines == GridLines::Both) {
    for (int r = TopRow(); r < GetRowCount(); ++r) {
      const int y = RowTop(r) + GetRowHeight(r) - 1;
      if (y >= viewport()->height()) break;
      if (GetRowHeight(r) > 0) painter.drawLine(fixedWidth, y, cellsRight - 1, y);
    }
  }

  // A divider being dragged shows as an inverted line at the pointer.
  if (m_resizeLine >= 0) {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    if (m_mouseMode == MouseMode::ResizeColumn) {
      painter.drawLine(m_resizeLine, 0, m_resizeLine, viewport()->height());
    } else if (m_mouseMode == MouseMode::ResizeRow) {
      painter.drawLine(0, m_resizeLine, viewport()->width(), m_resizeLine);
    }
  }
}

// A normal cell leaves its right and bottom pixel to the grid lines when they are drawn.
void CGridCtrl::DrawCell(QPainter& painter, int row, int column, const QRect& rect) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return;
  QRect area = rect;
  if (!cell->IsFixed()) {
    if (m_gridLines == GridLines::Vertical || m_gridLines == GridLines::Both) area.setRight(area.right() - 1);
    if (m_gridLines == GridLines::Horizontal || m_gridLines == GridLines::Both) area.setBottom(area.bottom() - 1);
  }
  painter.save();
  painter.setClipRect(rect);
  cell->Draw(painter, row, column, area);
  painter.restore();
}

void CGridCtrl::RedrawCell(int row, int column) {
  const QRect rect = GetCellRect(row, column);
  if (!rect.isValid() || !viewport()->isVisible()) return;
  viewport()->repaint(rect);
}
