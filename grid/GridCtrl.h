#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "grid/GridCell.h"
#include "grid/GridCellBase.h"
#include "grid/GridCellCheck.h"
#include "grid/GridCellCombo.h"
#include "grid/GridDefaultCell.h"
#include "grid/GridNotify.h"
#include "grid/GridTypes.h"

class CTitleTip;
class QPainter;

enum class GridCellKind { Text, Check, Combo };
enum class GridLines { None, Horizontal, Vertical, Both };

// The spreadsheet-like table control: a rectangle of cells whose first rows and columns may be fixed
// headers; every cell draws itself and is edited in place. Fixed cells stay put while the rest
// scrolls a whole row or column at a time. The owner hears of clicks, selection changes and edits
// through CGridOwnerIF, synchronously, and of every release on a cell through cellCommand().
class CGridCtrl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  static constexpr int kAutoScrollIntervalMs = 25;  // drag-selection outside the control
  static constexpr int kResizeCaptureRange = 3;     // pixels either side of a header divider

  explicit CGridCtrl(QWidget* parent = nullptr);
  ~CGridCtrl() override;

  // Owner and identity. Without an owner no one is asked, and every answer counts as 0. An owner that
  // goes before the grid removes itself first with SetOwner(nullptr).
  void SetOwner(CGridOwnerIF* owner);
  [[nodiscard]] CGridOwnerIF* GetOwner() const { return m_owner; }
  void SetControlId(int id);
  [[nodiscard]] int GetControlId() const;

  // Size. Growing adds plain text cells; shrinking destroys the cells beyond; a fixed count larger than
  // the grid grows it first. False for a negative count or when memory runs out part-way.
  bool SetRowCount(int rows);
  [[nodiscard]] int GetRowCount() const;
  bool SetColumnCount(int columns);
  [[nodiscard]] int GetColumnCount() const;
  bool SetFixedRowCount(int rows);
  [[nodiscard]] int GetFixedRowCount() const;
  bool SetFixedColumnCount(int columns);
  [[nodiscard]] int GetFixedColumnCount() const;

  // Pixels; 0 hides the column or row. A column's width is the one it was given, or more while the
  // columns stretch.
  bool SetColumnWidth(int column, int width);
  [[nodiscard]] int GetColumnWidth(int column) const;
  [[nodiscard]] int GetColumnGivenWidth(int column) const;  // as set, before any stretch
  // The width of the widest cell of a column, its margins included.
  [[nodiscard]] int GetColumnContentWidth(int column) const;
  bool SetRowHeight(int row, int height);
  [[nodiscard]] int GetRowHeight(int row) const;
  [[nodiscard]] int GetFixedRowHeight() const;
  [[nodiscard]] int GetFixedColumnWidth() const;
  // Fit a column (row) to the widest (highest) of its cells.
  bool AutoSizeColumn(int column);
  bool AutoSizeRow(int row);

  // Cells.
  [[nodiscard]] CGridCellBase* GetCell(int row, int column) const;  // nullptr out of range
  bool SetCellType(int row, int column, GridCellKind kind);         // keeps text, state, colours, format
  bool SetItemText(int row, int column, const QString& text);       // marks modified
  [[nodiscard]] QString GetItemText(int row, int column) const;     // empty out of range
  bool SetItemState(int row, int column, uint32_t state);
  [[nodiscard]] uint32_t GetItemState(int row, int column) const;
  [[nodiscard]] bool IsCellSelected(int row, int column) const;
  bool SetItemBkColour(int row, int column, const QColor& colour);  // invalid QColor = default
  bool SetItemFgColour(int row, int column, const QColor& colour);
  bool SetItemFormat(int row, int column, uint32_t format);
  bool SetCellCheck(int row, int column, bool checked);
  [[nodiscard]] bool GetCellCheck(int row, int column) const;
  bool SetCellOptions(int row, int column, const QStringList& options);  // drop-down list style
  bool SetCellComboStyle(int row, int column, GridComboStyle style);
  void RedrawCell(int row, int column);  // repaint now

  // The look shared by cell groups: normal cells, fixed-row cells, fixed-column cells, the corner.
  [[nodiscard]] CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedColumn) const;

  // Selection and focus.
  void SetSelectionEnabled(bool on);  // clears before and after
  [[nodiscard]] bool IsSelectionEnabled() const { return m_selectionEnabled; }
  void ClearSelection();
  void SetSelectedRange(int minRow, int minColumn, int maxRow, int maxColumn);
  void SelectAllCells();  // every non-fixed cell
  [[nodiscard]] int GetSelectedCount() const { return static_cast<int>(m_selected.size()); }
  [[nodiscard]] GridCellRange GetSelectedRange() const;  // the rectangle around the selected cells
  [[nodiscard]] GridCellId GetSelectionStart() const { return m_selectionStart; }
  void SetEditable(bool on);
  [[nodiscard]] bool IsEditable() const { return m_editable; }
  void SetFocusCell(int row, int column);
  [[nodiscard]] QPoint GetFocusCell() const;  // QPoint(column, row), (-1,-1) none

  // Editing. EditCell opens a cell's editor as the key (or the mouse) asks; it does nothing for a
  // read-only cell or a grid that is not editable. EndEditing closes an open editor.
  void EditCell(int row, int column, const GridEditKey& key = {});
  void EndEditing();
  [[nodiscard]] bool IsEditing() const;
  [[nodiscard]] QWidget* GetEditor() const;
  // The editors report here: the final text and the key that ended the edit (key 0: none).
  void OnEndInPlaceEdit(int row, int column, const QString& text, const GridEditKey& key);

  // Clipboard: lines of tab-separated texts. Paste splits rows at line breaks and cells at tabs (at
  // commas when a line holds no tab), from the focus cell on; read-only cells keep their text.
  [[nodiscard]] QString GetSelectedText() const;
  void CopySelectedToClipboard() const;
  void CutSelectedToClipboard();
  void PasteFromClipboard();
  void PasteText(const QString& text);
  void ClearSelectedCells();

  // Options.
  void EnableTitleTips(bool on);
  [[nodiscard]] bool GetTitleTips() const { return m_titleTips; }
  void SetHandleTabKey(bool on) { m_handleTab = on; }
  [[nodiscard]] bool GetHandleTabKey() const { return m_handleTab; }
  void SetColumnResize(bool on) { m_allowColumnResize = on; }
  [[nodiscard]] bool GetColumnResize() const { return m_allowColumnResize; }
  void SetRowResize(bool on) { m_allowRowResize = on; }
  [[nodiscard]] bool GetRowResize() const { return m_allowRowResize; }
  // Stretching columns share the width the control has beyond them, in proportion to their given
  // widths, so that the table fills the control as it grows; hidden columns stay hidden, and a table
  // wider than its control scrolls as ever. Off at first.
  void SetStretchColumns(bool on);
  [[nodiscard]] bool GetStretchColumns() const { return m_stretchColumns; }
  void SetGridLines(GridLines lines);
  [[nodiscard]] GridLines GetGridLines() const { return m_gridLines; }
  void SetGridLineColour(const QColor& colour);
  [[nodiscard]] QColor GetGridLineColour() const { return m_gridLineColour; }
  void SetGridBkColour(const QColor& colour);  // beyond the last cells; invalid = the palette's
  [[nodiscard]] QColor GetGridBkColour() const;
  void SetFrameFocusCell(bool on);
  [[nodiscard]] bool GetFrameFocusCell() const { return m_frameFocus; }
  void SetTrackFocusCell(bool on);
  [[nodiscard]] bool GetTrackFocusCell() const { return m_trackFocus; }
  // Rows per wheel notch; 0 takes the system's setting, -1 scrolls a page per notch.
  void SetWheelRowsPerNotch(int rows) { m_wheelRows = rows; }
  [[nodiscard]] int GetWheelRowsPerNotch() const;

  // Geometry, in viewport coordinates.
  [[nodiscard]] QRect GetCellRect(int row, int column) const;  // empty when not visible
  [[nodiscard]] GridCellId GetCellFromPt(const QPoint& point) const;
  [[nodiscard]] bool IsCellVisible(int row, int column) const;
  void EnsureVisible(int row, int column);
  [[nodiscard]] GridCellId GetTopLeftNonFixedCell() const;
  [[nodiscard]] GridCellRange GetVisibleNonFixedCellRange() const;

  // Sends a notification to the owner and returns its answer (0 without an owner).
  int SendNotify(int code, int row, int column);

  [[nodiscard]] CTitleTip* GetTitleTip() const { return m_titleTip; }

 signals:
  void cellCommand(int controlId);  // after every left release whose press was on a cell (code 0)

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  // What a press with the left button started; a release returns to None.
  enum class MouseMode { None, SelectCells, SelectRows, SelectColumns, ResizeColumn, ResizeRow, PrepareEdit };

  using Row = std::vector<std::unique_ptr<CGridCellBase>>;

  // Structure and geometry.
  std::unique_ptr<CGridCellBase> MakeCell(GridCellKind kind, int row, int column) const;
  void UpdateFixedStates();
  void DropCellsBeyond();
  void ApplyDefaultFont();
  void ApplyPaletteColours();
  void UpdateScrollBars();
  void StretchColumns();
  [[nodiscard]] int TopRow() const;
  [[nodiscard]] int LeftColumn() const;
  [[nodiscard]] int ColumnLeft(int column) const;
  [[nodiscard]] int RowTop(int row) const;
  [[nodiscard]] int PageRows(int top) const;
  [[nodiscard]] int PageColumns(int left) const;
  [[nodiscard]] bool IsRowShown(int row) const;
  [[nodiscard]] bool IsColumnShown(int column) const;
  [[nodiscard]] int ShownRow(int from, int step) const;
  [[nodiscard]] int ShownColumn(int from, int step) const;

  void DrawCell(QPainter& painter, int row, int column, const QRect& rect);

  // Selection and focus.
  void SetCellSelected(int row, int column, bool on);
  void SelectRange(const GridCellRange& range, bool keepPrevious);
  void SetFocusCellInternal(const GridCellId& cell);
  void MoveFocusTo(const GridCellId& cell, bool extend, bool resetStart);
  [[nodiscard]] GridCellId NextCell(const GridCellId& from, int key, Qt::KeyboardModifiers modifiers) const;
  bool HandleMoveKey(int key, Qt::KeyboardModifiers modifiers);

  // Mouse.
  [[nodiscard]] int ColumnDividerAt(const QPoint& point) const;
  [[nodiscard]] int RowDividerAt(const QPoint& point) const;
  void UpdateHoverCursor(const QPoint& point);
  void UpdateTitleTip(const QPoint& point);
  void DragSelectTo(const GridCellId& cell);
  void OnAutoScroll();

  // Editing: whether a cell may be changed by the user; the rules of an ended edit; a user change
  // outside an editor (-175 first, then those rules).
  [[nodiscard]] bool CanEdit(int row, int column) const;
  bool ApplyEditedText(int row, int column, const QString& text);
  bool UserSetText(int row, int column, const QString& text);

  std::vector<Row> m_cells;
  std::vector<int> m_rowHeights;
  std::vector<int> m_columnWidths;
  std::vector<int> m_columnStretch;  // pixels each column shows beyond its given width
  int m_columnCount = 0;
  int m_fixedRows = 0;
  int m_fixedColumns = 0;

  std::unique_ptr<CGridDefaultCell> m_defaultCells[4];  // normal, fixed row, fixed column, corner
  CGridOwnerIF* m_owner = nullptr;
  int m_controlId = 0;

  GridCellId m_focusCell;
  GridCellId m_selectionStart;
  std::set<std::pair<int, int>> m_selected;          // (row, column) of every selected cell
  std::set<std::pair<int, int>> m_previousSelection;  // kept by a Ctrl-press while dragging

  bool m_selectionEnabled = true;
  bool m_editable = true;
  bool m_titleTips = true;
  bool m_handleTab = true;
  bool m_allowColumnResize = true;
  bool m_allowRowResize = true;
  bool m_stretchColumns = false;
  GridLines m_gridLines = GridLines::Both;
  QColor m_gridLineColour = QColor(192, 192, 192);
  QColor m_gridBkColour;  // invalid: the palette's button shadow
  bool m_frameFocus = true;
  bool m_trackFocus = true;
  int m_wheelRows = 0;

  MouseMode m_mouseMode = MouseMode::None;
  GridCellId m_pressedCell;
  QPoint m_pressPoint;
  int m_resizeIndex = -1;       // the column or row being resized
  int m_resizeLine = -1;        // where the inverted line is drawn, -1 none
  bool m_ctrlAtPress = false;   // a Ctrl-press keeps the earlier selection while dragging
  QPoint m_lastMousePoint;
  int m_wheelRemainder = 0;     // wheel movement short of a whole notch
  QTimer m_autoScrollTimer;

  QPointer<QWidget> m_editor;
  GridCellId m_editCell;
  CTitleTip* m_titleTip = nullptr;
};
