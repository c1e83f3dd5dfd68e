#pragma once

#include <QApplication>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "grid/GridCtrl.h"

namespace gridtest {

// One notification as the owner received it, with the cell's text at that moment.
struct Notice {
  int code;
  int row;
  int column;
  QString text;
  friend bool operator==(const Notice& a, const Notice& b) {
    return a.code == b.code && a.row == b.row && a.column == b.column;
  }
};

// An owner that writes down every notification and answers what the test tells it to.
class RecordingOwner : public CGridOwnerIF {
 public:
  int OnGridNotify(CGridCtrl& grid, int code, int row, int column) override;

  std::vector<Notice> notices;
  std::function<int(int code, int row, int column)> answer;  // unset: 0

  [[nodiscard]] std::vector<Notice> Of(int code) const;
  [[nodiscard]] std::vector<int> Codes() const;
  void Clear() { notices.clear(); }
};

// A dialog holding one grid, shown and active so that focus and keys behave as on a desktop. The grid
// has `rows` x `columns` cells with one fixed row; cell texts are "r<row>c<column>", every column
// 60 pixels wide and every row 20 high.
class GridHost {
 public:
  GridHost(int rows = 6, int columns = 5, int fixedRows = 1, int fixedColumns = 0);
  ~GridHost();

  QDialog dialog;
  CGridCtrl* grid;
  RecordingOwner owner;

  // Mouse, in the grid's viewport coordinates.
  [[nodiscard]] QPoint Centre(int row, int column) const;
  void Press(const QPoint& point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton);
  void Move(const QPoint& point, Qt::MouseButtons buttons = Qt::LeftButton);
  void Release(const QPoint& point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton);
  void Click(const QPoint& point, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton);
  void ClickCell(int row, int column, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // A double click as the window system delivers it: press, release, double click, release.
  void DoubleClick(const QPoint& point);

  // Keys go where the application sends them: the open pop-up, else the focus widget.
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  void Type(const QString& text);
  [[nodiscard]] static QWidget* KeyTarget();

  // The open editor's text; empty when none is open.
  [[nodiscard]] QString EditorText() const;
  // Runs posted events (a closing drop-down list ends its edit from one) until done() or a second passes.
  static bool Settle(const std::function<bool()>& done);
};

}  // namespace gridtest
