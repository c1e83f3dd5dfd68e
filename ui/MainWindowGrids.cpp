#include "ui/MainWindowGrids.h"

#include <QStyle>
#include <algorithm>

#include "command/RigController.h"
#include "engine/OutputItem.h"
#include "engine/RigSim.h"
#include "support/Numbers.h"
#include "support/Text.h"
#include "ui/MainWindowLayout.h"
#include "ui/MessageBoxes.h"

namespace {

const QColor kHighlightGreen(0, 220, 0);
const QColor kWhite(255, 255, 255);
const QColor kReadOnlyItem(220, 240, 240);
constexpr double kFreshValueSeconds = 3.0;
constexpr int kRowHeight = 20;

QString Text(const std::string& text) { return QString::fromStdString(text); }

QStringList ListOf(const std::vector<std::string>& names) {
  QStringList list;
  for (const std::string& name : names) list << Text(name);
  return list;
}

// The entry at index; an empty cell for an index outside the list (a hand-edited settings file).
QString EntryAt(const std::vector<std::string>& names, int index) { return Text(vorn::NameAt(names, index)); }

// The index of the entry equal to text, 0 when none is.
int32_t IndexOf(const std::vector<std::string>& names, const QString& text) {
  const std::string wanted = text.toStdString();
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == wanted) return static_cast<int32_t>(i);
  }
  return 0;
}

void MakeReadOnly(CGridCtrl& grid, int row, int column) {
  grid.SetItemState(row, column, grid.GetItemState(row, column) | gridstate::kReadOnly);
}

CGridCtrl* MakeGrid(QWidget* parent, const char* name, CGridOwnerIF* owner) {
  auto* grid = new CGridCtrl(parent);
  grid->setObjectName(name);
  grid->SetOwner(owner);
  return grid;
}

}  // namespace

const CMainWindowGrids::Column CMainWindowGrids::kStateColumns[] = {{"State", 145}};
const CMainWindowGrids::Column CMainWindowGrids::kChannelColumns[] = {{"Name", 90}, {"Value", 55}};
const CMainWindowGrids::Column CMainWindowGrids::kOutputColumns[] = {
    {"ReadOnly", 0}, {"En", 25}, {"Val", 50}, {"Mnem", 100}, {"Samp", 40}, {"Type", 200}, {"A", 50},
    {"B", 50},       {"C", 50},  {"D", 70},   {"Rotation", 65}, {"Flow", 40}, {"Rec", 40}, {"Chan", 40}};
const CMainWindowGrids::Column CMainWindowGrids::kWitsInColumns[] = {
    {"Rec", 45}, {"Chan", 45}, {"Name", 130}, {"Value", 65}, {"Age", 45}};

CMainWindowGrids::CMainWindowGrids(CRigController& controller, QWidget* parent, int dpiY)
    : m_controller(controller),
      m_engine(controller.Engine()),
      m_dpiY(dpiY),
      m_stateGrid(MakeGrid(parent, "stateGrid", this)),
      m_channelGrid(MakeGrid(parent, "channelGrid", this)),
      m_outputGrid(MakeGrid(parent, "outputGrid", this)),
      m_witsInGrid(MakeGrid(parent, "witsInGrid", this)) {
  // Each table fills its control as the window grows.
  for (CGridCtrl* grid : {m_stateGrid, m_channelGrid, m_outputGrid, m_witsInGrid}) grid->SetStretchColumns(true);
}

CMainWindowGrids::~CMainWindowGrids() {
  // The grids outlive this object by a moment (their parent deletes them): they must not call back.
  for (CGridCtrl* grid : {m_stateGrid, m_channelGrid, m_outputGrid, m_witsInGrid}) grid->SetOwner(nullptr);
}

int CMainWindowGrids::Scaled(int pixelsAt96) const { return mainlayout::Scaled(pixelsAt96, m_dpiY); }

void CMainWindowGrids::ResetToHeader(CGridCtrl& grid, bool selectable) {
  if (!selectable) grid.SetSelectionEnabled(false);
  grid.SetRowCount(0);
  grid.SetFixedRowCount(1);
  grid.SetFixedColumnCount(0);
}

void CMainWindowGrids::SetColumns(CGridCtrl& grid, Columns columns) {
  grid.SetColumnCount(static_cast<int>(columns.size()));
  int column = 0;
  for (const Column& c : columns) {
    grid.SetItemText(0, column, c.header);
    grid.SetColumnWidth(column, Scaled(c.width));
    ++column;
  }
}

bool CMainWindowGrids::Rebuild(CGridCtrl& grid, int sourceCount, Columns columns, bool selectable) {
  ResetToHeader(grid, selectable);
  if (sourceCount == 0) return false;
  grid.SetRowCount(sourceCount + 1);
  SetColumns(grid, columns);
  for (int row = 0; row <= sourceCount; ++row) grid.SetRowHeight(row, Scaled(kRowHeight));
  return true;
}

void CMainWindowGrids::FitColumns(CGridCtrl& grid, Columns columns, int only) {
  const int count = std::min(grid.GetColumnCount(), static_cast<int>(columns.size()));
  for (int column = 0; column < count; ++column) {
    const int least = Scaled(columns[static_cast<size_t>(column)].width);
    if ((only >= 0 && column != only) || least == 0) continue;  // a hidden column stays hidden
    const int wanted = std::max(least, grid.GetColumnContentWidth(column));
    if (wanted > grid.GetColumnGivenWidth(column)) grid.SetColumnWidth(column, wanted);
  }
  // The channel and state grids stand side by side at the window's left: the window places them anew.
  int* told = &grid == m_channelGrid ? &m_channelGridWidth : &grid == m_stateGrid ? &m_stateGridWidth : nullptr;
  if (told == nullptr || *told == WidthForColumns(grid)) return;
  *told = WidthForColumns(grid);
  if (m_columnsResized) m_columnsResized();
}

int CMainWindowGrids::WidthForColumns(const CGridCtrl& grid) {
  int columns = 0;
  for (int column = 0; column < grid.GetColumnCount(); ++column) columns += grid.GetColumnGivenWidth(column);
  const int scrollBar = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
  return columns + 2 * grid.frameWidth() + scrollBar;
}

void CMainWindowGrids::BuildStateGrid() {
  const std::vector<std::string>& names = m_engine.GetSubStateNames();
  if (!Rebuild(*m_stateGrid, static_cast<int>(names.size()), kStateColumns, false)) return;
  for (size_t i = 0; i < names.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    m_stateGrid->SetItemText(row, 0, Text(names[i]));
    MakeReadOnly(*m_stateGrid, row, 0);
  }
  FitColumns(*m_stateGrid, kStateColumns);
  HighlightStateRow();
}

void CMainWindowGrids::HighlightStateRow() {
  const int current = m_engine.GetSubState();
  for (int row = 1; row < m_stateGrid->GetRowCount(); ++row) {
    m_stateGrid->SetItemBkColour(row, 0, row - 1 == current ? kHighlightGreen : kWhite);
    m_stateGrid->RedrawCell(row, 0);
  }
}

void CMainWindowGrids::BuildChannelGrid() {
  const auto values = m_engine.GetStateValues();
  if (!Rebuild(*m_channelGrid, static_cast<int>(values.size()), kChannelColumns, false)) return;
  for (size_t i = 0; i < values.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    m_channelGrid->SetItemText(row, 0, Text(values[i].first));
    m_channelGrid->SetItemText(row, 1, Text(values[i].second));
    MakeReadOnly(*m_channelGrid, row, 0);
    MakeReadOnly(*m_channelGrid, row, 1);
  }
  RefreshChannelGrid();
}

void CMainWindowGrids::RefreshChannelGrid() {
  const auto values = m_engine.GetStateValues();
  const int rows = std::min(static_cast<int>(values.size()), m_channelGrid->GetRowCount() - 1);
  for (int i = 0; i < rows; ++i) {
    const auto& [name, value] = values[static_cast<size_t>(i)];
    const int row = i + 1;
    m_channelGrid->SetItemText(row, 0, Text(name));
    m_channelGrid->SetItemText(row, 1, Text(value));
    m_channelGrid->RedrawCell(row, 0);
    m_channelGrid->RedrawCell(row, 1);
  }
  FitColumns(*m_channelGrid, kChannelColumns);
}

void CMainWindowGrids::BuildOutputGrid() {
  const std::vector<COutputItem>& items = m_engine.m_outputItems;
  if (!Rebuild(*m_outputGrid, static_cast<int>(items.size()), kOutputColumns, true)) return;
  for (size_t i = 0; i < items.size(); ++i) FillOutputRow(static_cast<int>(i) + 1);
  FitColumns(*m_outputGrid, kOutputColumns);
}

void CMainWindowGrids::FillOutputRow(int row) {
  const COutputItem& item = m_engine.m_outputItems[static_cast<size_t>(row - 1)];
  CGridCtrl& grid = *m_outputGrid;
  const auto check = [&](int column, bool checked) {
    grid.SetCellType(row, column, GridCellKind::Check);
    grid.SetCellCheck(row, column, checked);
  };
  const auto list = [&](int column, const std::vector<std::string>& names, int index) {
    grid.SetCellType(row, column, GridCellKind::Combo);
    grid.SetCellOptions(row, column, ListOf(names));
    grid.SetItemText(row, column, EntryAt(names, index));
  };

  check(ColReadOnly, item.m_bReadOnly);
  check(ColEnable, item.m_bEnable);
  MakeReadOnly(grid, row, ColValue);
  grid.SetItemText(row, ColMnem, Text(item.m_strMnem));
  grid.SetItemText(row, ColSample, Text(vorn::FormatG(item.m_fSampleRateDepth)));
  list(ColType, AllOutputItemTypeNames(), item.m_type);
  grid.SetItemText(row, ColA, Text(vorn::FormatG(item.m_fA)));
  grid.SetItemText(row, ColB, Text(vorn::FormatG(item.m_fB)));
  grid.SetItemText(row, ColC, Text(vorn::FormatG(item.m_fC)));
  grid.SetItemText(row, ColD, Text(item.m_strD));
  list(ColRotation, SlideRotateFilterNames(), item.m_slidingRotating);
  check(ColFlow, item.m_bFlowOnOnly);
  grid.SetItemText(row, ColRecord, QString::number(item.m_nWitsRecord));
  grid.SetItemText(row, ColChannel, QString::number(item.m_nWitsChannel));

  // A read-only item's cells (all but the hidden flag itself) can be neither edited nor toggled, and
  // show it by their colour.
  if (!item.m_bReadOnly) return;
  for (int column = ColEnable; column < kOutputColumnCount; ++column) {
    MakeReadOnly(grid, row, column);
    grid.SetItemBkColour(row, column, kReadOnlyItem);
  }
}

void CMainWindowGrids::RefreshOutputValues() {
  const double now = m_engine.Clocks().nowSeconds();
  const std::vector<COutputItem>& items = m_engine.m_outputItems;
  const int rows = std::min(static_cast<int>(items.size()), m_outputGrid->GetRowCount() - 1);
  for (int i = 0; i < rows; ++i) {
    const COutputItem& item = items[static_cast<size_t>(i)];
    const int row = i + 1;
    m_outputGrid->SetItemText(row, ColValue, Text(item.m_strValue));
    MakeReadOnly(*m_outputGrid, row, ColValue);
    const bool fresh = now - item.m_fLastSampleTime <= kFreshValueSeconds;
    m_outputGrid->SetItemBkColour(row, ColValue, fresh ? kHighlightGreen : kWhite);
    m_outputGrid->RedrawCell(row, ColValue);
  }
  FitColumns(*m_outputGrid, kOutputColumns, ColValue);
}

void CMainWindowGrids::ReadOutputGrid() {
  const CGridCtrl& grid = *m_outputGrid;
  const auto text = [&](int row, int column) { return grid.GetItemText(row, column).toStdString(); };
  std::vector<COutputItem> items;
  for (int row = 1; row < grid.GetRowCount(); ++row) {
    COutputItem item;  // read afresh: the controller keeps the run-time state of an item left as it was
    item.m_bReadOnly = grid.GetCellCheck(row, ColReadOnly);
    item.m_bEnable = grid.GetCellCheck(row, ColEnable);
    item.m_strMnem = text(row, ColMnem);
    item.m_fSampleRateDepth = vorn::ReadDecimal(text(row, ColSample));
    item.m_type = IndexOf(AllOutputItemTypeNames(), grid.GetItemText(row, ColType));
    item.m_fA = vorn::ReadDecimal(text(row, ColA));
    item.m_fB = vorn::ReadDecimal(text(row, ColB));
    item.m_fC = vorn::ReadDecimal(text(row, ColC));
    item.m_strD = text(row, ColD);
    item.m_slidingRotating = IndexOf(SlideRotateFilterNames(), grid.GetItemText(row, ColRotation));
    item.m_bFlowOnOnly = grid.GetCellCheck(row, ColFlow);
    item.m_nWitsRecord = vorn::ReadInteger(text(row, ColRecord));
    item.m_nWitsChannel = vorn::ReadInteger(text(row, ColChannel));
    items.push_back(std::move(item));
  }
  // The grid shows what it read; it is not built anew under the edit that just ended.
  m_bReadingBack = true;
  const CommandResult result = m_controller.ReplaceItems(std::move(items));
  m_bReadingBack = false;
  FitColumns(*m_outputGrid, kOutputColumns);  // an edited text or a type picked may be wider
  Present(result);
}

void CMainWindowGrids::BuildWitsInGrid() {
  ResetToHeader(*m_witsInGrid, false);
  SetColumns(*m_witsInGrid, kWitsInColumns);
  m_witsInGrid->SetRowHeight(0, Scaled(kRowHeight));
}

void CMainWindowGrids::RefreshWitsInGrid() {
  const double now = m_engine.Clocks().nowSeconds();
  CGridCtrl& grid = *m_witsInGrid;
  grid.SetRowCount(static_cast<int>(m_engine.m_witsInItems.size()) + 1);
  int row = 1;
  for (const auto& [key, item] : m_engine.m_witsInItems) {
    const int age = static_cast<int>(now - item.timeReceived + 0.5);
    const QString texts[] = {QString::number(key.record), QString::number(key.item), Text(item.description),
                             Text(item.valueText), QString::number(age)};
    for (int column = 0; column < static_cast<int>(std::size(texts)); ++column) {
      grid.SetItemText(row, column, texts[column]);
      MakeReadOnly(grid, row, column);
      grid.RedrawCell(row, column);
    }
    ++row;
  }
  FitColumns(grid, kWitsInColumns);
}

void CMainWindowGrids::AddItem() { Present(m_controller.AddItem()); }

// The rows with a selected cell; the controller passes the read-only items by.
void CMainWindowGrids::RemoveSelectedItems() {
  std::vector<size_t> doomed;
  const std::vector<COutputItem>& items = m_engine.m_outputItems;
  for (size_t i = 0; i < items.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    for (int column = 0; column < m_outputGrid->GetColumnCount(); ++column) {
      if (m_outputGrid->IsCellSelected(row, column)) {
        doomed.push_back(i);
        break;
      }
    }
  }
  if (doomed.empty()) return;
  Present(m_controller.RemoveItems(doomed));
}

void CMainWindowGrids::LoadDefaultItems() {
  Present(m_controller.LoadDefaultItems());
  BuildStateGrid();
}

void CMainWindowGrids::ShowChangedItems() {
  if (m_bReadingBack) return;
  BuildOutputGrid();
  RefreshOutputValues();
}

void CMainWindowGrids::Present(const CommandResult& result) {
  if (!result.IsDone()) ShowMessage(m_outputGrid->window(), QString::fromStdString(result.message));
}

int CMainWindowGrids::OnGridNotify(CGridCtrl& grid, int code, int, int) {
  // A click anywhere in the output grid, or an edit that changed a cell, reads the whole list back.
  if (&grid == m_outputGrid && (code == gridcodes::kClick || code == gridcodes::kEndEdit)) ReadOutputGrid();
  return 0;
}
