#pragma once

#include <QStyledItemDelegate>

class CVornMFCPropertyGridCtrl;

// The in-place editors of the property list's value column: a text box for a number, a drop-down with
// "True" and "False" for a flag. Leaving an editor hands its text to the list.
class CPropertyValueDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  CPropertyValueDelegate(CVornMFCPropertyGridCtrl* list, QObject* parent);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

 private:
  CVornMFCPropertyGridCtrl* m_list;
};
