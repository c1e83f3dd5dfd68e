#pragma once

#include <QComboBox>

#include "grid/GridTypes.h"

class CGridCtrl;

// The drop-down list that edits a drop-down cell in place. It opens dropped down; picking, closing
// the list, Enter, Tab or a Ctrl+arrow ends the edit; Escape puts the starting text back.
class CInPlaceList : public QComboBox {
  Q_OBJECT

 public:
  CInPlaceList(CGridCtrl& grid, const QRect& rect, int row, int column, const QStringList& options,
               const QString& text, bool editable);

  // Ends the edit as if the list lost the focus (no key).
  void EndEdit();
  [[nodiscard]] int Row() const { return m_row; }
  [[nodiscard]] int Column() const { return m_column; }
  // Width the list part asks for: widest option plus a scroll bar and a digit, at most 200 pixels.
  [[nodiscard]] int ListMinimumWidth() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Finish(const GridEditKey& key);
  void FinishFromPopup();
  [[nodiscard]] QString ChosenText() const;

  CGridCtrl& m_grid;
  int m_row;
  int m_column;
  QString m_initialText;
  GridEditKey m_popupKey;      // the key that closed the list, none when it was a pick or a click
  bool m_restore = false;      // Escape: end with the starting text
  bool m_finished = false;
  bool m_opened = false;       // the list has been shown once
};
