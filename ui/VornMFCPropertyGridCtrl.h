#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "ui/PropChangeIF.h"
#include "ui/VornPropertyGridProperty.h"

class QLabel;
class QTableWidget;

// The property list: a header row, a name and a value column, rows in the order they were added (no
// groups, no sorting), values edited in place, and below them a description pane that shows the
// selected row's name and description. Changes the user makes go first to the change listener, then
// through the list's own handling.
class CVornMFCPropertyGridCtrl : public QWidget {
  Q_OBJECT

 public:
  explicit CVornMFCPropertyGridCtrl(QWidget* parent = nullptr);
  ~CVornMFCPropertyGridCtrl() override;

  // Appends a row at the end; the list owns the property from now on. Returns its index.
  int AddProperty(std::unique_ptr<CVornPropertyGridProperty> property);
  // Removes and destroys every property.
  void RemoveAll();
  [[nodiscard]] int GetPropertyCount() const;
  [[nodiscard]] CVornPropertyGridProperty* GetProperty(int index) const;

  // Height of the description pane in text rows.
  void SetDescriptionRows(int rows);

  // The value editor ends with the text the user left in it.
  void EndValueEdit(int row, const QString& text);

  [[nodiscard]] QTableWidget* Table() const { return m_table; }
  [[nodiscard]] QString DescriptionText() const;

  // Told of every change the user makes; none until the owner sets one.
  PropChangeIF* m_pPropChangeIF = nullptr;

 signals:
  // The list's report of a change to its owner window.
  void propertyChanged(CVornPropertyGridProperty* property);

 protected:
  // The change hook: the listener first, then the list's own handling, which still uses the property.
  virtual void OnPropertyChanged(CVornPropertyGridProperty* property);

  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowDescription(int row);
  void FitNameColumn();

  QTableWidget* m_table;
  QLabel* m_description;
  std::vector<std::unique_ptr<CVornPropertyGridProperty>> m_properties;
};
