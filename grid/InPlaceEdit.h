#pragma once

#include <QLineEdit>

#include "grid/GridTypes.h"

class CGridCtrl;

// The single-line box that edits a text cell in place. It reports the final text and the key that
// ended it to the grid once, then hides and deletes itself.
class CInPlaceEdit : public QLineEdit {
  Q_OBJECT

 public:
  CInPlaceEdit(CGridCtrl& grid, const QRect& rect, uint32_t format, int row, int column,
               const QString& text, const GridEditKey& startKey);

  // Ends the edit as if the box lost the focus (no key).
  void EndEdit();
  [[nodiscard]] int Row() const { return m_row; }
  [[nodiscard]] int Column() const { return m_column; }

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Finish(const GridEditKey& key);
  void FitToText();

  CGridCtrl& m_grid;
  int m_row;
  int m_column;
  QString m_initialText;
  bool m_startedByKey;
  bool m_finished = false;
  QRect m_cellRect;
};
