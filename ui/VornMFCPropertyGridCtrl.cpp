#include "ui/VornMFCPropertyGridCtrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/PropertyValueDelegate.h"

namespace {

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;

}  // namespace

CVornMFCPropertyGridCtrl::CVornMFCPropertyGridCtrl(QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(0, 2, this)), m_description(new QLabel(this)) {
  m_table->setObjectName("propertyTable");
  m_table->setHorizontalHeaderLabels({"Property", "Value"});
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->horizontalHeader()->setSectionsClickable(false);
  m_table->verticalHeader()->hide();
  // Rows one text line high, as a property sheet packs them.
  m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setSortingEnabled(false);
  m_table->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  m_table->setItemDelegate(new CPropertyValueDelegate(this, m_table));
  m_table->setFrameShape(QFrame::StyledPanel);
  m_table->setWordWrap(false);

  m_description->setObjectName("descriptionPane");
  m_description->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  m_description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  m_description->setWordWrap(true);
  m_description->setTextFormat(Qt::RichText);
  SetDescriptionRows(3);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(3);
  layout->addWidget(m_table, 1);
  layout->addWidget(m_description);

  // A click on a value starts its editor at once, also on the row already selected.
  connect(m_table, &QTableWidget::pressed, this, [this](const QModelIndex& index) {
    if (index.column() == kValueColumn && m_table->indexWidget(index) == nullptr) m_table->edit(index);
  });
  connect(m_table, &QTableWidget::currentCellChanged, this,
          [this](int row, int, int, int) { ShowDescription(row); });
}

CVornMFCPropertyGridCtrl::~CVornMFCPropertyGridCtrl() = default;

int CVornMFCPropertyGridCtrl::AddProperty(std::unique_ptr<CVornPropertyGridProperty> property) {
  const int row = m_table->rowCount();
  m_table->insertRow(row);
  auto* name = new QTableWidgetItem(property->GetName());
  name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  name->setBackground(palette().window());
  auto* value = new QTableWidgetItem(property->FormatProperty());
  value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
  m_table->setItem(row, kNameColumn, name);
  m_table->setItem(row, kValueColumn, value);
  m_properties.push_back(std::move(property));
  FitNameColumn();
  return row;
}

void CVornMFCPropertyGridCtrl::RemoveAll() {
  m_table->setRowCount(0);  // closes any open editor before the properties go
  m_properties.clear();
  ShowDescription(-1);
}

int CVornMFCPropertyGridCtrl::GetPropertyCount() const { return static_cast<int>(m_properties.size()); }

CVornPropertyGridProperty* CVornMFCPropertyGridCtrl::GetProperty(int index) const {
  if (index < 0 || index >= GetPropertyCount()) return nullptr;
  return m_properties[static_cast<size_t>(index)].get();
}

void CVornMFCPropertyGridCtrl::SetDescriptionRows(int rows) {
  const int frame = 2 * m_description->frameWidth() + 2 * m_description->margin() + 4;
  m_description->setFixedHeight(rows * fontMetrics().lineSpacing() + frame);
}

void CVornMFCPropertyGridCtrl::EndValueEdit(int row, const QString& text) {
  CVornPropertyGridProperty* property = GetProperty(row);
  if (property == nullptr || !property->ApplyEditText(text)) return;
  if (QTableWidgetItem* value = m_table->item(row, kValueColumn)) value->setText(property->FormatProperty());
  OnPropertyChanged(property);
}

QString CVornMFCPropertyGridCtrl::DescriptionText() const { return m_description->text(); }

void CVornMFCPropertyGridCtrl::OnPropertyChanged(CVornPropertyGridProperty* property) {
  if (m_pPropChangeIF != nullptr) m_pPropChangeIF->OnPropChange(property);
  property->SetModified(true);  // changed values are not drawn differently
  emit propertyChanged(property);
}

// Enter belongs to the list (it ends an edit): it must not reach the dialog and press its default button.
void CVornMFCPropertyGridCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void CVornMFCPropertyGridCtrl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitNameColumn();
}

// The two columns share the width equally, but the names are never cut: the name column is at least
// as wide as the longest name with the cell's padding, and the values take what is left.
void CVornMFCPropertyGridCtrl::FitNameColumn() {
  const int padding = 2 * (m_table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_table) + 1) +
                      (m_table->showGrid() ? 1 : 0);
  int longest = 0;
  for (const auto& property : m_properties) {
    longest = std::max(longest, m_table->fontMetrics().horizontalAdvance(property->GetName()));
  }
  m_table->setColumnWidth(kNameColumn, std::max(width() / 2, longest + padding));
}

void CVornMFCPropertyGridCtrl::ShowDescription(int row) {
  const CVornPropertyGridProperty* property = GetProperty(row);
  if (property == nullptr) {
    m_description->clear();
    return;
  }
  m_description->setText("<b>" + property->GetName().toHtmlEscaped() + "</b><br>" +
                         property->GetDescription().toHtmlEscaped());
}
