#include "grid/GridCellCheck.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "grid/GridCtrl.h"

namespace {

int SquareSize(const CGridCtrl* grid) {
  const QStyle* style = grid != nullptr ? grid->style() : nullptr;
  return style != nullptr ? style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) : 16;
}

}  // namespace

bool CGridCellCheck::SetCheck(bool checked) {
  const uint32_t value = checked ? 1 : 0;
  if (value == m_check) return false;
  m_check = value;
  return true;
}

// The square is as wide as a horizontal scroll bar is high, inset by the margin, or centred
// vertically in a cell too low for it.
QRect CGridCellCheck::CheckPlacement(const QRect& cellRect) const {
  const int size = SquareSize(GetGrid());
  const int margin = GetMargin();
  int top = cellRect.top() + margin;
  if (cellRect.height() < size + 2 * margin) top = cellRect.top() + (cellRect.height() - size) / 2;
  return {cellRect.left() + margin, top, size, size};
}

QRect CGridCellCheck::GetTextRect(const QRect& cellRect) const {
  QRect text = CGridCell::GetTextRect(cellRect);
  text.setLeft(CheckPlacement(cellRect).right() + 1 + GetMargin());
  return text;
}

QSize CGridCellCheck::GetCellExtent() const {
  const QSize text = CGridCell::GetCellExtent();
  const int size = SquareSize(GetGrid());
  return {text.width() + size + GetMargin(), std::max(text.height(), size + 2 * GetMargin())};
}

void CGridCellCheck::Draw(QPainter& painter, int row, int column, const QRect& rect) {
  CGridCell::Draw(painter, row, column, rect);
  m_checkRect = CheckPlacement(rect);
  const CGridCtrl* grid = GetGrid();
  if (grid == nullptr) return;
  QStyleOptionButton option;
  option.initFrom(grid);
  option.rect = m_checkRect;
  option.state = QStyle::State_Enabled | (GetCheck() ? QStyle::State_On : QStyle::State_Off);
  if (!grid->IsEditable() || IsReadOnly()) option.state &= ~QStyle::State_Enabled;
  grid->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, grid);
}

// Only the space bar acts: the box toggles and the owner hears of it at once. No editor opens.
bool CGridCellCheck::Edit(int row, int column, const QRect&, const GridEditKey& key) {
  CGridCtrl* grid = GetGrid();
  if (grid == nullptr || key.key != Qt::Key_Space) return false;
  SetCheck(!GetCheck());
  grid->RedrawCell(row, column);
  grid->SendNotify(gridcodes::kEndEdit, row, column);
  return false;
}

void CGridCellCheck::OnClick(const QRect& cellRect, const QPoint& point) {
  const CGridCtrl* grid = GetGrid();
  if (grid == nullptr || !grid->IsEditable() || IsReadOnly()) return;
  if (!CheckPlacement(cellRect).contains(point)) return;
  SetCheck(!GetCheck());
}

void CGridCellCheck::CopyFrom(const CGridCellBase& other) {
  CGridCell::CopyFrom(other);
  if (const auto* check = dynamic_cast<const CGridCellCheck*>(&other)) m_check = check->m_check;
}
