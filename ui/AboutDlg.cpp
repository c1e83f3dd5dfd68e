#include "ui/AboutDlg.h"

#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "support/System.h"
#include "ui/DialogUnits.h"
#include "ui/UiResources.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_strVersion(QString::fromStdString("VornRigSim " + vorn::GetVersionText())) {
  LoadUiResources();
  setWindowTitle("About VornRigSim");
  setModal(true);
  setFont(DialogFont());
  const DialogUnits du(font());
  setFixedSize(du.Size(197, 93));

  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/vornrigsim.svg").pixmap(du.Size(21, 20)));
  icon->setGeometry(du.Rect(14, 14, 21, 20));

  auto* version = new QLabel(m_strVersion, this);
  version->setObjectName("versionLine");
  version->setGeometry(du.Rect(42, 14, 94, 8));

  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  ok->setGeometry(du.Rect(140, 72, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
