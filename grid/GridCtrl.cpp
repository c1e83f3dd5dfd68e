#include "grid/GridCtrl.h"

#include <QApplication>
#include <QEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <new>

#include "grid/TitleTip.h"

namespace {

constexpr uint32_t kFixedBits = gridstate::kFixed | gridstate::kFixedRow | gridstate::kFixedColumn;

}  // namespace

// The clipboard is part of every Linux desktop session, so unlike the control's first platform there
// is no start-up step here that could fail and would need a message.
CGridCtrl::CGridCtrl(QWidget* parent) : QAbstractScrollArea(parent) {
  for (auto& cell : m_defaultCells) {
    cell = std::make_unique<CGridDefaultCell>();
    cell->SetGrid(this);
  }
  m_defaultCells[1]->SetState(gridstate::kFixed | gridstate::kFixedRow);
  m_defaultCells[2]->SetState(gridstate::kFixed | gridstate::kFixedColumn);
  m_defaultCells[3]->SetState(kFixedBits);
  ApplyDefaultFont();
  ApplyPaletteColours();

  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled, false);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  verticalScrollBar()->setSingleStep(1);
  horizontalScrollBar()->setSingleStep(1);
  m_autoScrollTimer.setInterval(kAutoScrollIntervalMs);
  connect(&m_autoScrollTimer, &QTimer::timeout, this, &CGridCtrl::OnAutoScroll);
  m_titleTip = new CTitleTip(this);
  UpdateScrollBars();
}

// An open editor goes first, without reporting: the owner may already be gone.
CGridCtrl::~CGridCtrl() {
  m_owner = nullptr;
  delete m_editor.data();
}

void CGridCtrl::SetOwner(CGridOwnerIF* owner) { m_owner = owner; }
void CGridCtrl::SetControlId(int id) { m_controlId = id; }
int CGridCtrl::GetControlId() const { return m_controlId; }

int CGridCtrl::SendNotify(int code, int row, int column) {
  return m_owner != nullptr ? m_owner->OnGridNotify(*this, code, row, column) : 0;
}

// ---- size -------------------------------------------------------------------------------------------

std::unique_ptr<CGridCellBase> CGridCtrl::MakeCell(GridCellKind kind, int row, int column) const {
  std::unique_ptr<CGridCellBase> cell;
  switch (kind) {
    case GridCellKind::Text: cell = std::make_unique<CGridCell>(); break;
    case GridCellKind::Check: cell = std::make_unique<CGridCellCheck>(); break;
    case GridCellKind::Combo: cell = std::make_unique<CGridCellCombo>(); break;
  }
  cell->SetGrid(const_cast<CGridCtrl*>(this));
  uint32_t state = 0;
  if (row < m_fixedRows) state |= gridstate::kFixed | gridstate::kFixedRow;
  if (column < m_fixedColumns) state |= gridstate::kFixed | gridstate::kFixedColumn;
  cell->SetState(state);
  return cell;
}

bool CGridCtrl::SetRowCount(int rows) {
  if (rows < 0) return false;
  const int old = GetRowCount();
  if (rows == old) return true;
  EndEditing();
  bool complete = true;
  if (rows > old) {
    try {
      m_cells.reserve(static_cast<size_t>(rows));
      m_rowHeights.reserve(static_cast<size_t>(rows));
      for (int r = old; r < rows; ++r) {
        Row row;
        row.reserve(static_cast<size_t>(m_columnCount));
        for (int c = 0; c < m_columnCount; ++c) row.push_back(MakeCell(GridCellKind::Text, r, c));
        m_cells.push_back(std::move(row));
        m_rowHeights.push_back(GetDefaultCell(false, false)->GetHeight());
      }
    } catch (const std::bad_alloc&) {
      complete = false;  // the grid keeps the rows made so far
    }
  } else {
    m_cells.resize(static_cast<size_t>(rows));
    m_rowHeights.resize(static_cast<size_t>(rows));
    DropCellsBeyond();
    if (m_fixedRows > rows) {
      m_fixedRows = rows;
      UpdateFixedStates();
    }
  }
  UpdateScrollBars();
  viewport()->update();
  return complete;
}

int CGridCtrl::GetRowCount() const { return static_cast<int>(m_cells.size()); }

bool CGridCtrl::SetColumnCount(int columns) {
  if (columns < 0) return false;
  const int old = m_columnCount;
  if (columns == old) return true;
  EndEditing();
  bool complete = true;
  if (columns > old) {
    try {
      // Every row grows first, then the widths follow: a failure part-way leaves rows of one length.
      for (int r = 0; r < GetRowCount(); ++r) m_cells[static_cast<size_t>(r)].reserve(static_cast<size_t>(columns));
      m_columnWidths.reserve(static_cast<size_t>(columns));
      for (int r = 0; r < GetRowCount(); ++r) {
        auto& row = m_cells[static_cast<size_t>(r)];
        for (int c = old; c < columns; ++c) row.push_back(MakeCell(GridCellKind::Text, r, c));
      }
      for (int c = old; c < columns; ++c) m_columnWidths.push_back(GetDefaultCell(true, false)->GetWidth());
      m_columnCount = columns;
    } catch (const std::bad_alloc&) {
      for (auto& row : m_cells) row.resize(static_cast<size_t>(old));
      m_columnWidths.resize(static_cast<size_t>(old));
      complete = false;
    }
  } else {
    for (auto& row : m_cells) row.resize(static_cast<size_t>(columns));
    m_columnWidths.resize(static_cast<size_t>(columns));
    m_columnCount = columns;
    DropCellsBeyond();
    if (m_fixedColumns > columns) {
      m_fixedColumns = columns;
      UpdateFixedStates();
    }
  }
  UpdateScrollBars();
  viewport()->update();
  return complete;
}

int CGridCtrl::GetColumnCount() const { return m_columnCount; }

bool CGridCtrl::SetFixedRowCount(int rows) {
  if (rows < 0) return false;
  if (rows > GetRowCount() && !SetRowCount(rows)) return false;
  if (rows == m_fixedRows) return true;
  EndEditing();
  m_fixedRows = rows;
  UpdateFixedStates();
  UpdateScrollBars();
  viewport()->update();
  return true;
}

int CGridCtrl::GetFixedRowCount() const { return m_fixedRows; }

bool CGridCtrl::SetFixedColumnCount(int columns) {
  if (columns < 0) return false;
  if (columns > m_columnCount && !SetColumnCount(columns)) return false;
  if (columns == m_fixedColumns) return true;
  EndEditing();
  m_fixedColumns = columns;
  UpdateFixedStates();
  UpdateScrollBars();
  viewport()->update();
  return true;
}

int CGridCtrl::GetFixedColumnCount() const { return m_fixedColumns; }

// Fixed cells carry the fixed bits and can be neither focused nor selected.
void CGridCtrl::UpdateFixedStates() {
  for (int r = 0; r < GetRowCount(); ++r) {
    for (int c = 0; c < m_columnCount; ++c) {
      CGridCellBase* cell = m_cells[static_cast<size_t>(r)][static_cast<size_t>(c)].get();
      uint32_t state = cell->GetState() & ~kFixedBits;
      if (r < m_fixedRows) state |= gridstate::kFixed | gridstate::kFixedRow;
      if (c < m_fixedColumns) state |= gridstate::kFixed | gridstate::kFixedColumn;
      if ((state & gridstate::kFixed) != 0) state &= ~(gridstate::kSelected | gridstate::kFocused);
      cell->SetState(state);
    }
  }
  std::erase_if(m_selected, [this](const auto& rc) { return rc.first < m_fixedRows || rc.second < m_fixedColumns; });
  if (m_focusCell.IsValid() && (m_focusCell.row < m_fixedRows || m_focusCell.column < m_fixedColumns)) {
    m_focusCell = {};
  }
}

// After shrinking: forget the selection, focus and selection start where their cells went away.
void CGridCtrl::DropCellsBeyond() {
  const int rows = GetRowCount();
  std::erase_if(m_selected, [this, rows](const auto& rc) { return rc.first >= rows || rc.second >= m_columnCount; });
  std::erase_if(m_previousSelection,
                [this, rows](const auto& rc) { return rc.first >= rows || rc.second >= m_columnCount; });
  if (m_focusCell.row >= rows || m_focusCell.column >= m_columnCount) m_focusCell = {};
  if (m_selectionStart.row >= rows || m_selectionStart.column >= m_columnCount) m_selectionStart = {};
  if (m_pressedCell.row >= rows || m_pressedCell.column >= m_columnCount) m_pressedCell = {};
}

bool CGridCtrl::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= m_columnCount || width < 0) return false;
  m_columnWidths[static_cast<size_t>(column)] = width;
  UpdateScrollBars();
  viewport()->update();
  return true;
}

int CGridCtrl::GetColumnWidth(int column) const {
  if (column < 0 || column >= m_columnCount) return 0;
  const auto index = static_cast<size_t>(column);
  return m_columnWidths[index] + (index < m_columnStretch.size() ? m_columnStretch[index] : 0);
}

int CGridCtrl::GetColumnGivenWidth(int column) const {
  if (column < 0 || column >= m_columnCount) return 0;
  return m_columnWidths[static_cast<size_t>(column)];
}

int CGridCtrl::GetColumnContentWidth(int column) const {
  if (column < 0 || column >= m_columnCount) return 0;
  int width = 0;
  for (int r = 0; r < GetRowCount(); ++r) width = std::max(width, GetCell(r, column)->GetCellExtent().width());
  return width;
}

void CGridCtrl::SetStretchColumns(bool on) {
  if (on == m_stretchColumns) return;
  m_stretchColumns = on;
  UpdateScrollBars();
  viewport()->update();
}

bool CGridCtrl::SetRowHeight(int row, int height) {
  if (row < 0 || row >= GetRowCount() || height < 0) return false;
  m_rowHeights[static_cast<size_t>(row)] = height;
  UpdateScrollBars();
  viewport()->update();
  return true;
}

int CGridCtrl::GetRowHeight(int row) const {
  if (row < 0 || row >= GetRowCount()) return 0;
  return m_rowHeights[static_cast<size_t>(row)];
}

int CGridCtrl::GetFixedRowHeight() const {
  int height = 0;
  for (int r = 0; r < m_fixedRows; ++r) height += GetRowHeight(r);
  return height;
}

int CGridCtrl::GetFixedColumnWidth() const {
  int width = 0;
  for (int c = 0; c < m_fixedColumns; ++c) width += GetColumnWidth(c);
  return width;
}

bool CGridCtrl::AutoSizeColumn(int column) {
  if (column < 0 || column >= m_columnCount) return false;
  return SetColumnWidth(column, GetColumnContentWidth(column));
}

bool CGridCtrl::AutoSizeRow(int row) {
  if (row < 0 || row >= GetRowCount()) return false;
  int height = 0;
  for (int c = 0; c < m_columnCount; ++c) height = std::max(height, GetCell(row, c)->GetCellExtent().height());
  return SetRowHeight(row, height);
}

// ---- cells ------------------------------------------------------------------------------------------

CGridCellBase* CGridCtrl::GetCell(int row, int column) const {
  if (row < 0 || row >= GetRowCount() || column < 0 || column >= m_columnCount) return nullptr;
  return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)].get();
}

bool CGridCtrl::SetCellType(int row, int column, GridCellKind kind) {
  CGridCellBase* old = GetCell(row, column);
  if (old == nullptr) return false;
  if (m_editCell == GridCellId{row, column}) EndEditing();
  std::unique_ptr<CGridCellBase> cell = MakeCell(kind, row, column);
  cell->CopyFrom(*old);
  m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)] = std::move(cell);
  return true;
}

bool CGridCtrl::SetItemText(int row, int column, const QString& text) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  cell->SetText(text);
  cell->SetState(cell->GetState() | gridstate::kModified);
  return true;
}

QString CGridCtrl::GetItemText(int row, int column) const {
  const CGridCellBase* cell = GetCell(row, column);
  return cell != nullptr ? cell->GetText() : QString();
}

// The fixed and focus bits belong to the grid's layout and focus; the caller's value sets the rest.
bool CGridCtrl::SetItemState(int row, int column, uint32_t state) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  const uint32_t kept = gridstate::kFocused | kFixedBits;
  uint32_t next = (state & ~kept) | (cell->GetState() & kept);
  if ((next & gridstate::kFixed) != 0) next &= ~gridstate::kSelected;
  cell->SetState(next);
  if ((next & gridstate::kSelected) != 0) {
    m_selected.insert({row, column});
  } else {
    m_selected.erase({row, column});
  }
  return true;
}

uint32_t CGridCtrl::GetItemState(int row, int column) const {
  const CGridCellBase* cell = GetCell(row, column);
  return cell != nullptr ? cell->GetState() : 0;
}

bool CGridCtrl::IsCellSelected(int row, int column) const {
  const CGridCellBase* cell = GetCell(row, column);
  return cell != nullptr && cell->IsSelected();
}

bool CGridCtrl::SetItemBkColour(int row, int column, const QColor& colour) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  cell->SetBackClr(colour);
  return true;
}

bool CGridCtrl::SetItemFgColour(int row, int column, const QColor& colour) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  cell->SetTextClr(colour);
  return true;
}

bool CGridCtrl::SetItemFormat(int row, int column, uint32_t format) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  cell->SetFormat(format);
  return true;
}

bool CGridCtrl::SetCellCheck(int row, int column, bool checked) {
  auto* cell = dynamic_cast<CGridCellCheck*>(GetCell(row, column));
  if (cell == nullptr) return false;
  if (cell->SetCheck(checked)) RedrawCell(row, column);
  return true;
}

bool CGridCtrl::GetCellCheck(int row, int column) const {
  const auto* cell = dynamic_cast<const CGridCellCheck*>(GetCell(row, column));
  return cell != nullptr && cell->GetCheck();
}

bool CGridCtrl::SetCellOptions(int row, int column, const QStringList& options) {
  auto* cell = dynamic_cast<CGridCellCombo*>(GetCell(row, column));
  if (cell == nullptr) return false;
  cell->SetOptions(options);
  cell->SetStyle(GridComboStyle::DropDownList);
  return true;
}

bool CGridCtrl::SetCellComboStyle(int row, int column, GridComboStyle style) {
  auto* cell = dynamic_cast<CGridCellCombo*>(GetCell(row, column));
  if (cell == nullptr) return false;
  cell->SetStyle(style);
  return true;
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedColumn) const {
  return m_defaultCells[(fixedRow ? 1 : 0) + (fixedColumn ? 2 : 0)].get();
}

void CGridCtrl::ApplyDefaultFont() {
  for (auto& cell : m_defaultCells) cell->SetDefaultFont(font());
}

// Normal cells: window text on the window (base) colour; headers: window text on button face.
void CGridCtrl::ApplyPaletteColours() {
  const QPalette& colours = palette();
  m_defaultCells[0]->SetTextClr(colours.color(QPalette::Text));
  m_defaultCells[0]->SetBackClr(colours.color(QPalette::Base));
  for (int i = 1; i < 4; ++i) {
    m_defaultCells[i]->SetTextClr(colours.color(QPalette::WindowText));
    m_defaultCells[i]->SetBackClr(colours.color(QPalette::Button));
  }
}

void CGridCtrl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    ApplyDefaultFont();
    viewport()->update();
  } else if (event->type() == QEvent::PaletteChange) {
    ApplyPaletteColours();
    viewport()->update();
  }
  QAbstractScrollArea::changeEvent(event);
}

// ---- options ----------------------------------------------------------------------------------------

void CGridCtrl::SetEditable(bool on) {
  if (!on) EndEditing();
  m_editable = on;
  viewport()->update();
}

void CGridCtrl::EnableTitleTips(bool on) {
  m_titleTips = on;
  if (!on) m_titleTip->Hide();
}

void CGridCtrl::SetGridLines(GridLines lines) {
  m_gridLines = lines;
  viewport()->update();
}

void CGridCtrl::SetGridLineColour(const QColor& colour) {
  m_gridLineColour = colour;
  viewport()->update();
}

void CGridCtrl::SetGridBkColour(const QColor& colour) {
  m_gridBkColour = colour;
  viewport()->update();
}

QColor CGridCtrl::GetGridBkColour() const {
  return m_gridBkColour.isValid() ? m_gridBkColour : palette().color(QPalette::Dark);
}

void CGridCtrl::SetFrameFocusCell(bool on) {
  m_frameFocus = on;
  viewport()->update();
}

void CGridCtrl::SetTrackFocusCell(bool on) {
  m_trackFocus = on;
  viewport()->update();
}

int CGridCtrl::GetWheelRowsPerNotch() const {
  return m_wheelRows != 0 ? m_wheelRows : QApplication::wheelScrollLines();
}
