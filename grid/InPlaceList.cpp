#include "grid/InPlaceList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>

#include "grid/GridCtrl.h"

namespace {

bool IsArrowOrPage(int key) {
  return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left || key == Qt::Key_Right ||
         key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

}  // namespace

CInPlaceList::CInPlaceList(CGridCtrl& grid, const QRect& rect, int row, int column,
                           const QStringList& options, const QString& text, bool editable)
    : QComboBox(grid.viewport()), m_grid(grid), m_row(row), m_column(column), m_initialText(text) {
  setEditable(editable);
  setFont(grid.font());
  addItems(options);
  int current = -1;
  for (int i = 0; i < options.size(); ++i) {
    if (options[i].compare(text, Qt::CaseInsensitive) == 0) {
      current = i;
      break;
    }
  }
  setCurrentIndex(current);
  if (editable && current < 0) setEditText(text);

  // The selection field is one cell high; the list shows four cell heights and a scroll bar's worth.
  setGeometry(rect);
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  const int itemHeight = std::max(1, view()->sizeHintForRow(0) > 0 ? view()->sizeHintForRow(0) : rect.height());
  setMaxVisibleItems(std::max(1, (4 * rect.height() + scrollBar) / itemHeight));
  view()->setMinimumWidth(ListMinimumWidth());
  view()->installEventFilter(this);
  show();
  setFocus(Qt::OtherFocusReason);
  showPopup();
  if (QWidget* popup = view()->window(); popup != nullptr && popup != window()) popup->installEventFilter(this);
  m_opened = true;
}

int CInPlaceList::ListMinimumWidth() const {
  const QFontMetrics metrics(font());
  int widest = 0;
  for (int i = 0; i < count(); ++i) widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
  const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return std::min(widest + scrollBar + metrics.horizontalAdvance(QLatin1Char('0')), 200);
}

void CInPlaceList::EndEdit() { Finish({}); }

// Keys in the open list: Escape restores, Tab ends with the highlighted option, Ctrl with an arrow
// or page key ends with that key. Plain arrows move through the list; Enter picks as usual.
bool CInPlaceList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view() && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const int code = key->key();
    if (code == Qt::Key_Escape) {
      m_restore = true;
      return false;  // the list closes itself
    }
    const bool ctrl = (key->modifiers() & Qt::ControlModifier) != 0;
    if (code == Qt::Key_Tab || code == Qt::Key_Backtab || (ctrl && IsArrowOrPage(code))) {
      const QModelIndex highlighted = view()->currentIndex();
      if (highlighted.isValid()) setCurrentIndex(highlighted.row());
      m_popupKey = {code, key->text(), key->modifiers()};
      hidePopup();
      return true;
    }
    if (code == Qt::Key_Return || code == Qt::Key_Enter) m_popupKey = {code, key->text(), key->modifiers()};
    return false;
  }
  if (watched != view() && event->type() == QEvent::Hide && m_opened && !m_finished) {
    // The list closed (a pick, a click outside, Escape, or a key above): end once the combo box has
    // finished handling it.
    QMetaObject::invokeMethod(this, &CInPlaceList::FinishFromPopup, Qt::QueuedConnection);
  }
  return QComboBox::eventFilter(watched, event);
}

void CInPlaceList::FinishFromPopup() {
  if (m_restore) {
    m_restore = false;
    Finish({Qt::Key_Escape, {}, Qt::NoModifier});
    return;
  }
  Finish(m_popupKey);
}

// With the list closed (an editable style, or a key that arrived before it opened).
void CInPlaceList::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
  if (key == Qt::Key_Escape) {
    event->accept();
    m_restore = true;
    FinishFromPopup();
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
      (ctrl && IsArrowOrPage(key))) {
    event->accept();
    Finish({key, event->text(), event->modifiers()});
    return;
  }
  QComboBox::keyPressEvent(event);
}

// The focus moving into the list's own pop-up is not a loss of focus. When the window loses
// activation the edit ends from the event loop, as the text box's does.
void CInPlaceList::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  const QWidget* now = QApplication::focusWidget();
  const QWidget* popup = view()->window();
  const bool intoList = now != nullptr && (now == popup || popup->isAncestorOf(now));
  if (event->reason() == Qt::PopupFocusReason || intoList) return;
  if (event->reason() == Qt::ActiveWindowFocusReason) {
    QMetaObject::invokeMethod(this, &CInPlaceList::EndEdit, Qt::QueuedConnection);
    return;
  }
  Finish({});
}

QString CInPlaceList::ChosenText() const {
  if (m_restore) return m_initialText;
  if (isEditable()) return currentText();
  return currentIndex() >= 0 ? currentText() : m_initialText;  // nothing shown: nothing changes
}

void CInPlaceList::Finish(const GridEditKey& key) {
  if (m_finished) return;
  if (key.key == Qt::Key_Escape) m_restore = true;
  const QString text = ChosenText();
  m_finished = true;
  if (hasFocus() || window()->focusWidget() == this || view()->isVisible()) {
    if (view()->isVisible()) hidePopup();
    m_grid.setFocus(Qt::OtherFocusReason);
  }
  m_grid.OnEndInPlaceEdit(m_row, m_column, text, key);
  hide();
  deleteLater();
}
