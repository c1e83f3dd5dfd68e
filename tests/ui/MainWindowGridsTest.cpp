#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <cmath>
#include <random>

#include "engine/RigMode.h"
#include "ui/DialogUnits.h"
#include "persist/SettingsFiles.h"
#include "tests/ui/MainWindowTestParts.h"

namespace {

using namespace vorn::test;
namespace fs = std::filesystem;

using enum CMainWindowGrids::OutputColumn;
// The default list: items 0 to 13 are read-only channel copies, 14 to 21 editable.
constexpr int kFirstEditableRow = 15;

const QColor kReadOnlyItem(220, 240, 240);

// The width a cell needs to show its whole text: the text in the cell's font and its margins, with a
// check box's square or a list's button beside it.
int Needed(const CGridCtrl& grid, int row, int column) {
  const CGridCellBase* cell = grid.GetCell(row, column);
  const int margin = cell->GetMargin();
  int needed = QFontMetrics(cell->GetFont()).horizontalAdvance(cell->GetText()) + 2 * margin;
  const int button = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
  if (dynamic_cast<const CGridCellCombo*>(cell) != nullptr) needed += button;
  if (dynamic_cast<const CGridCellCheck*>(cell) != nullptr) needed += button + margin;
  return needed;
}

void ExpectWholeTexts(const CGridCtrl& grid) {
  for (int row = 0; row < grid.GetRowCount(); ++row) {
    for (int column = 0; column < grid.GetColumnCount(); ++column) {
      if (grid.GetColumnWidth(column) == 0) continue;  // the hidden read-only flag
      EXPECT_GE(grid.GetColumnWidth(column), Needed(grid, row, column))
          << grid.objectName().toStdString() << " row " << row << " column " << column << ": '"
          << grid.GetItemText(row, column).toStdString() << "'";
    }
  }
}

int ShownWidth(const CGridCtrl& grid) {
  int width = 0;
  for (int column = 0; column < grid.GetColumnCount(); ++column) width += grid.GetColumnWidth(column);
  return width;
}

class MainWindowGridsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    vorn::CProfileSection("VornRigSim", "").WriteInt("TabSel", 1);
    Open();
    fs::remove(SettingsFile("SimSettings.json"));
  }
  CGridCtrl& Output() { return Grids().OutputGrid(); }
  static std::vector<COutputItem> SavedItems() {
    CRigSim reader;
    LoadSimSettings(reader);
    return reader.m_outputItems;
  }
  [[nodiscard]] static bool SettingsWritten() { return fs::exists(SettingsFile("SimSettings.json")); }
  // Gives a cell the focus without changing anything, as a first click on it does.
  void Focus(int row, int column) {
    ClickCell(Output(), row, column);
    fs::remove(SettingsFile("SimSettings.json"));  // that click read the list back and saved it
  }
};

TEST_F(MainWindowGridsTest, TheStateGridListsTheSubStatesOfTheModeAndHighlightsTheCurrentOne) {
  Engine().SetMode(Drill);
  Grids().BuildStateGrid();
  CGridCtrl& grid = Grids().StateGrid();
  ASSERT_EQ(grid.GetRowCount(), 13);
  EXPECT_EQ(grid.GetItemText(0, 0), "State");
  EXPECT_EQ(grid.GetItemText(1, 0), "Idle");
  EXPECT_EQ(grid.GetCell(1, 0)->GetBackClr(), QColor(0, 220, 0));
  for (int row = 2; row < 13; ++row) EXPECT_EQ(grid.GetCell(row, 0)->GetBackClr(), QColor(255, 255, 255)) << row;
  EXPECT_NE(grid.GetItemState(3, 0) & gridstate::kReadOnly, 0U);
  EXPECT_FALSE(grid.IsSelectionEnabled());
  Engine().SetMode(TripOut);
  Grids().BuildStateGrid();
  EXPECT_EQ(grid.GetRowCount(), 6);
}

TEST_F(MainWindowGridsTest, TheOutputGridShowsEveryItemWithReadOnlyItemsShaded) {
  CGridCtrl& grid = Output();
  ASSERT_EQ(grid.GetRowCount(), 23);
  ASSERT_EQ(grid.GetColumnCount(), 14);
  EXPECT_EQ(grid.GetColumnWidth(ColReadOnly), 0);
  EXPECT_EQ(grid.GetItemText(0, ColType), "Type");
  EXPECT_EQ(grid.GetItemText(1, ColMnem), "DEPTH");
  EXPECT_EQ(grid.GetItemText(1, ColType), "DEPTH");
  EXPECT_EQ(grid.GetItemText(1, ColRecord), "1");
  EXPECT_EQ(grid.GetItemText(1, ColChannel), "8");
  EXPECT_TRUE(grid.GetCellCheck(1, ColReadOnly));
  for (int column = ColEnable; column <= ColChannel; ++column) {
    EXPECT_EQ(grid.GetCell(1, column)->GetBackClr(), kReadOnlyItem) << column;
    EXPECT_NE(grid.GetItemState(1, column) & gridstate::kReadOnly, 0U) << column;
  }
  EXPECT_EQ(grid.GetItemText(kFirstEditableRow, ColType), "ONCE AFTER PUMP ON(A)");
  EXPECT_EQ(grid.GetItemText(kFirstEditableRow, ColSample), "5");
  EXPECT_EQ(grid.GetItemText(kFirstEditableRow + 3, ColA), "0.997");
  EXPECT_EQ(grid.GetItemText(kFirstEditableRow + 6, ColRotation), "sliding");
  EXPECT_EQ(grid.GetItemState(kFirstEditableRow, ColA) & gridstate::kReadOnly, 0U);

  // A read-only item can be neither toggled nor edited.
  auto* check = dynamic_cast<CGridCellCheck*>(grid.GetCell(1, ColEnable));
  ClickAt(grid, check->CheckPlacement(grid.GetCellRect(1, ColEnable)).center());
  EXPECT_TRUE(grid.GetCellCheck(1, ColEnable));
  ClickCell(grid, 1, ColRecord);
  Type("5");
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(grid.GetItemText(1, ColRecord), "1");
  EXPECT_TRUE(SavedItems()[0].m_bEnable);
}

TEST_F(MainWindowGridsTest, UncheckingEnWritesTheSettingsAtOnce) {
  CGridCtrl& grid = Output();
  auto* check = dynamic_cast<CGridCellCheck*>(grid.GetCell(kFirstEditableRow, ColEnable));
  ClickAt(grid, check->CheckPlacement(grid.GetCellRect(kFirstEditableRow, ColEnable)).center());
  ASSERT_TRUE(SettingsWritten());
  EXPECT_FALSE(SavedItems()[kFirstEditableRow - 1].m_bEnable);
  EXPECT_FALSE(Engine().m_outputItems[kFirstEditableRow - 1].m_bEnable);
}

TEST_F(MainWindowGridsTest, EscapeInACellEditorWritesNothingAndEnterWritesTheNewValue) {
  CGridCtrl& grid = Output();
  Focus(kFirstEditableRow, ColA);
  Type("7");
  ASSERT_TRUE(grid.IsEditing());
  Key(Qt::Key_Escape);
  EXPECT_TRUE(window->isVisible());  // the editor took the Escape, not the window
  EXPECT_FALSE(grid.IsEditing());
  EXPECT_EQ(grid.GetItemText(kFirstEditableRow, ColA), "20");
  EXPECT_FALSE(SettingsWritten());

  Type("7.5");
  Key(Qt::Key_Return);
  ASSERT_TRUE(SettingsWritten());
  EXPECT_EQ(SavedItems()[kFirstEditableRow - 1].m_fA, 7.5);
}

TEST_F(MainWindowGridsTest, TurningToAnotherWindowEndsAnOpenEditAndSavesIt) {
  Focus(kFirstEditableRow, ColA);
  Type("6.125");
  ASSERT_TRUE(Output().IsEditing());
  QWidget receiver;  // the receiving system's window, say
  receiver.show();
  receiver.activateWindow();  // through the platform, as a click on it would
  ASSERT_TRUE(QTest::qWaitForWindowActive(&receiver));
  ASSERT_TRUE(WaitUntil([&] { return !Output().IsEditing(); }, 5000));
  EXPECT_EQ(Engine().m_outputItems[kFirstEditableRow - 1].m_fA, 6.125);
  ASSERT_TRUE(SettingsWritten());
  EXPECT_EQ(SavedItems()[kFirstEditableRow - 1].m_fA, 6.125);
}

TEST_F(MainWindowGridsTest, ClosingTheWindowMidEditSavesTheEditBeforeTheState) {
  Focus(kFirstEditableRow, ColA);
  Type("8.25");
  ASSERT_TRUE(Output().IsEditing());
  fs::remove(SettingsFile("SimState.json"));
  window->close();  // the close box
  window.reset();
  ASSERT_TRUE(SettingsWritten());
  EXPECT_EQ(SavedItems()[kFirstEditableRow - 1].m_fA, 8.25);
  ASSERT_TRUE(fs::exists(SettingsFile("SimState.json")));
  EXPECT_LE(fs::last_write_time(SettingsFile("SimSettings.json")), fs::last_write_time(SettingsFile("SimState.json")));
}

TEST_F(MainWindowGridsTest, TextThatIsNoNumberReadsAsZeroAndDeleteEmptiesTheType) {
  CGridCtrl& grid = Output();
  Focus(kFirstEditableRow, ColRecord);
  Type("abc");
  ASSERT_TRUE(grid.IsEditing()) << QApplication::focusWidget()->metaObject()->className();
  Key(Qt::Key_Return);
  EXPECT_EQ(SavedItems()[kFirstEditableRow - 1].m_nWitsRecord, 0);

  Focus(kFirstEditableRow, ColType);
  fs::remove(SettingsFile("SimSettings.json"));
  Key(Qt::Key_Delete);
  EXPECT_TRUE(grid.GetItemText(kFirstEditableRow, ColType).isEmpty());
  ASSERT_TRUE(SettingsWritten());
  EXPECT_EQ(SavedItems()[kFirstEditableRow - 1].m_type, ItemDepth);
}

TEST_F(MainWindowGridsTest, AClickOrEditKeepsTheRunTimeStateOfEveryItemItDidNotChange) {
  // Mid-run state: the first "once after pump on" item has fired in this pump cycle with its value not
  // yet sent, a ramp stands at 30, and DEPTH holds a value.
  std::vector<COutputItem>& items = Engine().m_outputItems;
  const size_t once = kFirstEditableRow - 1;
  ASSERT_EQ(items[once].m_type, ItemOnceAfterPumpOn);
  Engine().m_bPumpsOn = true;
  const double t = clocks.now;
  for (COutputItem& item : items) item.Evaluate(Engine(), t - 100.0);
  ASSERT_EQ(items[once].Evaluate(Engine(), t), "20");
  ASSERT_TRUE(items[once].m_bOnceFired && items[once].m_bSendPending);
  items.push_back(COutputItem(false, true, "RAMP", 0, ItemRamp, 0, 100, 10, "", FilterBoth, false, 9, 9));
  items.back().m_strValue = "30";
  items.back().m_fValue = 30.0;
  Grids().BuildOutputGrid();
  const std::vector<COutputItem> before = items;

  // A click in a cell of the next item, then an edit of it: no other item changes.
  ClickCell(Output(), kFirstEditableRow + 1, ColA);
  Type("21");
  Key(Qt::Key_Return);
  ASSERT_TRUE(SettingsWritten());
  ASSERT_EQ(items.size(), before.size());
  EXPECT_EQ(items[once + 1].m_fA, 21.0);
  EXPECT_EQ(items[once + 1].m_strValue, "-999.25");  // the edited item starts afresh
  for (size_t i : {size_t{0}, once, items.size() - 1}) {
    EXPECT_EQ(items[i].m_strValue, before[i].m_strValue) << i;
    EXPECT_EQ(items[i].m_bSendPending, before[i].m_bSendPending) << i;
    EXPECT_EQ(items[i].m_fLastSampleTime, before[i].m_fLastSampleTime) << i;
    EXPECT_EQ(items[i].m_bOnceFired, before[i].m_bOnceFired) << i;
    EXPECT_EQ(items[i].m_fPumpStartTime, before[i].m_fPumpStartTime) << i;
  }
  // The next evaluation in the same pump cycle: no second value from the fired item; the ramp steps on.
  items[once].m_bSendPending = false;
  items[once].Evaluate(Engine(), t + 1.0);
  EXPECT_FALSE(items[once].m_bSendPending);
  EXPECT_EQ(items.back().Evaluate(Engine(), t + 1.0), "40");
  Grids().RefreshOutputValues();
  EXPECT_EQ(Output().GetItemText(1, ColValue), QString::fromStdString(before[0].m_strValue));

  // An item whose stored field changed starts again: it fires anew in this pump cycle.
  ClickCell(Output(), kFirstEditableRow, ColA);
  Type("22");
  Key(Qt::Key_Return);
  EXPECT_EQ(items[once].m_fA, 22.0);
  EXPECT_FALSE(items[once].m_bOnceFired);
  EXPECT_EQ(items[once].m_strValue, "-999.25");
}

TEST_F(MainWindowGridsTest, MinusRemovesTheSelectedItemsButNeverReadOnlyOnes) {
  CGridCtrl& grid = Output();
  grid.ClearSelection();
  Click("removeItems");
  EXPECT_EQ(Engine().m_outputItems.size(), 22U);
  EXPECT_FALSE(SettingsWritten());

  // Three cells in two rows.
  grid.SetSelectedRange(kFirstEditableRow, ColMnem, kFirstEditableRow, ColSample);
  grid.SetSelectedRange(kFirstEditableRow, ColMnem, kFirstEditableRow + 1, ColMnem);
  const std::string third = Engine().m_outputItems[kFirstEditableRow + 1].m_strMnem;
  Click("removeItems");
  ASSERT_EQ(Engine().m_outputItems.size(), 20U);
  EXPECT_EQ(Engine().m_outputItems[kFirstEditableRow - 1].m_strMnem, third);
  EXPECT_EQ(grid.GetRowCount(), 21);
  EXPECT_EQ(SavedItems().size(), 20U);

  // A click on a column header selects the column: every item but the read-only ones goes.
  ClickCell(grid, 0, ColMnem);
  Click("removeItems");
  EXPECT_EQ(Engine().m_outputItems.size(), 14U);
  for (const COutputItem& item : Engine().m_outputItems) EXPECT_TRUE(item.m_bReadOnly) << item.m_strMnem;
}

TEST_F(MainWindowGridsTest, PlusAppendsAConstantAndDefaultsAskBeforeReplacingTheList) {
  Click("addItem");
  ASSERT_EQ(Engine().m_outputItems.size(), 23U);
  const COutputItem& added = Engine().m_outputItems.back();
  EXPECT_EQ(added.m_strMnem, "Mnem");
  EXPECT_EQ(added.m_type, ItemConstant);
  EXPECT_EQ(added.m_nWitsRecord, -1);
  EXPECT_EQ(Output().GetItemText(23, ColType), "CONSTANT(A)");
  EXPECT_EQ(Output().GetItemText(23, ColA), "50");
  EXPECT_EQ(SavedItems().size(), 23U);

  ClickAndAnswerNo("defaultItems", "Load Defaults?", "Load Defaults?");
  EXPECT_EQ(Engine().m_outputItems.size(), 23U);
  MessageBoxCatcher boxes(QMessageBox::Yes);
  Click("defaultItems");
  EXPECT_EQ(Engine().m_outputItems.size(), 22U);
  EXPECT_EQ(Output().GetRowCount(), 23);
  EXPECT_EQ(SavedItems().size(), 22U);

  // An empty list leaves only the header row.
  Engine().m_outputItems.clear();
  Grids().BuildOutputGrid();
  EXPECT_EQ(Output().GetRowCount(), 1);
  Grids().ReadOutputGrid();
  EXPECT_TRUE(SavedItems().empty());
}

TEST_F(MainWindowGridsTest, TheAgeOfAReceivedItemIsRoundedHalfUp) {
  Engine().m_witsInItems[{1, 1}] = {"Well Identifier", "ABC", clocks.now - 2.4};
  Engine().m_witsInItems[{1, 8}] = {"Depth Bit (meas)", "1000.5", clocks.now - 2.5};
  Grids().RefreshWitsInGrid();
  CGridCtrl& grid = Grids().WitsInGrid();
  ASSERT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetItemText(1, 2), "Well Identifier");
  EXPECT_EQ(grid.GetItemText(1, 4), "2");
  EXPECT_EQ(grid.GetItemText(2, 1), "8");
  EXPECT_EQ(grid.GetItemText(2, 3), "1000.5");
  EXPECT_EQ(grid.GetItemText(2, 4), "3");

  Engine().m_witsInItems.erase({1, 1});
  Grids().RefreshWitsInGrid();
  EXPECT_EQ(grid.GetRowCount(), 2);
}

// At the window's first size, whatever the values: every sub-state name of every mode, every channel
// name and value, every output item's texts and random value texts, and every description of the
// WITS dictionary received, show whole; the channel and state grids widen rather than scroll.
TEST_F(MainWindowGridsTest, EveryGridShowsItsTextsWholeAtTheFirstSizeWhateverTheValues) {
  EXPECT_EQ(window->size(), DialogUnits(window->font()).Size(441, 324));
  for (const int mode : {Idle, Drill, TripIn, TripOut}) {
    Engine().SetMode(mode);
    Grids().BuildStateGrid();
    ExpectWholeTexts(Grids().StateGrid());
  }
  for (const auto& [key, description] : *Engine().m_witsDictionary) {
    Engine().m_witsInItems[key] = {description, "-12345.678", clocks.now};
  }
  ASSERT_GT(Engine().m_witsInItems.size(), 100U);
  Grids().RefreshWitsInGrid();
  ExpectWholeTexts(Grids().WitsInGrid());

  std::mt19937 random(24);
  const auto randomText = [&random] {
    const char characters[] = "0123456789.-e+TRUEFALSE";
    QString text;
    for (int n = static_cast<int>(1 + random() % 18); n > 0; --n) text += characters[random() % (sizeof characters - 1)];
    return text;
  };
  for (int round = 0; round < 20; ++round) {
    for (COutputItem& item : Engine().m_outputItems) item.m_strValue = randomText().toStdString();
    Grids().RefreshOutputValues();
    ExpectWholeTexts(Output());
    Engine().SetBitDepth(std::pow(10.0, static_cast<double>(random() % 12)) + 0.25);
    Grids().RefreshChannelGrid();
    ExpectWholeTexts(Grids().ChannelGrid());
  }
  Settle();
  window->findChild<QTabWidget*>("tabs")->setCurrentIndex(0);
  Settle();
  CGridCtrl& channels = Grids().ChannelGrid();
  CGridCtrl& states = Grids().StateGrid();
  EXPECT_EQ(channels.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(states.horizontalScrollBar()->maximum(), 0);
  EXPECT_LE(ShownWidth(channels), channels.viewport()->width());
  EXPECT_LT(channels.geometry().right(), states.geometry().left());
  EXPECT_LT(states.geometry().right(), Find("blockSlider")->geometry().left());
}

// A wider window widens the output and WITS-input tables to its width, every column by its share; at
// the first size the output table is wider than the window and scrolls.
TEST_F(MainWindowGridsTest, TheTablesGrowWithTheWindow) {
  Engine().m_witsInItems[{1, 13}] = {"Rate of Penetration (avg)", "12.5", clocks.now};
  Grids().RefreshWitsInGrid();
  auto* tabs = window->findChild<QTabWidget*>("tabs");
  for (const QSize size : {QSize(1580, 900), QSize(1100, 600)}) {
    window->resize(size);
    for (const int tab : {1, 2}) {
      tabs->setCurrentIndex(tab);
      Settle();
      CGridCtrl& grid = tab == 1 ? Output() : Grids().WitsInGrid();
      EXPECT_EQ(grid.width(), size.width() - 16);
      EXPECT_EQ(ShownWidth(grid), grid.viewport()->width()) << grid.objectName().toStdString();
      for (int column = 0; column < grid.GetColumnCount(); ++column) {
        EXPECT_GE(grid.GetColumnWidth(column), grid.GetColumnGivenWidth(column));
      }
      ExpectWholeTexts(grid);
    }
    EXPECT_GT(Output().GetColumnWidth(ColValue), Output().GetColumnGivenWidth(ColValue));
    tabs->setCurrentIndex(1);
    Settle();
    EXPECT_TRUE(window->grab().save(ScreenshotPath(QString("main-window-output-%1.png").arg(size.width()))));
  }
  window->resize(DialogUnits(window->font()).Size(441, 324));
  Settle();
  EXPECT_GT(ShownWidth(Output()), Output().viewport()->width());
  EXPECT_GT(Output().horizontalScrollBar()->maximum(), 0);
  for (int tab = 0; tab < 3; ++tab) {
    tabs->setCurrentIndex(tab);
    Settle();
    EXPECT_TRUE(window->grab().save(ScreenshotPath(QString("main-window-first-size-tab%1.png").arg(tab))));
  }
}

}  // namespace
