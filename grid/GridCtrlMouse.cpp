// The mouse: selecting, resizing by the header dividers, opening editors, clicks, the wheel, the
// resize cursors and the title tips.
#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"

// The column whose right-hand divider lies within the capture range of the point, in a fixed row;
// -1 when none. A divider whose left column is hidden belongs to the nearest shown column on its
// left, and to nothing when there is none.
int CGridCtrl::ColumnDividerAt(const QPoint& point) const {
  const GridCellId cell = GetCellFromPt(point);
  if (!cell.IsValid() || cell.row >= m_fixedRows) return -1;
  const int left = ColumnLeft(cell.column);
  const int right = left + GetColumnWidth(cell.column);
  if (point.x() - left < kResizeCaptureRange) {
    // On screen, the column left of the first scrolled column is the last fixed one.
    int column = cell.column == LeftColumn() && cell.column > m_fixedColumns ? m_fixedColumns - 1 : cell.column - 1;
    while (column >= 0 && GetColumnWidth(column) == 0) --column;
    return column;
  }
  if (right - point.x() <= kResizeCaptureRange) return cell.column;
  return -1;
}

int CGridCtrl::RowDividerAt(const QPoint& point) const {
  const GridCellId cell = GetCellFromPt(point);
  if (!cell.IsValid() || cell.column >= m_fixedColumns) return -1;
  const int top = RowTop(cell.row);
  const int bottom = top + GetRowHeight(cell.row);
  if (point.y() - top < kResizeCaptureRange) {
    int row = cell.row == TopRow() && cell.row > m_fixedRows ? m_fixedRows - 1 : cell.row - 1;
    while (row >= 0 && GetRowHeight(row) == 0) --row;
    return row;
  }
  if (bottom - point.y() <= kResizeCaptureRange) return cell.row;
  return -1;
}

void CGridCtrl::mousePressEvent(QMouseEvent* event) {
  m_titleTip->Hide();
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint point = event->position().toPoint();
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  m_pressPoint = point;
  m_lastMousePoint = point;
  m_mouseMode = MouseMode::None;
  m_ctrlAtPress = ctrl;
  const GridCellId cell = GetCellFromPt(point);
  m_pressedCell = cell;
  if (!cell.IsValid()) return;  // outside the cells nothing happens until the release

  if (!shift || !m_selectionStart.IsValid()) m_selectionStart = cell;
  CGridCellBase* pressed = GetCell(cell.row, cell.column);
  if (cell == m_focusCell && !ctrl && CanEdit(cell.row, cell.column) &&
      pressed->GetTextRect(GetCellRect(cell.row, cell.column)).contains(point)) {
    m_mouseMode = MouseMode::PrepareEdit;
    return;
  }
  if (m_allowColumnResize && cell.row < m_fixedRows) {
    if (const int column = ColumnDividerAt(point); column >= 0) {
      m_mouseMode = MouseMode::ResizeColumn;
      m_resizeIndex = column;
      m_resizeLine = point.x();
      viewport()->update();
      return;
    }
  }
  if (m_allowRowResize && cell.column < m_fixedColumns) {
    if (const int row = RowDividerAt(point); row >= 0) {
      m_mouseMode = MouseMode::ResizeRow;
      m_resizeIndex = row;
      m_resizeLine = point.y();
      viewport()->update();
      return;
    }
  }

  const bool fixedRow = cell.row < m_fixedRows;
  const bool fixedColumn = cell.column < m_fixedColumns;
  SetFocusCellInternal(fixedRow || fixedColumn ? GridCellId{} : cell);
  SendNotify(gridcodes::kSelectionChanging, cell.row, cell.column);
  if (GetCell(cell.row, cell.column) == nullptr) return;  // the owner changed the grid meanwhile
  m_previousSelection = ctrl ? m_selected : std::set<std::pair<int, int>>{};
  if (!m_selectionEnabled) return;
  if (ctrl && IsCellSelected(cell.row, cell.column)) {
    SetCellSelected(cell.row, cell.column, false);
    viewport()->update();
    return;
  }
  if (fixedRow && fixedColumn) {
    m_mouseMode = MouseMode::None;
    SelectRange({m_fixedRows, m_fixedColumns, GetRowCount() - 1, m_columnCount - 1}, ctrl);
  } else if (fixedRow) {
    m_mouseMode = MouseMode::SelectColumns;
    DragSelectTo(cell);
  } else if (fixedColumn) {
    m_mouseMode = MouseMode::SelectRows;
    DragSelectTo(cell);
  } else {
    m_mouseMode = MouseMode::SelectCells;
    DragSelectTo(cell);
  }
}

// Extends the selection from its start cell to `cell`: cells, whole columns or whole rows.
void CGridCtrl::DragSelectTo(const GridCellId& cell) {
  if (!cell.IsValid() || !m_selectionStart.IsValid()) return;
  const int lastRow = GetRowCount() - 1;
  const int lastColumn = m_columnCount - 1;
  switch (m_mouseMode) {
    case MouseMode::SelectColumns:
      SelectRange({m_fixedRows, std::min(m_selectionStart.column, cell.column), lastRow,
                   std::max(m_selectionStart.column, cell.column)},
                  m_ctrlAtPress);
      break;
    case MouseMode::SelectRows:
      SelectRange({std::min(m_selectionStart.row, cell.row), m_fixedColumns,
                   std::max(m_selectionStart.row, cell.row), lastColumn},
                  m_ctrlAtPress);
      break;
    case MouseMode::SelectCells: {
      const GridCellId target{std::max(cell.row, m_fixedRows), std::max(cell.column, m_fixedColumns)};
      if (GetCell(target.row, target.column) == nullptr) return;
      SetFocusCellInternal(target);
      SelectRange(GridCellRange::Spanning(m_selectionStart, target), m_ctrlAtPress);
      break;
    }
    default: break;
  }
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if ((event->buttons() & Qt::LeftButton) == 0) {
    UpdateHoverCursor(point);
    if ((event->buttons() & Qt::RightButton) != 0) {
      m_titleTip->Hide();
    } else {
      UpdateTitleTip(point);
    }
    return;
  }
  m_lastMousePoint = point;
  switch (m_mouseMode) {
    case MouseMode::PrepareEdit:
      if (point != m_pressPoint) m_mouseMode = MouseMode::None;  // any movement abandons the edit
      break;
    case MouseMode::ResizeColumn:
      m_resizeLine = point.x();
      viewport()->update();
      break;
    case MouseMode::ResizeRow:
      m_resizeLine = point.y();
      viewport()->update();
      break;
    case MouseMode::SelectCells:
    case MouseMode::SelectRows:
    case MouseMode::SelectColumns:
      if (viewport()->rect().contains(point)) {
        m_autoScrollTimer.stop();
        DragSelectTo(GetCellFromPt(point));
      } else if (!m_autoScrollTimer.isActive()) {
        m_autoScrollTimer.start();
      }
      break;
    case MouseMode::None: break;
  }
}

// Each tick moves the focus one cell towards the pointer, scrolling and extending the selection.
void CGridCtrl::OnAutoScroll() {
  const bool selecting = m_mouseMode == MouseMode::SelectCells || m_mouseMode == MouseMode::SelectRows ||
                         m_mouseMode == MouseMode::SelectColumns;
  if (!selecting || viewport()->rect().contains(m_lastMousePoint)) {
    m_autoScrollTimer.stop();
    return;
  }
  GridCellId from = m_focusCell.IsValid() ? m_focusCell : m_selectionStart;
  if (!from.IsValid()) return;
  from.row = std::max(from.row, m_fixedRows);
  from.column = std::max(from.column, m_fixedColumns);
  GridCellId next = from;
  if (m_mouseMode != MouseMode::SelectColumns) {
    if (m_lastMousePoint.y() < 0) next = NextCell(next, Qt::Key_Up, Qt::NoModifier);
    if (m_lastMousePoint.y() >= viewport()->height()) next = NextCell(next, Qt::Key_Down, Qt::NoModifier);
  }
  if (m_mouseMode != MouseMode::SelectRows) {
    if (m_lastMousePoint.x() < 0) next = NextCell(next, Qt::Key_Left, Qt::NoModifier);
    if (m_lastMousePoint.x() >= viewport()->width()) next = NextCell(next, Qt::Key_Right, Qt::NoModifier);
  }
  if (next == from) return;
  SetFocusCellInternal(next);
  EnsureVisible(next.row, next.column);
  DragSelectTo(next);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    GridCellId cell = GetCellFromPt(point);
    if (cell.IsValid()) {
      const GridCellId inside{std::max(cell.row, m_fixedRows), std::max(cell.column, m_fixedColumns)};
      if (GetCell(inside.row, inside.column) != nullptr) SetFocusCellInternal(inside);
    }
    SendNotify(gridcodes::kRightClick, cell.row, cell.column);
    return;
  }
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  m_autoScrollTimer.stop();
  const MouseMode mode = m_mouseMode;
  m_mouseMode = MouseMode::None;
  const GridCellId pressed = m_pressedCell;
  m_pressedCell = {};

  if (mode == MouseMode::PrepareEdit) {
    EditCell(pressed.row, pressed.column);
  } else if (mode == MouseMode::ResizeColumn) {
    m_resizeLine = -1;
    SetColumnWidth(m_resizeIndex, std::max(0, point.x() - ColumnLeft(m_resizeIndex)));
    SendNotify(gridcodes::kColumnWidthChanged, -1, m_resizeIndex);
  } else if (mode == MouseMode::ResizeRow) {
    m_resizeLine = -1;
    SetRowHeight(m_resizeIndex, std::max(0, point.y() - RowTop(m_resizeIndex)));
    viewport()->update();
  } else {
    SendNotify(gridcodes::kSelectionChanged, pressed.row, pressed.column);
    if (CGridCellBase* focus = GetCell(m_focusCell.row, m_focusCell.column)) {
      focus->OnClick(GetCellRect(m_focusCell.row, m_focusCell.column), point);
      RedrawCell(m_focusCell.row, m_focusCell.column);
    }
    SendNotify(gridcodes::kClick, pressed.row, pressed.column);
  }
  if (pressed.IsValid()) {
    // Delivered once the release has been handled, as a posted command would be.
    QMetaObject::invokeMethod(this, [this] { emit cellCommand(m_controlId); }, Qt::QueuedConnection);
  }
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  m_titleTip->Hide();
  const QPoint point = event->position().toPoint();
  const GridCellId cell = GetCellFromPt(point);
  m_pressedCell = cell;
  m_pressPoint = point;
  m_mouseMode = MouseMode::None;
  if (cell.IsValid()) {
    const int column = m_allowColumnResize && cell.row < m_fixedRows ? ColumnDividerAt(point) : -1;
    const int row = m_allowRowResize && cell.column < m_fixedColumns ? RowDividerAt(point) : -1;
    if (column >= 0) {
      AutoSizeColumn(column);
      SendNotify(gridcodes::kColumnWidthChanged, -1, column);
    } else if (row >= 0) {
      AutoSizeRow(row);
    } else if (cell.row >= m_fixedRows && cell.column >= m_fixedColumns && m_focusCell.IsValid() &&
               GetCell(cell.row, cell.column)->GetTextRect(GetCellRect(cell.row, cell.column)).contains(point)) {
      EditCell(cell.row, cell.column);
    }
  }
  SendNotify(gridcodes::kDoubleClick, cell.row, cell.column);
}

void CGridCtrl::wheelEvent(QWheelEvent* event) {
  m_titleTip->Hide();
  m_wheelRemainder += event->angleDelta().y();
  const int notches = m_wheelRemainder / QWheelEvent::DefaultDeltasPerStep;
  m_wheelRemainder -= notches * QWheelEvent::DefaultDeltasPerStep;
  if (notches != 0) {
    const int perNotch = GetWheelRowsPerNotch();
    const int rows = perNotch < 0 ? PageRows(TopRow()) : perNotch;
    verticalScrollBar()->setValue(verticalScrollBar()->value() - notches * rows);
  }
  event->accept();
}

void CGridCtrl::UpdateHoverCursor(const QPoint& point) {
  if (m_allowColumnResize && ColumnDividerAt(point) >= 0) {
    viewport()->setCursor(Qt::SizeHorCursor);
  } else if (m_allowRowResize && RowDividerAt(point) >= 0) {
    viewport()->setCursor(Qt::SizeVerCursor);
  } else {
    viewport()->unsetCursor();
  }
}

// The tip shows the whole text of a cell too narrow for it while the application is active.
void CGridCtrl::UpdateTitleTip(const QPoint& point) {
  const GridCellId cell = GetCellFromPt(point);
  const CGridCellBase* over = GetCell(cell.row, cell.column);
  if (!m_titleTips || over == nullptr || over->IsEditing() || over->GetText().isEmpty() ||
      QApplication::activeWindow() == nullptr) {
    m_titleTip->Hide();
    return;
  }
  const QRect rect = GetCellRect(cell.row, cell.column);
  const QRect textRect = over->GetTextRect(rect);
  const QRect tipArea(textRect.left() - over->GetMargin(), rect.top(), textRect.width() + 2 * over->GetMargin(),
                      rect.height());
  const QRect global(viewport()->mapToGlobal(tipArea.topLeft()), tipArea.size());
  if (m_titleTip->isVisible() && m_titleTip->CellRect() == global) return;
  const QFontMetrics metrics(over->GetFont());
  const QString text = over->GetText();
  if (metrics.horizontalAdvance(QLatin1Char(' ') + text + QLatin1Char(' ')) <= tipArea.width()) {
    m_titleTip->Hide();
    return;
  }
  m_titleTip->Show(global, text, over->GetFont());
}
