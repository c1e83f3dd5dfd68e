#pragma once

// Notification codes the grid sends its owner, with the row and column concerned. The negative codes
// keep the values of the list-control notifications the program was first written against, so stored
// handlers and their tests read the same numbers.
namespace gridcodes {
inline constexpr int kClick = -2;                // left release after a press in the control
inline constexpr int kDoubleClick = -3;          // a cell was double-clicked
inline constexpr int kRightClick = -5;           // right release (row and column -1 off the cells)
inline constexpr int kSelectionChanging = -100;  // the selection is about to change
inline constexpr int kSelectionChanged = -101;   // the selection has changed
inline constexpr int kBeginEdit = -175;          // a cell is about to be edited or cleared
inline constexpr int kEndEdit = -176;            // a cell's text was changed by the user
inline constexpr int kColumnWidthChanged = 12247;  // the user dragged or fitted a column's width
}  // namespace gridcodes

class CGridCtrl;

// The owner's side of the notifications: answered synchronously; a negative answer to kBeginEdit
// refuses the edit or clearing, to kEndEdit restores the old text.
class CGridOwnerIF {
 public:
  virtual ~CGridOwnerIF() = default;
  virtual int OnGridNotify(CGridCtrl& grid, int code, int row, int column) = 0;
};
