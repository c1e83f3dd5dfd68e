#pragma once

#include <QColor>
#include <QLabel>

// The coloured status field of the main window: a text on a solid background. The window sets the
// text; the field only keeps its two colours and repaints when one changes.
class CColorStatic : public QLabel {
  Q_OBJECT

 public:
  explicit CColorStatic(QWidget* parent = nullptr);

  void SetBackgroundColour(const QColor& colour);
  void SetTextColour(const QColor& colour);
  [[nodiscard]] QColor BackgroundColour() const { return m_background; }
  [[nodiscard]] QColor TextColour() const { return m_text; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void ApplyTextColour();
  QColor m_background;              // the palette's button face until the window colours it
  QColor m_text = QColor(0, 0, 0);  // black
};
