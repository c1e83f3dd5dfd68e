#include "grid/GridCellBase.h"

#include <QPainter>

#include "grid/GridCtrl.h"
#include "grid/GridDefaultCell.h"

const CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
  if (m_grid == nullptr) return nullptr;
  return m_grid->GetDefaultCell(IsFixedRow(), IsFixedColumn());
}

QColor CGridCellBase::EffectiveTextClr() const {
  if (m_textColour.isValid()) return m_textColour;
  const CGridDefaultCell* def = GetDefaultCell();
  return def != nullptr ? def->EffectiveTextClr() : QColor(Qt::black);
}

QColor CGridCellBase::EffectiveBackClr() const {
  if (m_backColour.isValid()) return m_backColour;
  const CGridDefaultCell* def = GetDefaultCell();
  return def != nullptr ? def->EffectiveBackClr() : QColor(Qt::white);
}

QFont CGridCellBase::GetFont() const {
  if (m_font) return *m_font;
  const CGridDefaultCell* def = GetDefaultCell();
  return def != nullptr ? def->GetFont() : QFont();
}

uint32_t CGridCellBase::GetFormat() const {
  if (m_format) return *m_format;
  const CGridDefaultCell* def = GetDefaultCell();
  return def != nullptr ? def->GetFormat() : gridformat::kDefault;
}

int CGridCellBase::GetMargin() const {
  if (m_margin) return *m_margin;
  const CGridDefaultCell* def = GetDefaultCell();
  return def != nullptr ? def->GetMargin() : 0;
}

void CGridCellBase::Draw(QPainter& painter, int row, int column, const QRect& rect) {
  QColor textColour = EffectiveTextClr();
  DrawBackground(painter, rect, textColour);
  if (IsFixed()) DrawFixedEdge(painter, row, column, rect);
  DrawText(painter, GetTextRect(rect), textColour);
}

// Focused cells keep their own colours unless also selected, and get a frame in the text colour.
void CGridCellBase::DrawBackground(QPainter& painter, const QRect& rect, QColor& textColour) const {
  const QPalette& palette = m_grid != nullptr ? m_grid->palette() : QPalette();
  const bool focused = (GetState() & (gridstate::kFocused | gridstate::kDropHighlighted)) != 0;
  if (IsSelected()) {
    painter.fillRect(rect, palette.color(QPalette::Highlight));
    textColour = palette.color(QPalette::HighlightedText);
  } else {
    painter.fillRect(rect, EffectiveBackClr());
  }
  if (focused && m_grid != nullptr && m_grid->GetFrameFocusCell()) {
    painter.save();
    painter.setPen(QPen(textColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
  }
}

// A raised edge, or a pressed one for the headers of the focus cell's row and column.
void CGridCellBase::DrawFixedEdge(QPainter& painter, int row, int column, const QRect& rect) const {
  const QPalette& palette = m_grid != nullptr ? m_grid->palette() : QPalette();
  bool sunken = false;
  if (m_grid != nullptr && m_grid->GetTrackFocusCell()) {
    const QPoint focus = m_grid->GetFocusCell();
    sunken = (focus.y() >= 0 && IsFixedColumn() && !IsFixedRow() && row == focus.y()) ||
             (focus.x() >= 0 && IsFixedRow() && !IsFixedColumn() && column == focus.x());
  }
  const QColor topLeft = palette.color(sunken ? QPalette::Shadow : QPalette::Light);
  const QColor bottomRight = palette.color(sunken ? QPalette::Light : QPalette::Shadow);
  painter.save();
  painter.setPen(topLeft);
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(bottomRight);
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.restore();
}

void CGridCellBase::DrawText(QPainter& painter, const QRect& textRect, const QColor& textColour) const {
  const QString text = GetText();
  if (text.isEmpty() || textRect.width() <= 0 || textRect.height() <= 0) return;
  const uint32_t format = GetFormat();
  const QFont font = GetFont();
  QString shown = text;
  if ((format & gridformat::kEndEllipsis) != 0) {
    shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width());
  }
  painter.save();
  painter.setFont(font);
  painter.setPen(textColour);
  painter.drawText(textRect, static_cast<int>(format & ~gridformat::kEndEllipsis), shown);
  painter.restore();
}

QRect CGridCellBase::GetTextRect(const QRect& cellRect) const {
  const int margin = GetMargin();
  return cellRect.adjusted(margin, 0, -margin, 0);
}

QSize CGridCellBase::GetCellExtent() const {
  const QFontMetrics metrics(GetFont());
  const int margin = GetMargin();
  const QSize text = metrics.size(Qt::TextSingleLine, GetText());
  return {text.width() + 2 * margin + 1, text.height() + 2 * margin + 1};
}

void CGridCellBase::EndEdit() {
  if (m_grid != nullptr && m_editing) m_grid->EndEditing();
}

void CGridCellBase::OnEndEdit() { SetEditing(false, nullptr); }

void CGridCellBase::OnClick(const QRect&, const QPoint&) {}

void CGridCellBase::CopyFrom(const CGridCellBase& other) {
  m_grid = other.m_grid;
  m_state = other.m_state;
  m_text = other.m_text;
  m_textColour = other.m_textColour;
  m_backColour = other.m_backColour;
  m_font = other.m_font;
  m_format = other.m_format;
  m_margin = other.m_margin;
}
