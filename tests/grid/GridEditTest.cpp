// Opening and ending editors by key and by mouse, and what the owner hears.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "tests/grid/GridTestSupport.h"

using gridtest::GridHost;
using gridtest::Notice;

namespace {

QLineEdit* TextEditor(const GridHost& host) { return qobject_cast<QLineEdit*>(host.grid->GetEditor()); }
QComboBox* ListEditor(const GridHost& host) { return qobject_cast<QComboBox*>(host.grid->GetEditor()); }

}  // namespace

TEST(GridEdit, TypingADigitOpensTheEditorWithJustThatDigit) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  host.owner.Clear();
  host.Type("7");
  ASSERT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(host.EditorText(), "7");
  EXPECT_EQ(host.owner.Codes(), std::vector<int>{gridcodes::kBeginEdit});
  EXPECT_TRUE(TextEditor(host)->hasFocus());
  host.Key(Qt::Key_Return);
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(1, 1), "7");
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit), (std::vector<Notice>{{gridcodes::kEndEdit, 1, 1, {}}}));
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit)[0].text, "7");  // the owner reads the new text
  EXPECT_TRUE(host.grid->hasFocus());
}

TEST(GridEdit, EnterOnAnUnchangedTextNotifiesNothing) {
  GridHost host(4, 3);
  host.grid->SetItemText(1, 1, "7");
  host.grid->SetFocusCell(1, 1);
  host.owner.Clear();
  host.Type("7");
  host.Key(Qt::Key_Enter);
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
  EXPECT_EQ(host.grid->GetItemText(1, 1), "7");
}

TEST(GridEdit, EscapeRestoresTheTextAndNotifiesNothing) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(2, 1);
  host.owner.Clear();
  host.Type("99");
  EXPECT_EQ(host.EditorText(), "99");
  host.Key(Qt::Key_Escape);
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(2, 1), "r2c1");
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
  EXPECT_TRUE(host.grid->hasFocus());
  EXPECT_TRUE(host.dialog.isVisible());  // the editor kept Escape from the dialog
}

TEST(GridEdit, TheStartingKeyDecidesCaretAndSelection) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  host.Key(Qt::Key_F2);  // as by the mouse: caret at the end, nothing selected
  ASSERT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(TextEditor(host)->cursorPosition(), 4);
  EXPECT_FALSE(TextEditor(host)->hasSelectedText());
  host.Key(Qt::Key_Escape);

  host.Key(Qt::Key_Backspace);  // applied at the end
  EXPECT_EQ(host.EditorText(), "r1c");
  host.Key(Qt::Key_Escape);

  host.Key(Qt::Key_Space);  // all selected, the space not typed
  EXPECT_EQ(host.EditorText(), "r1c1");
  EXPECT_EQ(TextEditor(host)->selectedText(), "r1c1");
  host.Type("x");
  EXPECT_EQ(host.EditorText(), "x");
  host.Key(Qt::Key_Escape);
  EXPECT_EQ(host.grid->GetItemText(1, 1), "r1c1");
}

TEST(GridEdit, DownEndsAKeyStartedEditAndOpensTheCellBelow) {
  GridHost host(5, 3);
  host.grid->SetFocusCell(1, 2);
  host.owner.Clear();
  host.Type("4");
  host.Key(Qt::Key_Down);
  EXPECT_EQ(host.grid->GetItemText(1, 2), "4");
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(2, 2));
  ASSERT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(host.EditorText(), "r2c2");
  EXPECT_EQ(TextEditor(host)->selectedText(), "r2c2");  // opened by an arrow: all selected
  EXPECT_EQ(host.owner.Codes(), (std::vector<int>{gridcodes::kBeginEdit, gridcodes::kEndEdit,
                                                  gridcodes::kSelectionChanging, gridcodes::kSelectionChanged,
                                                  gridcodes::kBeginEdit}));
  host.Key(Qt::Key_Tab);  // Tab ends it too and moves on to the next cell's editor
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(0, 3));
  EXPECT_NE(TextEditor(host), nullptr);
}

TEST(GridEdit, ArrowsMoveTheCaretInAMouseStartedEditUnlessCtrlIsHeld) {
  GridHost host(5, 3);
  host.grid->SetFocusCell(1, 1);
  host.Key(Qt::Key_F2);
  host.Key(Qt::Key_Left);
  host.Key(Qt::Key_Down);
  ASSERT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(1, 1));
  host.Key(Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(1, 2));
  EXPECT_NE(TextEditor(host), nullptr);  // the next cell's editor, opened by the key
}

TEST(GridEdit, ARefusedEndEditPutsTheOldTextBack) {
  GridHost host(4, 3);
  host.owner.answer = [](int code, int, int) { return code == gridcodes::kEndEdit ? -1 : 0; };
  host.grid->SetFocusCell(1, 0);
  host.Type("abc");
  host.Key(Qt::Key_Return);
  EXPECT_EQ(host.grid->GetItemText(1, 0), "r1c0");
  ASSERT_EQ(host.owner.Of(gridcodes::kEndEdit).size(), 1U);
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit)[0].text, "abc");  // it saw the new text, then refused
}

TEST(GridEdit, ARefusedBeginEditOpensNothing) {
  GridHost host(4, 3);
  host.owner.answer = [](int code, int, int) { return code == gridcodes::kBeginEdit ? -1 : 0; };
  host.grid->SetFocusCell(1, 0);
  host.Type("z");
  host.Key(Qt::Key_F2);
  host.DoubleClick(host.Centre(1, 0));
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(1, 0), "r1c0");
}

TEST(GridEdit, ReadOnlyCellsRefuseEveryWayIn) {
  GridHost host(4, 3);
  host.grid->SetCellType(2, 0, GridCellKind::Check);
  host.grid->SetCellType(2, 2, GridCellKind::Combo);
  host.grid->SetCellOptions(2, 2, {"a", "b"});
  for (int c = 0; c < 3; ++c) host.grid->SetItemState(2, c, gridstate::kReadOnly);
  host.owner.Clear();

  host.grid->SetFocusCell(2, 1);
  host.Type("7");
  host.Key(Qt::Key_F2);
  host.DoubleClick(host.Centre(2, 1));
  host.ClickCell(2, 1);  // a second press on the focus cell would prepare an edit
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(2, 1), "r2c1");

  host.ClickCell(2, 2);
  host.ClickCell(2, 2);
  host.Key(Qt::Key_F2);
  EXPECT_FALSE(host.grid->IsEditing());

  host.grid->SetFocusCell(2, 0);
  host.Key(Qt::Key_Space);
  const QRect box = dynamic_cast<CGridCellCheck*>(host.grid->GetCell(2, 0))->CheckPlacement(
      host.grid->GetCellRect(2, 0));
  host.Click(box.center());
  EXPECT_FALSE(host.grid->GetCellCheck(2, 0));
  EXPECT_TRUE(host.owner.Of(gridcodes::kBeginEdit).empty());
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
}

TEST(GridEdit, AGridThatIsNotEditableOpensNoEditorAndTogglesNoBox) {
  GridHost host(4, 3);
  host.grid->SetCellType(1, 0, GridCellKind::Check);
  host.grid->SetEditable(false);
  host.grid->SetFocusCell(1, 0);
  host.Key(Qt::Key_Space);
  host.grid->SetFocusCell(1, 1);
  host.Type("1");
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_FALSE(host.grid->GetCellCheck(1, 0));
}

TEST(GridEdit, SpaceTogglesAFocusedCheckCellAndNotifiesAtOnce) {
  GridHost host(4, 3);
  host.grid->SetCellType(1, 1, GridCellKind::Check);
  host.grid->SetFocusCell(1, 1);
  host.owner.Clear();
  host.Key(Qt::Key_Space);
  EXPECT_TRUE(host.grid->GetCellCheck(1, 1));
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.owner.Codes(), (std::vector<int>{gridcodes::kBeginEdit, gridcodes::kEndEdit}));
  host.Type("x");  // other keys open nothing on a check cell
  EXPECT_FALSE(host.grid->IsEditing());
  host.Key(Qt::Key_Space);
  EXPECT_FALSE(host.grid->GetCellCheck(1, 1));
}

TEST(GridEdit, ReleaseOnTheFocusCellOpensTheEditorButAMoveAbandonsIt) {
  GridHost host(4, 3);
  host.ClickCell(1, 1);
  EXPECT_FALSE(host.grid->IsEditing());
  const QPoint centre = host.Centre(1, 1);
  host.Press(centre);
  host.Move(centre + QPoint(1, 0));
  host.Release(centre + QPoint(1, 0));
  EXPECT_FALSE(host.grid->IsEditing());
  host.ClickCell(1, 1);
  ASSERT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(TextEditor(host)->cursorPosition(), 4);  // started by the mouse: caret at the end
  host.Key(Qt::Key_Down);  // a mouse-started edit keeps its arrows
  EXPECT_TRUE(host.grid->IsEditing());
}

TEST(GridEdit, DoubleClickOpensTheEditorAndNotifies) {
  GridHost host(4, 3);
  host.ClickCell(2, 2);
  host.owner.Clear();
  host.DoubleClick(host.Centre(3, 1));
  EXPECT_NE(TextEditor(host), nullptr);
  EXPECT_EQ(host.owner.Of(gridcodes::kDoubleClick), (std::vector<Notice>{{gridcodes::kDoubleClick, 3, 1, {}}}));
}

TEST(GridEdit, LosingTheFocusEndsTheEditWithItsText) {
  GridHost host(4, 3);
  auto* other = new QLineEdit(&host.dialog);
  other->show();
  host.grid->SetFocusCell(1, 1);
  host.Type("new");
  other->setFocus();
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(1, 1), "new");
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit).size(), 1U);
}

TEST(GridEdit, OpeningAnotherEditorEndsTheOpenOneFirst) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  host.Type("first");
  host.grid->EditCell(2, 2);
  EXPECT_EQ(host.grid->GetItemText(1, 1), "first");
  EXPECT_EQ(TextEditor(host)->text(), "r2c2");
}

TEST(GridEdit, AnotherWindowBecomingActiveEndsTheEditWithItsText) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 1);
  host.owner.Clear();
  host.Type("new");
  ASSERT_TRUE(host.grid->IsEditing());
  QWidget receiver;  // the operator turns to another program's window
  receiver.show();
  receiver.activateWindow();  // through the platform, as a click on it would
  ASSERT_TRUE(QTest::qWaitForWindowActive(&receiver));
  EXPECT_TRUE(GridHost::Settle([&] { return !host.grid->IsEditing(); }));
  EXPECT_EQ(host.grid->GetItemText(1, 1), "new");
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit).size(), 1U);
  host.dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.dialog));
  EXPECT_TRUE(host.grid->hasFocus());  // back in the window, keys reach the grid again
}

// The window's owner goes with the window, without leaving the grid first.
class OwningWindow : public QDialog, public gridtest::RecordingOwner {
 public:
  OwningWindow() : grid(new CGridCtrl(this)) {
    grid->SetOwner(this);
    grid->SetRowCount(3);
    grid->SetColumnCount(2);
    grid->SetFixedRowCount(1);
    resize(200, 100);
    grid->resize(200, 100);
  }
  CGridCtrl* grid;
};

TEST(GridEdit, AWindowThatOwnsItsGridGoesMidEditWithoutBeingCalled) {
  for (const bool activeToTheEnd : {true, false}) {
    auto window = std::make_unique<OwningWindow>();
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->grid->setFocus();
    window->grid->SetFocusCell(1, 1);
    QTest::keyClick(window->grid, 'x');
    ASSERT_TRUE(window->grid->IsEditing());
    if (!activeToTheEnd) QApplication::setActiveWindow(nullptr);  // the edit is due to end, then the window goes
    window.reset();
    QCoreApplication::sendPostedEvents();  // whatever was due runs now, and must find nothing to call
    QApplication::processEvents();
  }
}

TEST(GridEdit, ClosingTheWindowWithAnOpenEditorReportsNothing) {
  gridtest::RecordingOwner outlives;
  auto host = std::make_unique<GridHost>(4, 3);
  host->grid->SetOwner(&outlives);
  host->grid->SetFocusCell(1, 1);
  host->Type("changed");
  ASSERT_TRUE(host->grid->IsEditing());
  outlives.Clear();
  host.reset();
  EXPECT_TRUE(outlives.notices.empty());
}

TEST(GridEdit, StructuralChangesEndAnOpenEdit) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(3, 1);
  host.Type("kept");
  host.grid->SetRowCount(3);  // the edited row goes away: its text goes nowhere, nothing breaks
  EXPECT_FALSE(host.grid->IsEditing());
  host.grid->SetFocusCell(1, 1);
  host.Type("x");
  host.grid->SetColumnWidth(2, 80);
  EXPECT_TRUE(host.grid->IsEditing());  // a width change leaves it open
  host.grid->SetCellType(1, 1, GridCellKind::Check);
  EXPECT_FALSE(host.grid->IsEditing());
  EXPECT_EQ(host.grid->GetItemText(1, 1), "x");
}

TEST(GridEdit, TheEditorWidensWithItsTextUpToTheGridsEdge) {
  GridHost host(4, 3);
  host.grid->SetFocusCell(1, 0);
  host.Type("a");
  QLineEdit* editor = TextEditor(host);
  ASSERT_NE(editor, nullptr);
  const int start = editor->width();
  host.Type(QString(30, 'w'));
  EXPECT_GT(editor->width(), start);
  EXPECT_LE(editor->geometry().right(), host.grid->viewport()->width());
}

// ---- drop-down cells --------------------------------------------------------------------------------

class GridDropDown : public ::testing::Test {
 protected:
  void SetUp() override {
    host.grid->SetCellType(1, 1, GridCellKind::Combo);
    host.grid->SetCellOptions(1, 1, {"both", "sliding", "rotating"});
    host.grid->SetItemText(1, 1, "SLIDING");
    host.grid->SetFocusCell(1, 1);
    host.owner.Clear();
  }
  GridHost host{4, 3};
};

TEST_F(GridDropDown, OpensDroppedDownOnTheOptionEqualToTheTextIgnoringCase) {
  host.Key(Qt::Key_F2);
  QComboBox* list = ListEditor(host);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->currentIndex(), 1);
  EXPECT_TRUE(list->view()->isVisible());
  EXPECT_FALSE(list->isEditable());  // a drop-down list: pick only
  EXPECT_EQ(host.owner.Codes(), std::vector<int>{gridcodes::kBeginEdit});
}

TEST_F(GridDropDown, PickingAnOptionEndsTheEditWithIt) {
  host.Key(Qt::Key_F2);
  host.Key(Qt::Key_Down);
  host.Key(Qt::Key_Return);
  ASSERT_TRUE(GridHost::Settle([&] { return !host.grid->IsEditing(); }));
  EXPECT_EQ(host.grid->GetItemText(1, 1), "rotating");
  EXPECT_EQ(host.owner.Of(gridcodes::kEndEdit).size(), 1U);
  // The window's focus returns to the grid (the offscreen platform leaves no window active after a
  // pop-up, so hasFocus() cannot tell).
  EXPECT_EQ(host.dialog.focusWidget(), host.grid);
}

TEST_F(GridDropDown, EscapePutsTheStartingTextBack) {
  host.Key(Qt::Key_F2);
  host.Key(Qt::Key_Down);
  host.Key(Qt::Key_Escape);
  ASSERT_TRUE(GridHost::Settle([&] { return !host.grid->IsEditing(); }));
  EXPECT_EQ(host.grid->GetItemText(1, 1), "SLIDING");
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
}

TEST_F(GridDropDown, ATextMatchingNoOptionSelectsNoneAndClosingKeepsIt) {
  host.grid->SetItemText(1, 1, "spinning");
  host.Key(Qt::Key_F2);
  ASSERT_NE(ListEditor(host), nullptr);
  EXPECT_EQ(ListEditor(host)->currentIndex(), -1);
  ListEditor(host)->hidePopup();
  ASSERT_TRUE(GridHost::Settle([&] { return !host.grid->IsEditing(); }));
  EXPECT_EQ(host.grid->GetItemText(1, 1), "spinning");
  EXPECT_TRUE(host.owner.Of(gridcodes::kEndEdit).empty());
}

TEST_F(GridDropDown, CtrlDownEndsTheEditAndOpensTheListBelow) {
  host.grid->SetCellType(2, 1, GridCellKind::Combo);
  host.grid->SetCellOptions(2, 1, {"x", "y"});
  host.Type("s");  // a character opens the list too
  ASSERT_NE(ListEditor(host), nullptr);
  host.Key(Qt::Key_Down);  // moves through the list
  EXPECT_EQ(host.grid->GetFocusCell(), QPoint(1, 1));
  host.Key(Qt::Key_Down, Qt::ControlModifier);
  ASSERT_TRUE(GridHost::Settle([&] { return host.grid->GetFocusCell() == QPoint(1, 2); }));
  EXPECT_EQ(host.grid->GetItemText(1, 1), "rotating");
  ASSERT_NE(ListEditor(host), nullptr);
  EXPECT_EQ(ListEditor(host)->count(), 2);
}

TEST_F(GridDropDown, TheListIsAsWideAsItsWidestOptionUpTo200Pixels) {
  host.Key(Qt::Key_F2);
  auto* list = ListEditor(host);
  ASSERT_NE(list, nullptr);
  const QFontMetrics metrics(list->font());
  const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  EXPECT_EQ(list->view()->minimumWidth(),
            metrics.horizontalAdvance("rotating") + scrollBar + metrics.horizontalAdvance('0'));
  host.Key(Qt::Key_Escape);
  ASSERT_TRUE(GridHost::Settle([&] { return !host.grid->IsEditing(); }));

  host.grid->SetCellOptions(1, 1, {QString(200, 'W')});
  host.Key(Qt::Key_F2);
  ASSERT_NE(ListEditor(host), nullptr);
  EXPECT_EQ(ListEditor(host)->view()->minimumWidth(), 200);
}
