#pragma once

#include <QDialog>
#include <QTimer>

class CRigController;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "Test Bench": the faults of the WITS link for a receiver under test. A fault plan to load, edit,
// start and stop; any fault of the catalogue injected now with its parameters; the seed of every
// random choice; and the list of what is active. Each button is a command of the rig controller, at
// once, run or no run; a fault or plan that does not read is refused in a message box and changes
// nothing.
class CTestBenchDlg : public QDialog {
  Q_OBJECT

 public:
  CTestBenchDlg(CRigController& controller, QWidget* parent = nullptr);

  void LoadPlanFile(const QString& path);
  // The active faults as the dialog lists them now.
  void RefreshActive();

 private:
  void OnLoad();
  void OnStartPlan();
  void OnStopFaults();
  void OnInject();
  void OnSetSeed();
  void CreateControls();

  CRigController& m_controller;
  QPlainTextEdit* m_plan = nullptr;
  QComboBox* m_faultList = nullptr;
  QLineEdit* m_parameters = nullptr;
  QLineEdit* m_seed = nullptr;
  QListWidget* m_active = nullptr;
  QTimer m_refresh;
};
