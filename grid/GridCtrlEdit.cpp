// In-place editing, clearing and the clipboard: every way the user changes a cell's text.
#include <QApplication>
#include <QClipboard>

#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "grid/InPlaceList.h"
#include "grid/TitleTip.h"

namespace {

bool IsMoveKey(int key) {
  switch (key) {
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left:
    case Qt::Key_Right: case Qt::Key_PageUp: case Qt::Key_PageDown: case Qt::Key_Home: case Qt::Key_End:
      return true;
    default: return false;
  }
}

}  // namespace

bool CGridCtrl::IsEditing() const { return !m_editor.isNull(); }

QWidget* CGridCtrl::GetEditor() const { return m_editor.data(); }

bool CGridCtrl::CanEdit(int row, int column) const {
  const CGridCellBase* cell = GetCell(row, column);
  return m_editable && cell != nullptr && !cell->IsReadOnly() && !cell->IsFixed();
}

void CGridCtrl::EditCell(int row, int column, const GridEditKey& key) {
  if (!CanEdit(row, column)) return;
  EndEditing();
  m_titleTip->Hide();
  EnsureVisible(row, column);
  if (SendNotify(gridcodes::kBeginEdit, row, column) < 0) return;
  CGridCellBase* cell = GetCell(row, column);  // the owner may have changed the grid
  const QRect rect = GetCellRect(row, column);
  if (cell == nullptr || !rect.isValid() || !CanEdit(row, column)) return;
  if (cell->Edit(row, column, rect, key)) {
    m_editor = cell->GetEditWnd();
    m_editCell = {row, column};
    RedrawCell(row, column);
  }
}

void CGridCtrl::EndEditing() {
  if (auto* edit = qobject_cast<CInPlaceEdit*>(m_editor.data())) {
    edit->EndEdit();
  } else if (auto* list = qobject_cast<CInPlaceList*>(m_editor.data())) {
    list->EndEdit();
  }
}

// The rules of an ended edit: a changed text is set and reported; a negative answer puts the old text
// back, any other marks the cell modified. Equal texts report nothing.
bool CGridCtrl::ApplyEditedText(int row, int column, const QString& text) {
  CGridCellBase* cell = GetCell(row, column);
  if (cell == nullptr) return false;
  const QString old = cell->GetText();
  if (text == old) return false;
  cell->SetText(text);
  const int answer = SendNotify(gridcodes::kEndEdit, row, column);
  cell = GetCell(row, column);
  if (cell == nullptr) return false;
  if (answer < 0) {
    cell->SetText(old);
  } else {
    cell->SetState(cell->GetState() | gridstate::kModified);
  }
  RedrawCell(row, column);
  return answer >= 0;
}

void CGridCtrl::OnEndInPlaceEdit(int row, int column, const QString& text, const GridEditKey& key) {
  if (m_editCell == GridCellId{row, column}) {
    m_editor = nullptr;
    m_editCell = {};
  }
  if (CGridCellBase* cell = GetCell(row, column)) cell->OnEndEdit();
  ApplyEditedText(row, column, text);
  RedrawCell(row, column);
  if (!IsMoveKey(key.key)) return;
  const GridCellId before = m_focusCell;
  HandleMoveKey(key.key, key.modifiers);
  if (m_focusCell.IsValid() && m_focusCell != before) EditCell(m_focusCell.row, m_focusCell.column, key);
}

bool CGridCtrl::UserSetText(int row, int column, const QString& text) {
  if (!CanEdit(row, column)) return false;
  if (SendNotify(gridcodes::kBeginEdit, row, column) < 0) return false;
  return ApplyEditedText(row, column, text);
}

void CGridCtrl::ClearSelectedCells() {
  EndEditing();
  const auto selected = m_selected;
  for (const auto& [row, column] : selected) UserSetText(row, column, QString());
}

// The rectangle around the selection, hidden rows and columns left out; cells inside it that are
// not selected give empty fields. Every line ends with a line feed.
QString CGridCtrl::GetSelectedText() const {
  const GridCellRange range = GetSelectedRange();
  if (!range.IsValid()) return {};
  QString text;
  for (int r = range.minRow; r <= range.maxRow; ++r) {
    if (!IsRowShown(r)) continue;
    QStringList fields;
    for (int c = range.minColumn; c <= range.maxColumn; ++c) {
      if (!IsColumnShown(c)) continue;
      fields << (IsCellSelected(r, c) ? GetItemText(r, c) : QString());
    }
    text += fields.join(QLatin1Char('\t'));
    text += QLatin1Char('\n');
  }
  return text;
}

void CGridCtrl::CopySelectedToClipboard() const {
  if (m_selected.empty()) return;
  QApplication::clipboard()->setText(GetSelectedText());
}

void CGridCtrl::CutSelectedToClipboard() {
  CopySelectedToClipboard();
  ClearSelectedCells();
}

void CGridCtrl::PasteFromClipboard() { PasteText(QApplication::clipboard()->text()); }

// Rows come from lines, cells from tab-separated fields (comma-separated when a line has no tab),
// placed from the focus cell on over the shown rows and columns; what falls beyond the grid is
// dropped. Each cell goes through the owner like an edit (-175, then -176 when it changed). A
// drop-down cell takes only one of its options (matched ignoring case); read-only cells keep
// their text and use up their field.
void CGridCtrl::PasteText(const QString& text) {
  GridCellId start = m_focusCell;
  if (!start.IsValid()) {
    const GridCellRange range = GetSelectedRange();
    start = {range.minRow, range.minColumn};
  }
  if (!start.IsValid() || !m_editable) return;
  EndEditing();
  QString body = text;
  body.remove(QLatin1Char('\r'));
  QStringList lines = body.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();

  int row = ShownRow(start.row, 1);
  for (const QString& line : lines) {
    if (row < 0) break;
    const QStringList fields = line.split(line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(','));
    int column = ShownColumn(start.column, 1);
    for (const QString& field : fields) {
      if (column < 0) break;
      QString value = field;
      bool acceptable = true;
      if (const auto* combo = dynamic_cast<const CGridCellCombo*>(GetCell(row, column));
          combo != nullptr && combo->GetStyle() == GridComboStyle::DropDownList) {
        acceptable = false;
        for (const QString& option : combo->GetOptions()) {
          if (option.compare(field, Qt::CaseInsensitive) == 0) {
            value = option;
            acceptable = true;
            break;
          }
        }
      }
      if (acceptable) UserSetText(row, column, value);
      column = ShownColumn(column + 1, 1);
    }
    row = ShownRow(row + 1, 1);
  }
}
