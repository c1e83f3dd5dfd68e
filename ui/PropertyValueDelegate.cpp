#include "ui/PropertyValueDelegate.h"

#include <QComboBox>
#include <QLineEdit>

#include "ui/VornMFCPropertyGridCtrl.h"

CPropertyValueDelegate::CPropertyValueDelegate(CVornMFCPropertyGridCtrl* list, QObject* parent)
    : QStyledItemDelegate(parent), m_list(list) {}

QWidget* CPropertyValueDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                              const QModelIndex& index) const {
  const CVornPropertyGridProperty* property = m_list->GetProperty(index.row());
  if (property == nullptr || index.column() != 1) return nullptr;
  if (property->IsFlag()) {
    auto* choice = new QComboBox(parent);
    choice->addItems({CVornPropertyGridProperty::kTrue, CVornPropertyGridProperty::kFalse});
    // Picking an entry ends the edit at once (the editor signals belong to a delegate that is not const).
    auto* self = const_cast<CPropertyValueDelegate*>(this);
    connect(choice, &QComboBox::activated, self, [self, choice] {
      emit self->commitData(choice);
      emit self->closeEditor(choice);
    });
    return choice;
  }
  auto* text = new QLineEdit(parent);
  text->setFrame(false);
  return text;
}

void CPropertyValueDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const CVornPropertyGridProperty* property = m_list->GetProperty(index.row());
  if (property == nullptr) return;
  if (auto* choice = qobject_cast<QComboBox*>(editor)) {
    choice->setCurrentText(property->FormatProperty());
  } else if (auto* text = qobject_cast<QLineEdit*>(editor)) {
    text->setText(property->FormatProperty());
    text->selectAll();
  }
}

// The list, not the model, takes the text: it reads it into the property and reports the change.
void CPropertyValueDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
  if (auto* choice = qobject_cast<QComboBox*>(editor)) {
    m_list->EndValueEdit(index.row(), choice->currentText());
  } else if (auto* text = qobject_cast<QLineEdit*>(editor)) {
    m_list->EndValueEdit(index.row(), text->text());
  }
}
