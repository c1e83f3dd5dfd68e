#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

// The pop-up that shows the whole text of a cell too narrow for it. It lets every click and movement
// through to the window beneath, so the grid keeps receiving them and hides it again.
class CTitleTip : public QWidget {
  Q_OBJECT

 public:
  explicit CTitleTip(QWidget* owner);

  // Shows text over cellRect (global coordinates) in font, as wide as the text with a blank each side.
  void Show(const QRect& cellRect, const QString& text, const QFont& font);
  void Hide();
  [[nodiscard]] QString Text() const { return m_text; }
  // The cell rectangle (global) the tip stands for; leaving it hides the tip.
  [[nodiscard]] QRect CellRect() const { return m_cellRect; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString m_text;
  QRect m_cellRect;
};
