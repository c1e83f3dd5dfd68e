#pragma once

#include "grid/GridCellBase.h"

// The plain text cell, edited in a single-line box.
class CGridCell : public CGridCellBase {
 public:
  CGridCell() = default;

  bool Edit(int row, int column, const QRect& rect, const GridEditKey& key) override;
};
