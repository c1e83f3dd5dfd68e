#include "grid/GridCell.h"

#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"

bool CGridCell::Edit(int row, int column, const QRect& rect, const GridEditKey& key) {
  CGridCtrl* grid = GetGrid();
  if (grid == nullptr || IsEditing()) return false;
  auto* editor = new CInPlaceEdit(*grid, rect, GetFormat(), row, column, GetText(), key);
  SetEditing(true, editor);
  return true;
}
