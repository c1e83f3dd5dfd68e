#pragma once

#include <QDialog>
#include <QString>

// The about box: the program icon, "VornRigSim <version>" and OK.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  [[nodiscard]] const QString& VersionLine() const { return m_strVersion; }

 private:
  QString m_strVersion;
};
