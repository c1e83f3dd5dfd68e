#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWidget>
#include <vector>

#include "ui/VornMFCPropertyGridCtrl.h"

namespace vorn::test {

// Answers every message box that opens while it lives (OK unless told otherwise), and keeps their
// captions, texts and default buttons.
class MessageBoxCatcher : public QObject {
 public:
  explicit MessageBoxCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : m_answer(answer) {
    qApp->installEventFilter(this);
  }
  ~MessageBoxCatcher() override { qApp->removeEventFilter(this); }

  struct Box {
    QString caption;
    QString text;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButtons buttons;
    bool overShownWindow;  // its parent window was on screen as it opened
  };
  std::vector<Box> boxes;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box != nullptr && event->type() == QEvent::Show) {
      QAbstractButton* defaultButton = box->defaultButton();
      const QWidget* parent = box->parentWidget();
      boxes.push_back({box->windowTitle(), box->text(),
                       defaultButton ? box->standardButton(defaultButton) : QMessageBox::NoButton,
                       box->standardButtons(), parent != nullptr && parent->window()->isVisible()});
      QPointer<QMessageBox> shown(box);
      const QMessageBox::StandardButton answer = m_answer;
      QMetaObject::invokeMethod(
          this,
          [shown, answer] {
            if (!shown) return;
            QAbstractButton* button = shown->button(answer);
            (button != nullptr ? button : shown->button(QMessageBox::Ok))->click();
          },
          Qt::QueuedConnection);
    }
    return false;
  }

 private:
  QMessageBox::StandardButton m_answer;
};

// Lets queued work (an ended edit, the rebuild that follows it, paints) run to its end.
inline void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Where the screenshots go: a folder in the build tree.
inline QString ScreenshotPath(const QString& name) {
  QDir().mkpath(VORN_SCREENSHOT_DIR);
  return QString(VORN_SCREENSHOT_DIR) + "/" + name;
}

// The row of the property with that name, -1 when the list has none.
inline int RowOf(const CVornMFCPropertyGridCtrl& list, const QString& name) {
  for (int i = 0; i < list.GetPropertyCount(); ++i) {
    if (list.GetProperty(i)->GetName() == name) return i;
  }
  return -1;
}

// Clicks the value of a row, as the user does to edit it, and gives the editor that opened.
inline QWidget* OpenValueEditor(CVornMFCPropertyGridCtrl& list, int row) {
  QTableWidget* table = list.Table();
  QTableWidgetItem* item = table->item(row, 1);
  table->scrollToItem(item);
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());
  return table->indexWidget(table->model()->index(row, 1));
}

// Types text over a number's value and ends the edit with Enter.
inline void TypeValue(CVornMFCPropertyGridCtrl& list, const QString& name, const QString& text) {
  QWidget* editor = OpenValueEditor(list, RowOf(list, name));
  ASSERT_NE(editor, nullptr) << name.toStdString();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  Settle();
}

}  // namespace vorn::test
