#include "grid/TitleTip.h"

#include <QFontMetrics>
#include <QPainter>

CTitleTip::CTitleTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void CTitleTip::Show(const QRect& cellRect, const QString& text, const QFont& font) {
  m_text = text;
  m_cellRect = cellRect;
  setFont(font);
  const QFontMetrics metrics(font);
  const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
  const int width = metrics.horizontalAdvance(text) + 2 * blank + 2;
  setGeometry(cellRect.left(), cellRect.top(), std::max(width, cellRect.width()), cellRect.height());
  update();
  show();
  raise();
}

void CTitleTip::Hide() {
  if (isVisible()) hide();
  m_cellRect = QRect();
}

// A thin border on the tooltip colours, the text a blank in from the left and centred vertically.
void CTitleTip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
  painter.setPen(palette().color(QPalette::ToolTipText));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const int blank = QFontMetrics(font()).horizontalAdvance(QLatin1Char(' '));
  painter.drawText(rect().adjusted(blank + 1, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   m_text);
}
