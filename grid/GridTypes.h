#pragma once

#include <QString>
#include <Qt>
#include <algorithm>

// A cell's position; -1 in either part means no cell.
struct GridCellId {
  int row = -1;
  int column = -1;

  [[nodiscard]] bool IsValid() const { return row >= 0 && column >= 0; }
  friend bool operator==(const GridCellId&, const GridCellId&) = default;
};

// An inclusive rectangle of cells; empty when a minimum lies beyond its maximum or is negative.
struct GridCellRange {
  int minRow = -1;
  int minColumn = -1;
  int maxRow = -1;
  int maxColumn = -1;

  [[nodiscard]] bool IsValid() const {
    return minRow >= 0 && minColumn >= 0 && minRow <= maxRow && minColumn <= maxColumn;
  }
  [[nodiscard]] bool Contains(int row, int column) const {
    return IsValid() && row >= minRow && row <= maxRow && column >= minColumn && column <= maxColumn;
  }
  // The rectangle spanned by two corner cells in any order.
  static GridCellRange Spanning(const GridCellId& a, const GridCellId& b) {
    return {std::min(a.row, b.row), std::min(a.column, b.column), std::max(a.row, b.row),
            std::max(a.column, b.column)};
  }
  friend bool operator==(const GridCellRange&, const GridCellRange&) = default;
};

// The key that opens an editor or ends one. key 0 with no text means the mouse (a release on the
// focus cell, a double click, or F2); otherwise a Qt::Key with the text it typed, if any.
struct GridEditKey {
  int key = 0;
  QString text;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;

  [[nodiscard]] bool IsMouse() const { return key == 0 && text.isEmpty(); }
};
