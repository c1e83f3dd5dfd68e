#pragma once

#include <QStringList>

#include "grid/GridCell.h"

// How a drop-down cell's list may be used: pick only, or pick or type.
enum class GridComboStyle { DropDown, DropDownList };

// A drop-down cell: edited by picking one of its options from a list opened over the cell.
class CGridCellCombo : public CGridCell {
 public:
  CGridCellCombo() = default;

  void SetOptions(const QStringList& options) { m_options = options; }
  [[nodiscard]] const QStringList& GetOptions() const { return m_options; }
  void SetStyle(GridComboStyle style) { m_style = style; }
  [[nodiscard]] GridComboStyle GetStyle() const { return m_style; }

  void Draw(QPainter& painter, int row, int column, const QRect& rect) override;
  [[nodiscard]] QSize GetCellExtent() const override;
  bool Edit(int row, int column, const QRect& rect, const GridEditKey& key) override;
  void CopyFrom(const CGridCellBase& other) override;

  // The arrow button's rectangle in a cell's rectangle (empty when the cell is too small for it).
  [[nodiscard]] QRect ButtonRect(const QRect& cellRect) const;

 private:
  QStringList m_options;
  GridComboStyle m_style = GridComboStyle::DropDownList;
};
