#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QVBoxLayout>
#include <clocale>

#include "tests/ui/DialogTestParts.h"
#include "ui/MFCPropertyGridProperty_Formatted.h"

namespace {

using namespace vorn::test;

std::unique_ptr<CMFCPropertyGridProperty_Formatted> Number(const char* name, double value) {
  return std::make_unique<CMFCPropertyGridProperty_Formatted>(name, value, "", "%g");
}

// A list in a dialog whose default button is OK, with a listener that notes whether the list had
// already told its owner (and marked the property) when the listener heard of a change.
struct ListInDialog : PropChangeIF {
  ListInDialog() {
    auto* layout = new QVBoxLayout(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(ok);
    layout->addWidget(list = new CVornMFCPropertyGridCtrl(&dialog));
    list->m_pPropChangeIF = this;
    QObject::connect(list, &CVornMFCPropertyGridCtrl::propertyChanged, [this] { ++ownerReports; });
    dialog.resize(400, 300);
    dialog.open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  void OnPropChange(CVornPropertyGridProperty* property) override {
    toldLate = toldLate || ownerReports != static_cast<int>(changed.size()) || property->IsModified();
    changed.push_back(property->GetName());
  }
  QDialog dialog;
  CVornMFCPropertyGridCtrl* list = nullptr;
  std::vector<QString> changed;
  int ownerReports = 0;
  bool toldLate = false;
};

TEST(FormattedProperty, ShowsTheShortGFormEvenUnderADecimalCommaLocale) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  for (const auto& [value, text] : std::vector<std::pair<double, QString>>{
           {1.0, "1"}, {0.25, "0.25"}, {8000.0, "8000"}, {1e6, "1e+06"}, {0.1, "0.1"}, {-3.5, "-3.5"}}) {
    EXPECT_EQ(Number("n", value)->FormatProperty(), text) << value;
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
  if (!comma) GTEST_SKIP() << "de_DE.UTF-8 is not installed; checked in the C locale only";
}

TEST(PropertyGrid, TypedTextIsReadAsADecimalAndReportedOnlyWhenItDiffers) {
  ListInDialog host;
  for (const char* name : {"A", "B", "C", "D"}) host.list->AddProperty(Number(name, 8000));
  TypeValue(*host.list, "A", "8000");  // the text shown: no change
  EXPECT_TRUE(host.changed.empty());
  TypeValue(*host.list, "A", "  12.5 ");
  TypeValue(*host.list, "B", "abc");
  TypeValue(*host.list, "C", "7kg");
  TypeValue(*host.list, "D", "8000.0");  // another text of the same value still counts
  EXPECT_EQ(host.list->GetProperty(0)->GetNumber(), 12.5);
  EXPECT_EQ(host.list->GetProperty(1)->GetNumber(), 0.0);
  EXPECT_EQ(host.list->GetProperty(2)->GetNumber(), 7.0);
  EXPECT_EQ(host.list->Table()->item(1, 1)->text(), "0");
  EXPECT_EQ(host.changed, (std::vector<QString>{"A", "B", "C", "D"}));
  EXPECT_EQ(host.ownerReports, 4);
  EXPECT_FALSE(host.toldLate);  // the listener hears first, the list's own handling follows
  EXPECT_TRUE(host.list->GetProperty(3)->IsModified());
  // Enter ends each edit inside the list: it never pressed the dialog's default button.
  EXPECT_TRUE(host.dialog.isVisible());
}

TEST(PropertyGrid, AFlagOffersTrueAndFalseAndReportsAChoice) {
  ListInDialog host;
  host.list->AddProperty(std::make_unique<CVornPropertyGridProperty>("Flag", true, "About the flag"));
  auto* choice = qobject_cast<QComboBox*>(OpenValueEditor(*host.list, 0));
  ASSERT_NE(choice, nullptr);
  ASSERT_EQ(choice->count(), 2);
  EXPECT_EQ(choice->itemText(0), "True");
  EXPECT_EQ(choice->itemText(1), "False");
  EXPECT_EQ(choice->currentText(), "True");
  EXPECT_TRUE(host.list->DescriptionText().contains("About the flag"));

  QTest::keyClick(choice, Qt::Key_Down);  // picks "False"
  Settle();
  EXPECT_FALSE(host.list->GetProperty(0)->GetFlag());
  EXPECT_EQ(host.list->Table()->item(0, 1)->text(), "False");
  EXPECT_EQ(host.changed.size(), 1u);
}

}  // namespace
