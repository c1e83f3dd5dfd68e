#pragma once

#include "grid/GridCell.h"

// The look shared by a group of cells (normal, fixed row, fixed column, corner): colours, font,
// format and margin, and the size given to new rows and columns. A default cell is never edited.
class CGridDefaultCell : public CGridCell {
 public:
  CGridDefaultCell();

  // Takes the font, and with it the margin (one blank) and the size (" XXXXXXXXXXXX ", height
  // raised by half).
  void SetDefaultFont(const QFont& font);

  [[nodiscard]] bool IsReadOnly() const override { return true; }
  [[nodiscard]] QColor EffectiveTextClr() const override { return GetTextClr(); }
  [[nodiscard]] QColor EffectiveBackClr() const override { return GetBackClr(); }
  [[nodiscard]] QFont GetFont() const override { return m_defaultFont; }
  [[nodiscard]] uint32_t GetFormat() const override { return m_defaultFormat; }
  [[nodiscard]] int GetMargin() const override { return m_defaultMargin; }
  [[nodiscard]] const CGridDefaultCell* GetDefaultCell() const override { return this; }
  bool Edit(int row, int column, const QRect& rect, const GridEditKey& key) override;

  void SetDefaultFormat(uint32_t format) { m_defaultFormat = format; }
  void SetWidth(int width) { m_width = width; }
  void SetHeight(int height) { m_height = height; }
  [[nodiscard]] int GetWidth() const { return m_width; }
  [[nodiscard]] int GetHeight() const { return m_height; }

 private:
  QFont m_defaultFont;
  uint32_t m_defaultFormat = gridformat::kDefault;
  int m_defaultMargin = 0;
  int m_width = 0;
  int m_height = 0;
};
