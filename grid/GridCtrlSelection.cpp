// Focus cell, selection and moving the focus by keys.
#include <QScrollBar>

#include "grid/GridCtrl.h"

void CGridCtrl::SetCellSelected(int row, int column, bool on) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return;
  if (on && cell->IsFixed()) return;
  const uint32_t state = cell->GetState();
  cell->SetState(on ? (state | gridstate::kSelected) : (state & ~gridstate::kSelected));
  if (on) {
    m_selected.insert({row, column});
  } else {
    m_selected.erase({row, column});
  }
}

void CGridCtrl::ClearSelection() {
  const auto selected = m_selected;
  for (const auto& [row, column] : selected) SetCellSelected(row, column, false);
  m_selected.clear();
  viewport()->update();
}

void CGridCtrl::SetSelectionEnabled(bool on) {
  ClearSelection();
  m_selectionEnabled = on;
  ClearSelection();
}

// The selection becomes the range's non-fixed cells, plus the cells kept from before a Ctrl-press.
void CGridCtrl::SelectRange(const GridCellRange& range, bool keepPrevious) {
  if (!m_selectionEnabled) return;
  std::set<std::pair<int, int>> wanted = keepPrevious ? m_previousSelection : std::set<std::pair<int, int>>{};
  if (range.IsValid()) {
    const int lastRow = std::min(range.maxRow, GetRowCount() - 1);
    const int lastColumn = std::min(range.maxColumn, m_columnCount - 1);
    for (int r = std::max(range.minRow, m_fixedRows); r <= lastRow; ++r) {
      for (int c = std::max(range.minColumn, m_fixedColumns); c <= lastColumn; ++c) wanted.insert({r, c});
    }
  }
  const auto current = m_selected;
  for (const auto& rc : current) {
    if (!wanted.contains(rc)) SetCellSelected(rc.first, rc.second, false);
  }
  for (const auto& rc : wanted) {
    if (!m_selected.contains(rc)) SetCellSelected(rc.first, rc.second, true);
  }
  viewport()->update();
}

void CGridCtrl::SetSelectedRange(int minRow, int minColumn, int maxRow, int maxColumn) {
  SelectRange({minRow, minColumn, maxRow, maxColumn}, false);
}

void CGridCtrl::SelectAllCells() {
  if (!m_selectionEnabled) return;
  SendNotify(gridcodes::kSelectionChanging, m_focusCell.row, m_focusCell.column);
  SelectRange({m_fixedRows, m_fixedColumns, GetRowCount() - 1, m_columnCount - 1}, false);
  SendNotify(gridcodes::kSelectionChanged, m_focusCell.row, m_focusCell.column);
}

GridCellRange CGridCtrl::GetSelectedRange() const {
  if (m_selected.empty()) return {};
  GridCellRange range{m_selected.begin()->first, m_selected.begin()->second, m_selected.begin()->first,
                      m_selected.begin()->second};
  for (const auto& [row, column] : m_selected) {
    range.minRow = std::min(range.minRow, row);
    range.maxRow = std::max(range.maxRow, row);
    range.minColumn = std::min(range.minColumn, column);
    range.maxColumn = std::max(range.maxColumn, column);
  }
  return range;
}

QPoint CGridCtrl::GetFocusCell() const {
  if (!m_focusCell.IsValid()) return {-1, -1};
  return {m_focusCell.column, m_focusCell.row};
}

void CGridCtrl::SetFocusCell(int row, int column) {
  const CGridCellBase* cell = GetCell(row, column);
  SetFocusCellInternal(cell != nullptr && !cell->IsFixed() ? GridCellId{row, column} : GridCellId{});
}

// Only the focus bits change here; the whole grid repaints because the tracking headers change too.
void CGridCtrl::SetFocusCellInternal(const GridCellId& cell) {
  if (cell == m_focusCell) return;
  if (CGridCellBase* old = GetCell(m_focusCell.row, m_focusCell.column)) {
    old->SetState(old->GetState() & ~gridstate::kFocused);
  }
  m_focusCell = cell;
  if (CGridCellBase* now = GetCell(cell.row, cell.column)) now->SetState(now->GetState() | gridstate::kFocused);
  viewport()->update();
}

// A key moved the focus: the selection follows from its start cell, which stays only while Shift
// is held (never for Tab).
void CGridCtrl::MoveFocusTo(const GridCellId& cell, bool extend, bool resetStart) {
  if (!cell.IsValid()) return;
  SendNotify(gridcodes::kSelectionChanging, cell.row, cell.column);
  if (GetCell(cell.row, cell.column) == nullptr) return;  // the owner changed the grid meanwhile
  SetFocusCellInternal(cell);
  if (!extend || resetStart || !m_selectionStart.IsValid()) m_selectionStart = cell;
  m_previousSelection.clear();
  SelectRange(GridCellRange::Spanning(m_selectionStart, cell), false);
  EnsureVisible(cell.row, cell.column);
  SendNotify(gridcodes::kSelectionChanged, cell.row, cell.column);
}

bool CGridCtrl::IsRowShown(int row) const { return row >= 0 && row < GetRowCount() && GetRowHeight(row) > 0; }

bool CGridCtrl::IsColumnShown(int column) const {
  return column >= 0 && column < m_columnCount && GetColumnWidth(column) > 0;
}

// The next shown non-fixed row (column) from `from` in steps of `step` (+1 or -1), -1 when none.
int CGridCtrl::ShownRow(int from, int step) const {
  for (int r = from; r >= m_fixedRows && r < GetRowCount(); r += step) {
    if (IsRowShown(r)) return r;
  }
  return -1;
}

int CGridCtrl::ShownColumn(int from, int step) const {
  for (int c = from; c >= m_fixedColumns && c < m_columnCount; c += step) {
    if (IsColumnShown(c)) return c;
  }
  return -1;
}

// Where a navigation key takes the focus from `from`; `from` itself when it cannot move.
GridCellId CGridCtrl::NextCell(const GridCellId& from, int key, Qt::KeyboardModifiers modifiers) const {
  const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
  auto orFrom = [&](int row, int column) { return row >= 0 && column >= 0 ? GridCellId{row, column} : from; };
  switch (key) {
    case Qt::Key_Down: return orFrom(ShownRow(from.row + 1, 1), from.column);
    case Qt::Key_Up: return orFrom(ShownRow(from.row - 1, -1), from.column);
    case Qt::Key_Right: return orFrom(from.row, ShownColumn(from.column + 1, 1));
    case Qt::Key_Left: return orFrom(from.row, ShownColumn(from.column - 1, -1));
    case Qt::Key_Tab: {
      if (const int c = ShownColumn(from.column + 1, 1); c >= 0) return {from.row, c};
      return orFrom(ShownRow(from.row + 1, 1), ShownColumn(m_fixedColumns, 1));
    }
    case Qt::Key_Backtab: {
      if (const int c = ShownColumn(from.column - 1, -1); c >= 0) return {from.row, c};
      return orFrom(ShownRow(from.row - 1, -1), ShownColumn(m_columnCount - 1, -1));
    }
    case Qt::Key_Home:
      if (ctrl) return orFrom(ShownRow(m_fixedRows, 1), ShownColumn(m_fixedColumns, 1));
      return orFrom(from.row, ShownColumn(m_fixedColumns, 1));
    case Qt::Key_End:
      if (ctrl) return orFrom(ShownRow(GetRowCount() - 1, -1), ShownColumn(m_columnCount - 1, -1));
      return orFrom(from.row, ShownColumn(m_columnCount - 1, -1));
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
      const int step = key == Qt::Key_PageDown ? 1 : -1;
      const int target = std::clamp(from.row + step * PageRows(TopRow()), m_fixedRows, GetRowCount() - 1);
      int row = ShownRow(target, step);
      if (row < 0) row = ShownRow(target, -step);
      return orFrom(row, from.column);
    }
    default: return from;
  }
}

// Acts on a navigation key; false when the key is not one. Page keys scroll a page first.
bool CGridCtrl::HandleMoveKey(int key, Qt::KeyboardModifiers modifiers) {
  switch (key) {
    case Qt::Key_Down: case Qt::Key_Up: case Qt::Key_Left: case Qt::Key_Right: case Qt::Key_Tab:
    case Qt::Key_Backtab: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageDown: case Qt::Key_PageUp:
      break;
    default: return false;
  }
  if (!m_focusCell.IsValid()) return true;
  const GridCellId next = NextCell(m_focusCell, key, modifiers);
  if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
    const int page = PageRows(TopRow());
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (key == Qt::Key_PageDown ? page : -page));
  }
  const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
  if (next != m_focusCell) {
    MoveFocusTo(next, (modifiers & Qt::ShiftModifier) != 0 && !tab, tab);
  } else {
    EnsureVisible(next.row, next.column);
  }
  return true;
}
