#include "ui/ColorStatic.h"

#include <QPainter>

CColorStatic::CColorStatic(QWidget* parent)
    : QLabel(parent), m_background(palette().color(QPalette::Button)) {
  setAlignment(Qt::AlignCenter);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  ApplyTextColour();
}

void CColorStatic::SetBackgroundColour(const QColor& colour) {
  if (colour == m_background) return;
  m_background = colour;
  update();
}

void CColorStatic::SetTextColour(const QColor& colour) {
  if (colour == m_text) return;
  m_text = colour;
  ApplyTextColour();
  update();
}

void CColorStatic::ApplyTextColour() {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, m_text);
  setPalette(colours);
}

// The background is filled inside the frame, then the label draws frame and text (in the palette's
// text colour, which SetTextColour keeps).
void CColorStatic::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(contentsRect(), m_background);
  }
  QLabel::paintEvent(event);
}
