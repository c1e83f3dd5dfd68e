#pragma once

#include "grid/GridCell.h"

// A check box cell: the box sits at the left, the text to its right. Only the space bar "edits" it
// (a toggle); a click inside the box toggles it too.
class CGridCellCheck : public CGridCell {
 public:
  CGridCellCheck() = default;

  // Sets the check state; true when it changed.
  bool SetCheck(bool checked);
  [[nodiscard]] bool GetCheck() const { return m_check != 0; }

  void Draw(QPainter& painter, int row, int column, const QRect& rect) override;
  [[nodiscard]] QRect GetTextRect(const QRect& cellRect) const override;
  [[nodiscard]] QSize GetCellExtent() const override;
  bool Edit(int row, int column, const QRect& rect, const GridEditKey& key) override;
  void OnClick(const QRect& cellRect, const QPoint& point) override;
  void CopyFrom(const CGridCellBase& other) override;

  // The square the box was last drawn in, in viewport coordinates.
  [[nodiscard]] QRect GetCheckRect() const { return m_checkRect; }
  // Where the box lies in a cell's rectangle.
  [[nodiscard]] QRect CheckPlacement(const QRect& cellRect) const;

 private:
  uint32_t m_check = 0;  // 0 or 1
  QRect m_checkRect;
};
