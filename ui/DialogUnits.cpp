#include "ui/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

// The average width is that of the 52 letters, as dialog templates measure it.
DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m_averageCharWidth = (letters / 26 + 1) / 2;
  m_charHeight = metrics.height();
}

int DialogUnits::X(int units) const { return (units * m_averageCharWidth + 2) / 4; }
int DialogUnits::Y(int units) const { return (units * m_charHeight + 4) / 8; }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

QSize DialogUnits::Size(int width, int height) const { return {X(width), Y(height)}; }

QFont DialogFont() {
  QFont font = QApplication::font();
  font.setPointSizeF(8.0);
  return font;
}
