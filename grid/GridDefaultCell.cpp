#include "grid/GridDefaultCell.h"

#include <QFontMetrics>

CGridDefaultCell::CGridDefaultCell() { SetDefaultFont(QFont()); }

void CGridDefaultCell::SetDefaultFont(const QFont& font) {
  m_defaultFont = font;
  const QFontMetrics metrics(font);
  m_defaultMargin = metrics.horizontalAdvance(QLatin1Char(' '));
  const QSize extent = metrics.size(Qt::TextSingleLine, QStringLiteral(" XXXXXXXXXXXX "));
  m_width = extent.width();
  m_height = extent.height() * 3 / 2;
}

bool CGridDefaultCell::Edit(int, int, const QRect&, const GridEditKey&) { return false; }
