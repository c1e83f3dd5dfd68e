// The grid's paste on arbitrary text, over grids of every make-up: never a crash, and only cells the
// user may change do change, each to one field of the pasted text. The first six bytes choose the
// grid (size, fixed rows and columns, where the paste starts, the owner's answers, which cells are
// read-only, drop-down lists, check boxes or hidden); the rest is the pasted text.
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzApplication.h"
#include "grid/GridCtrl.h"

namespace {

constexpr size_t kHeaderBytes = 6;

enum class Kind { Text, ReadOnlyText, List, ReadOnlyList, DropDown, Check };

// How the owner answers: every edit taken, edits refused in odd columns, edits taken back in odd
// rows, or the last row removed after every edit (the grid changing under the paste).
enum class Answer { TakeAll, RefuseOddColumns, TakeBackOddRows, RemoveRows };

const QStringList kOptions = {"both", "sliding", "rotating", "Übertage"};

class FuzzOwner : public CGridOwnerIF {
 public:
  explicit FuzzOwner(Answer answer) : m_answer(answer) {}
  int OnGridNotify(CGridCtrl& grid, int code, int row, int column) override {
    switch (m_answer) {
      case Answer::TakeAll: return 0;
      case Answer::RefuseOddColumns: return code == gridcodes::kBeginEdit && column % 2 == 1 ? -1 : 0;
      case Answer::TakeBackOddRows: return code == gridcodes::kEndEdit && row % 2 == 1 ? -1 : 0;
      case Answer::RemoveRows:
        if (code == gridcodes::kEndEdit && grid.GetRowCount() > 0) grid.SetRowCount(grid.GetRowCount() - 1);
        return 0;
    }
    return 0;
  }

 private:
  Answer m_answer;
};

// A small deterministic generator, so one input always makes the same grid.
class Dice {
 public:
  explicit Dice(uint32_t seed) : m_state(seed * 2654435761U + 1U) {}
  int Roll(int sides) {
    m_state = m_state * 1103515245U + 12345U;
    return static_cast<int>((m_state >> 16) % static_cast<uint32_t>(sides));
  }

 private:
  uint32_t m_state;
};

// The fields of the text as the paste takes them: lines at line feeds (carriage returns dropped, a
// last empty line ignored), fields at tabs, or at commas when a line holds no tab.
QList<QStringList> Fields(const QString& text) {
  QString body = text;
  body.remove(QLatin1Char('\r'));
  QStringList lines = body.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  QList<QStringList> fields;
  for (const QString& line : lines) {
    fields << line.split(line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(','));
  }
  return fields;
}

bool IsOption(const QString& text) { return kOptions.contains(text); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzApplication();
  uint8_t header[kHeaderBytes] = {};
  for (size_t i = 0; i < kHeaderBytes && i < size; ++i) header[i] = data[i];
  const size_t skip = size < kHeaderBytes ? size : kHeaderBytes;
  const QString text =
      QString::fromUtf8(reinterpret_cast<const char*>(data) + skip, static_cast<qsizetype>(size - skip));

  const int fixedRows = header[2] % 3;
  const int fixedColumns = header[2] / 3 % 3;
  const auto answer = static_cast<Answer>(header[5] % 4);
  Dice dice(header[5] / 4U);

  CGridCtrl grid;
  FuzzOwner owner(answer);
  grid.SetOwner(&owner);
  grid.SetRowCount(1 + header[0] % 10);
  grid.SetColumnCount(1 + header[1] % 6);
  grid.SetFixedRowCount(fixedRows);  // more fixed rows or columns than there are grow the grid
  grid.SetFixedColumnCount(fixedColumns);
  const int rows = grid.GetRowCount();
  const int columns = grid.GetColumnCount();
  std::vector<std::vector<Kind>> kinds(static_cast<size_t>(rows), std::vector<Kind>(static_cast<size_t>(columns)));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      Kind kind = Kind::Text;
      switch (dice.Roll(12)) {
        case 0: case 1: kind = Kind::ReadOnlyText; break;
        case 2: kind = Kind::List; break;
        case 3: kind = Kind::ReadOnlyList; break;
        case 4: kind = Kind::DropDown; break;
        case 5: kind = Kind::Check; break;
        default: break;
      }
      kinds[static_cast<size_t>(r)][static_cast<size_t>(c)] = kind;
      QString initial = QString("r%1c%2").arg(r).arg(c);
      if (kind == Kind::List || kind == Kind::ReadOnlyList || kind == Kind::DropDown) {
        grid.SetCellType(r, c, GridCellKind::Combo);
        grid.SetCellOptions(r, c, kOptions);
        if (kind == Kind::DropDown) grid.SetCellComboStyle(r, c, GridComboStyle::DropDown);
        if (kind != Kind::DropDown) initial = kOptions[dice.Roll(static_cast<int>(kOptions.size()))];
      } else if (kind == Kind::Check) {
        grid.SetCellType(r, c, GridCellKind::Check);
      }
      grid.SetItemText(r, c, initial);
      grid.SetItemState(r, c, kind == Kind::ReadOnlyText || kind == Kind::ReadOnlyList ? gridstate::kReadOnly : 0);
    }
  }
  std::vector<bool> rowShown(static_cast<size_t>(rows), true);
  std::vector<bool> columnShown(static_cast<size_t>(columns), true);
  for (int r = 0; r < rows; ++r) {
    if (dice.Roll(7) == 0) {
      grid.SetRowHeight(r, 0);
      rowShown[static_cast<size_t>(r)] = false;
    }
  }
  for (int c = 0; c < columns; ++c) {
    if (dice.Roll(5) == 0) {
      grid.SetColumnWidth(c, 0);
      columnShown[static_cast<size_t>(c)] = false;
    }
  }
  // Where the paste starts: the focus cell, or the top left of a selection when no cell has focus.
  const int startRow = header[3] % 0x80 % rows;
  const int startColumn = header[4] % columns;
  if (header[3] & 0x80) {
    grid.SetSelectedRange(startRow, startColumn, rows - 1, columns - 1);
  } else {
    grid.SetFocusCell(startRow, startColumn);
  }
  const QPoint focus = grid.GetFocusCell();
  const GridCellRange selected = grid.GetSelectedRange();
  const int fromRow = focus.y() >= 0 ? focus.y() : selected.minRow;
  const int fromColumn = focus.y() >= 0 ? focus.x() : selected.minColumn;

  QStringList before;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) before << grid.GetItemText(r, c);
  }

  grid.PasteText(text);

  if (answer == Answer::RemoveRows) {
    // The grid changed under the paste: it only has to survive, and keep no more rows than it had.
    if (grid.GetRowCount() > rows || grid.GetColumnCount() != columns) std::abort();
    grid.SetOwner(nullptr);
    return 0;
  }
  if (grid.GetRowCount() != rows || grid.GetColumnCount() != columns) std::abort();

  const QList<QStringList> lines = Fields(text);
  QSet<QString> fields;
  qsizetype fieldCount = 0;
  for (const QStringList& line : lines) {
    fieldCount += line.size();
    for (const QString& field : line) fields.insert(field);
  }
  QSet<QString> foldedFields;
  for (const QString& field : fields) foldedFields.insert(field.toCaseFolded());

  qsizetype changedCount = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const Kind kind = kinds[static_cast<size_t>(r)][static_cast<size_t>(c)];
      const QString after = grid.GetItemText(r, c);
      // A drop-down list only ever holds one of its options.
      if ((kind == Kind::List || kind == Kind::ReadOnlyList) && !IsOption(after)) std::abort();
      if (after == before[r * columns + c]) continue;
      ++changedCount;
      const bool userMayChange = r >= fixedRows && c >= fixedColumns && kind != Kind::ReadOnlyText &&
                                 kind != Kind::ReadOnlyList && rowShown[static_cast<size_t>(r)] &&
                                 columnShown[static_cast<size_t>(c)] && r >= fromRow && c >= fromColumn;
      if (!userMayChange) std::abort();
      if (answer == Answer::RefuseOddColumns && c % 2 == 1) std::abort();
      if (answer == Answer::TakeBackOddRows && r % 2 == 1) std::abort();
      if ((grid.GetItemState(r, c) & gridstate::kModified) == 0) std::abort();
      const bool fromText = kind == Kind::List ? foldedFields.contains(after.toCaseFolded()) : fields.contains(after);
      if (!fromText) std::abort();
    }
  }
  if (changedCount > fieldCount) std::abort();

  // The first field lands in the focus cell when that is a shown plain text cell the owner lets change.
  if (focus.y() >= 0 && !lines.isEmpty()) {
    const int r = focus.y();
    const int c = focus.x();
    const bool ownerTakes = answer == Answer::TakeAll || (answer == Answer::RefuseOddColumns && c % 2 == 0) ||
                            (answer == Answer::TakeBackOddRows && r % 2 == 0);
    if (kinds[static_cast<size_t>(r)][static_cast<size_t>(c)] == Kind::Text && r >= fixedRows &&
        c >= fixedColumns && rowShown[static_cast<size_t>(r)] && columnShown[static_cast<size_t>(c)] && ownerTakes &&
        grid.GetItemText(r, c) != lines.first().first()) {
      std::abort();
    }
  }
  grid.SetOwner(nullptr);
  return 0;
}
