#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

// Dialog units of a font: a horizontal unit is a quarter of the average character width, a vertical
// unit an eighth of the character height. The windows are laid out in these units, so they keep their
// proportions whatever the font and the screen.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  [[nodiscard]] int X(int units) const;
  [[nodiscard]] int Y(int units) const;
  [[nodiscard]] QRect Rect(int x, int y, int width, int height) const;
  [[nodiscard]] QSize Size(int width, int height) const;

 private:
  int m_averageCharWidth;
  int m_charHeight;
};

// The font the main window and its dialogs are drawn and measured in: the desktop's font family at
// 8 points, the size their layouts were made for. Windows take no font from their parent, so each sets
// this one itself.
[[nodiscard]] QFont DialogFont();
