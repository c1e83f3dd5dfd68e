#include "tests/grid/GridTestSupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

#include "tests/common/EventWait.h"

namespace gridtest {

int RecordingOwner::OnGridNotify(CGridCtrl& grid, int code, int row, int column) {
  notices.push_back({code, row, column, grid.GetItemText(row, column)});
  return answer ? answer(code, row, column) : 0;
}

std::vector<Notice> RecordingOwner::Of(int code) const {
  std::vector<Notice> found;
  for (const Notice& notice : notices) {
    if (notice.code == code) found.push_back(notice);
  }
  return found;
}

std::vector<int> RecordingOwner::Codes() const {
  std::vector<int> codes;
  for (const Notice& notice : notices) codes.push_back(notice.code);
  return codes;
}

GridHost::GridHost(int rows, int columns, int fixedRows, int fixedColumns) : grid(new CGridCtrl(&dialog)) {
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(grid);
  grid->SetOwner(&owner);
  grid->SetControlId(77);
  grid->SetRowCount(rows);
  grid->SetColumnCount(columns);
  grid->SetFixedRowCount(fixedRows);
  grid->SetFixedColumnCount(fixedColumns);
  for (int c = 0; c < columns; ++c) grid->SetColumnWidth(c, 60);
  for (int r = 0; r < rows; ++r) {
    grid->SetRowHeight(r, 20);
    for (int c = 0; c < columns; ++c) grid->SetItemText(r, c, QString("r%1c%2").arg(r).arg(c));
  }
  dialog.resize(columns * 60 + 40, rows * 20 + 40);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&dialog);
  grid->setFocus();
}

// The recording owner is destroyed before the dialog: it leaves first, as a real owner would.
GridHost::~GridHost() {
  if (grid->GetOwner() == &owner) grid->SetOwner(nullptr);
}

QPoint GridHost::Centre(int row, int column) const { return grid->GetCellRect(row, column).center(); }

namespace {

void SendMouse(CGridCtrl* grid, QEvent::Type type, const QPoint& point, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  QWidget* viewport = grid->viewport();
  QMouseEvent event(type, QPointF(point), QPointF(viewport->mapToGlobal(point)), button, buttons, modifiers);
  QApplication::sendEvent(viewport, &event);
}

}  // namespace

void GridHost::Press(const QPoint& point, Qt::KeyboardModifiers modifiers, Qt::MouseButton button) {
  SendMouse(grid, QEvent::MouseButtonPress, point, button, button, modifiers);
}

void GridHost::Move(const QPoint& point, Qt::MouseButtons buttons) {
  SendMouse(grid, QEvent::MouseMove, point, Qt::NoButton, buttons, Qt::NoModifier);
}

void GridHost::Release(const QPoint& point, Qt::KeyboardModifiers modifiers, Qt::MouseButton button) {
  SendMouse(grid, QEvent::MouseButtonRelease, point, button, Qt::NoButton, modifiers);
}

void GridHost::Click(const QPoint& point, Qt::KeyboardModifiers modifiers, Qt::MouseButton button) {
  Press(point, modifiers, button);
  Release(point, modifiers, button);
}

void GridHost::ClickCell(int row, int column, Qt::KeyboardModifiers modifiers) {
  Click(Centre(row, column), modifiers);
}

void GridHost::DoubleClick(const QPoint& point) {
  Press(point);
  Release(point);
  SendMouse(grid, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  Release(point);
}

QWidget* GridHost::KeyTarget() {
  if (QWidget* popup = QApplication::activePopupWidget()) {
    if (auto* list = popup->findChild<QAbstractItemView*>()) return list;
    return popup;
  }
  return QApplication::focusWidget();
}

void GridHost::Key(int key, Qt::KeyboardModifiers modifiers) {
  QWidget* target = KeyTarget();
  QTest::keyClick(target != nullptr ? target : grid, static_cast<Qt::Key>(key), modifiers);
}

void GridHost::Type(const QString& text) {
  for (const QChar ch : text) {
    QWidget* target = KeyTarget();
    QTest::keyClick(target != nullptr ? target : grid, ch.toLatin1());
  }
}

QString GridHost::EditorText() const {
  if (auto* edit = qobject_cast<QLineEdit*>(grid->GetEditor())) return edit->text();
  if (auto* list = qobject_cast<QComboBox*>(grid->GetEditor())) return list->currentText();
  return {};
}

bool GridHost::Settle(const std::function<bool()>& done) { return vorn::test::WaitUntil(done, 1000); }

}  // namespace gridtest
