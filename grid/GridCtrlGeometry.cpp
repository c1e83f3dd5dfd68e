// Where the cells lie: fixed rows and columns stay at the top and left; the others scroll a whole row
// or column at a time, so the scroll bars count rows and columns, not pixels.
#include <QResizeEvent>
#include <QScrollBar>

#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"

int CGridCtrl::TopRow() const { return m_fixedRows + verticalScrollBar()->value(); }

int CGridCtrl::LeftColumn() const { return m_fixedColumns + horizontalScrollBar()->value(); }

int CGridCtrl::RowTop(int row) const {
  if (row < m_fixedRows) {
    int y = 0;
    for (int r = 0; r < row; ++r) y += GetRowHeight(r);
    return y;
  }
  const int top = TopRow();
  int y = GetFixedRowHeight();
  if (row < top) {
    for (int r = row; r < top; ++r) y -= GetRowHeight(r);
  } else {
    for (int r = top; r < row; ++r) y += GetRowHeight(r);
  }
  return y;
}

int CGridCtrl::ColumnLeft(int column) const {
  if (column < m_fixedColumns) {
    int x = 0;
    for (int c = 0; c < column; ++c) x += GetColumnWidth(c);
    return x;
  }
  const int left = LeftColumn();
  int x = GetFixedColumnWidth();
  if (column < left) {
    for (int c = column; c < left; ++c) x -= GetColumnWidth(c);
  } else {
    for (int c = left; c < column; ++c) x += GetColumnWidth(c);
  }
  return x;
}

QRect CGridCtrl::GetCellRect(int row, int column) const {
  if (GetCell(row, column) == nullptr) return {};
  if (row >= m_fixedRows && row < TopRow()) return {};
  if (column >= m_fixedColumns && column < LeftColumn()) return {};
  const QRect rect(ColumnLeft(column), RowTop(row), GetColumnWidth(column), GetRowHeight(row));
  if (rect.isEmpty() || rect.left() >= viewport()->width() || rect.top() >= viewport()->height()) return {};
  return rect;
}

bool CGridCtrl::IsCellVisible(int row, int column) const { return GetCellRect(row, column).isValid(); }

GridCellId CGridCtrl::GetCellFromPt(const QPoint& point) const {
  if (point.x() < 0 || point.y() < 0) return {};
  GridCellId cell;
  int x = 0;
  for (int c = 0; c < m_columnCount && cell.column < 0; ++c) {
    if (c == m_fixedColumns) c = LeftColumn();
    if (c >= m_columnCount) break;
    const int width = GetColumnWidth(c);
    if (point.x() >= x && point.x() < x + width) cell.column = c;
    x += width;
  }
  int y = 0;
  for (int r = 0; r < GetRowCount() && cell.row < 0; ++r) {
    if (r == m_fixedRows) r = TopRow();
    if (r >= GetRowCount()) break;
    const int height = GetRowHeight(r);
    if (point.y() >= y && point.y() < y + height) cell.row = r;
    y += height;
  }
  if (!cell.IsValid()) return {};
  return cell;
}

GridCellId CGridCtrl::GetTopLeftNonFixedCell() const {
  if (TopRow() >= GetRowCount() || LeftColumn() >= m_columnCount) return {};
  return {TopRow(), LeftColumn()};
}

GridCellRange CGridCtrl::GetVisibleNonFixedCellRange() const {
  const GridCellId topLeft = GetTopLeftNonFixedCell();
  if (!topLeft.IsValid()) return {};
  int lastRow = topLeft.row;
  for (int r = topLeft.row, y = GetFixedRowHeight(); r < GetRowCount() && y < viewport()->height(); ++r) {
    y += GetRowHeight(r);
    lastRow = r;
  }
  int lastColumn = topLeft.column;
  for (int c = topLeft.column, x = GetFixedColumnWidth(); c < m_columnCount && x < viewport()->width(); ++c) {
    x += GetColumnWidth(c);
    lastColumn = c;
  }
  return {topLeft.row, topLeft.column, lastRow, lastColumn};
}

// Whole rows that fit below the fixed rows when scrolled to `top`, at least one.
int CGridCtrl::PageRows(int top) const {
  const int space = viewport()->height() - GetFixedRowHeight();
  int rows = 0;
  for (int r = top, used = 0; r < GetRowCount(); ++r) {
    used += GetRowHeight(r);
    if (used > space) break;
    ++rows;
  }
  return std::max(rows, 1);
}

int CGridCtrl::PageColumns(int left) const {
  const int space = viewport()->width() - GetFixedColumnWidth();
  int columns = 0;
  for (int c = left, used = 0; c < m_columnCount; ++c) {
    used += GetColumnWidth(c);
    if (used > space) break;
    ++columns;
  }
  return std::max(columns, 1);
}

// The spare width goes to the shown columns in proportion to their given widths; what the division
// leaves goes to the last of them, so that the columns end at the viewport's right edge.
void CGridCtrl::StretchColumns() {
  m_columnStretch.assign(static_cast<size_t>(m_columnCount), 0);
  if (!m_stretchColumns) return;
  long long given = 0;
  int last = -1;
  for (int c = 0; c < m_columnCount; ++c) {
    given += m_columnWidths[static_cast<size_t>(c)];
    if (m_columnWidths[static_cast<size_t>(c)] > 0) last = c;
  }
  const long long spare = viewport()->width() - given;
  if (spare <= 0 || last < 0) return;
  long long shared = 0;
  for (int c = 0; c < m_columnCount; ++c) {
    const long long share = spare * m_columnWidths[static_cast<size_t>(c)] / given;
    m_columnStretch[static_cast<size_t>(c)] = static_cast<int>(share);
    shared += share;
  }
  m_columnStretch[static_cast<size_t>(last)] += static_cast<int>(spare - shared);
}

// The largest scroll position is the first one at which the remaining rows (columns) all fit. The
// columns' stretch, which depends on the viewport's width, is settled first.
void CGridCtrl::UpdateScrollBars() {
  StretchColumns();
  const int rowSpace = viewport()->height() - GetFixedRowHeight();
  int firstRow = GetRowCount();
  for (int used = 0; firstRow > m_fixedRows && used + GetRowHeight(firstRow - 1) <= rowSpace; --firstRow) {
    used += GetRowHeight(firstRow - 1);
  }
  const int columnSpace = viewport()->width() - GetFixedColumnWidth();
  int firstColumn = m_columnCount;
  for (int used = 0; firstColumn > m_fixedColumns && used + GetColumnWidth(firstColumn - 1) <= columnSpace;
       --firstColumn) {
    used += GetColumnWidth(firstColumn - 1);
  }
  verticalScrollBar()->setRange(0, std::max(0, firstRow - m_fixedRows));
  horizontalScrollBar()->setRange(0, std::max(0, firstColumn - m_fixedColumns));
  verticalScrollBar()->setPageStep(PageRows(TopRow()));
  horizontalScrollBar()->setPageStep(PageColumns(LeftColumn()));
}

void CGridCtrl::EnsureVisible(int row, int column) {
  if (GetCell(row, column) == nullptr) return;
  if (row >= m_fixedRows) {
    int top = TopRow();
    if (row < top) {
      top = row;
    } else {
      const int space = viewport()->height() - GetFixedRowHeight();
      auto bottom = [&] {
        int used = 0;
        for (int r = top; r <= row; ++r) used += GetRowHeight(r);
        return used;
      };
      while (top < row && bottom() > space) ++top;
    }
    verticalScrollBar()->setValue(top - m_fixedRows);
  }
  if (column >= m_fixedColumns) {
    int left = LeftColumn();
    if (column < left) {
      left = column;
    } else {
      const int space = viewport()->width() - GetFixedColumnWidth();
      auto right = [&] {
        int used = 0;
        for (int c = left; c <= column; ++c) used += GetColumnWidth(c);
        return used;
      };
      while (left < column && right() > space) ++left;
    }
    horizontalScrollBar()->setValue(left - m_fixedColumns);
  }
}

void CGridCtrl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

// Scrolling moves every non-fixed cell, so an open editor would stand over the wrong cell: it ends.
void CGridCtrl::scrollContentsBy(int, int) {
  EndEditing();
  m_titleTip->Hide();
  verticalScrollBar()->setPageStep(PageRows(TopRow()));
  horizontalScrollBar()->setPageStep(PageColumns(LeftColumn()));
  viewport()->update();
}
