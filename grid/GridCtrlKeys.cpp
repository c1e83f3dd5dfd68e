// The keyboard: navigation, editing keys and the clipboard. Enter and Escape are left to the
// dialog; Tab stays with the grid unless Ctrl is held or Tab handling is off.
#include <QKeyEvent>

#include "grid/GridCtrl.h"
#include "grid/TitleTip.h"

namespace {

bool IsClipboardOrEditKey(const QKeyEvent* event) {
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  const int key = event->key();
  if (ctrl && (key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_V || key == Qt::Key_A || key == Qt::Key_Insert)) {
    return true;
  }
  return (shift && key == Qt::Key_Insert) || key == Qt::Key_Delete || key == Qt::Key_F2;
}

}  // namespace

bool CGridCtrl::event(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (tab && m_handleTab && (key->modifiers() & Qt::ControlModifier) == 0) {
      keyPressEvent(key);
      return true;
    }
  } else if (event->type() == QEvent::ShortcutOverride) {
    // The grid's own keys win over shortcuts of the surrounding window.
    if (IsClipboardOrEditKey(static_cast<QKeyEvent*>(event))) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

bool CGridCtrl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) m_titleTip->Hide();
  // A scroll bar coming or going changes the viewport's width, and with it the columns' stretch.
  if (event->type() == QEvent::Resize && m_stretchColumns) UpdateScrollBars();
  return QAbstractScrollArea::viewportEvent(event);
}

void CGridCtrl::keyPressEvent(QKeyEvent* event) {
  m_titleTip->Hide();
  const int key = event->key();
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const bool ctrl = (modifiers & Qt::ControlModifier) != 0;
  const bool shift = (modifiers & Qt::ShiftModifier) != 0;

  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
    event->ignore();  // the dialog's
    return;
  }
  if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (ctrl || !m_handleTab)) {
    event->ignore();
    return;
  }
  if (ctrl && (key == Qt::Key_C || key == Qt::Key_Insert)) {
    CopySelectedToClipboard();
  } else if (ctrl && key == Qt::Key_X) {
    CutSelectedToClipboard();
  } else if ((ctrl && key == Qt::Key_V) || (shift && key == Qt::Key_Insert)) {
    PasteFromClipboard();
  } else if (ctrl && key == Qt::Key_A) {
    SelectAllCells();
  } else if (!m_focusCell.IsValid()) {
    event->ignore();
    return;
  } else if (key == Qt::Key_Delete) {
    ClearSelectedCells();
  } else if (key == Qt::Key_F2) {
    EditCell(m_focusCell.row, m_focusCell.column);
  } else if (HandleMoveKey(key, modifiers)) {
    // moved
  } else if (!ctrl && (modifiers & Qt::AltModifier) == 0 &&
             (key == Qt::Key_Backspace || (!event->text().isEmpty() && event->text().at(0).isPrint()))) {
    // A typed character (Alt+letter stays a mnemonic of the dialog).
    EditCell(m_focusCell.row, m_focusCell.column, {key, event->text(), modifiers});
  } else {
    event->ignore();
    return;
  }
  event->accept();
}
