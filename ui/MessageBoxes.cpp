#include "ui/MessageBoxes.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMessageBox>

void ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
  box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void RefuseEntry(QLineEdit& box, const QString& text) {
  ShowMessage(box.window(), text);
  box.setFocus();
  box.selectAll();
}
