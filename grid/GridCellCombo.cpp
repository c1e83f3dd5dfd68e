#include "grid/GridCellCombo.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "grid/GridCtrl.h"
#include "grid/InPlaceList.h"

QRect CGridCellCombo::ButtonRect(const QRect& cellRect) const {
  const CGridCtrl* grid = GetGrid();
  if (grid == nullptr) return {};
  const int size = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
  if (cellRect.width() <= size || cellRect.height() <= size) return {};
  return {cellRect.right() + 1 - size, cellRect.top(), size, size};
}

// The arrow button shows only where the list could be opened; the text fills the rest. While the
// list is open over the cell the cell shows no text of its own.
void CGridCellCombo::Draw(QPainter& painter, int row, int column, const QRect& rect) {
  const CGridCtrl* grid = GetGrid();
  QColor textColour = EffectiveTextClr();
  DrawBackground(painter, rect, textColour);
  if (IsFixed()) DrawFixedEdge(painter, row, column, rect);
  if (IsEditing()) return;
  QRect textArea = rect;
  const QRect button = ButtonRect(rect);
  if (grid != nullptr && grid->IsEditable() && !IsReadOnly() && button.isValid()) {
    QStyleOptionButton panel;
    panel.initFrom(grid);
    panel.rect = button;
    panel.state = QStyle::State_Enabled | QStyle::State_Raised;
    grid->style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &panel, &painter, grid);
    QStyleOption arrow;
    arrow.initFrom(grid);
    arrow.rect = button.adjusted(3, 3, -3, -3);
    arrow.state = QStyle::State_Enabled;
    grid->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, grid);
    textArea.setRight(button.left() - 1);
  }
  DrawText(painter, GetTextRect(textArea), textColour);
}

QSize CGridCellCombo::GetCellExtent() const {
  const QSize text = CGridCell::GetCellExtent();
  const CGridCtrl* grid = GetGrid();
  const int size = grid != nullptr ? grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid) : 16;
  return {text.width() + size, std::max(text.height(), size)};
}

bool CGridCellCombo::Edit(int row, int column, const QRect& rect, const GridEditKey&) {
  CGridCtrl* grid = GetGrid();
  if (grid == nullptr || IsEditing()) return false;
  auto* list = new CInPlaceList(*grid, rect, row, column, m_options, GetText(),
                                m_style == GridComboStyle::DropDown);
  SetEditing(true, list);
  return true;
}

void CGridCellCombo::CopyFrom(const CGridCellBase& other) {
  CGridCell::CopyFrom(other);
  if (const auto* combo = dynamic_cast<const CGridCellCombo*>(&other)) {
    m_options = combo->m_options;
    m_style = combo->m_style;
  }
}
