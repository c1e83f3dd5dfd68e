#include "grid/InPlaceEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "grid/GridCellBase.h"
#include "grid/GridCtrl.h"

namespace {

bool IsArrowOrPage(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right ||
         key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

// Keys that open the editor with the whole text selected and are not typed into it.
bool SelectsAll(int key) {
  return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Space || key == Qt::Key_End ||
         key == Qt::Key_Home || IsArrowOrPage(key);
}

Qt::Alignment AlignmentOf(uint32_t format) {
  if ((format & gridformat::kRight) != 0) return Qt::AlignRight | Qt::AlignVCenter;
  if ((format & gridformat::kCentre) != 0) return Qt::AlignHCenter | Qt::AlignVCenter;
  return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

CInPlaceEdit::CInPlaceEdit(CGridCtrl& grid, const QRect& rect, uint32_t format, int row, int column,
                           const QString& text, const GridEditKey& startKey)
    : QLineEdit(grid.viewport()),
      m_grid(grid),
      m_row(row),
      m_column(column),
      m_initialText(text),
      m_startedByKey(!startKey.IsMouse()),
      m_cellRect(rect) {
  setFrame(true);
  setAlignment(AlignmentOf(format));
  setFont(grid.font());
  setText(text);
  setGeometry(rect);
  if (startKey.IsMouse()) {
    end(false);
  } else if (startKey.key == Qt::Key_Backspace) {
    end(false);
    backspace();
  } else if (SelectsAll(startKey.key) || startKey.text.isEmpty()) {
    selectAll();
  } else {
    setText(startKey.text);  // the typed character replaces the whole text
  }
  show();
  setFocus(Qt::OtherFocusReason);
  FitToText();
}

void CInPlaceEdit::EndEdit() { Finish({}); }

// Tab and Shift+Tab stay with the editor instead of moving the focus on; Enter, Escape and the keys a
// dialog would take as shortcuts are claimed too.
bool CInPlaceEdit::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QLineEdit::event(event);
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const GridEditKey ending{key, event->text(), event->modifiers()};
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab) {
    event->accept();
    Finish(ending);
    return;
  }
  if (key == Qt::Key_Escape) {
    event->accept();
    setText(m_initialText);
    Finish(ending);
    return;
  }
  if (IsArrowOrPage(key) && (m_startedByKey || (event->modifiers() & Qt::ControlModifier) != 0)) {
    event->accept();
    Finish(ending);
    return;
  }
  QLineEdit::keyPressEvent(event);
  event->accept();
  FitToText();
}

// Losing the focus ends the edit, except to a pop-up (the box's context menu), which hands it back.
// When the window loses activation the edit ends from the event loop: a window that is going away
// takes the box with it first, so nothing reports to an owner that is being destroyed.
void CInPlaceEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  if (event->reason() == Qt::PopupFocusReason) return;
  if (event->reason() == Qt::ActiveWindowFocusReason) {
    QMetaObject::invokeMethod(this, &CInPlaceEdit::EndEdit, Qt::QueuedConnection);
    return;
  }
  Finish({});
}

// The box grows to hold its text and a blank, but never beyond the grid's right edge.
void CInPlaceEdit::FitToText() {
  const QFontMetrics metrics(font());
  const int frame = width() - contentsRect().width() + 2 * metrics.horizontalAdvance(QLatin1Char(' '));
  const int wanted = metrics.horizontalAdvance(text() + QLatin1Char(' ')) + frame;
  const int limit = parentWidget() != nullptr ? parentWidget()->width() - m_cellRect.left() : wanted;
  const int newWidth = std::min(std::max(m_cellRect.width(), wanted), std::max(limit, m_cellRect.width()));
  if (newWidth != width()) resize(newWidth, height());
}

// Reports once, then goes: the grid takes the text (and the focus, also in an inactive window, so
// that it has it again when the window comes back), and the box deletes itself later so that the
// event being handled can finish safely.
void CInPlaceEdit::Finish(const GridEditKey& key) {
  if (m_finished) return;
  m_finished = true;
  if (hasFocus() || window()->focusWidget() == this) m_grid.setFocus(Qt::OtherFocusReason);
  m_grid.OnEndInPlaceEdit(m_row, m_column, text(), key);
  hide();
  deleteLater();
}
