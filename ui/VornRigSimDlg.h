#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "command/RigController.h"
#include "engine/RigSim.h"
#include "history/HistoryRecorder.h"
#include "support/Clock.h"
#include "support/ProfileSection.h"
#include "ui/MainWindowLayout.h"

class CColorStatic;
class CMainWindowGrids;
class CPlotsView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

// The operator's window: it owns the one engine for the program's life and the rig controller that
// carries its commands, issues them from its controls, and shows what the controller tells it, whoever
// issued the command (this window, or the control API beside it). It closes on Escape or the close box
// (never on Enter), saving the engine's state on the way out.
class CVornRigSimDlg : public QDialog, private CRigViewIF {
  Q_OBJECT

 public:
  // clocks drive the engine, dictionary gives it the WITS dictionary's text; tests pass their own.
  explicit CVornRigSimDlg(vorn::Clocks clocks = {}, const WitsDictionarySource& dictionary = WitsDictionaryText,
                          QWidget* parent = nullptr);
  ~CVornRigSimDlg() override;
  CVornRigSimDlg(const CVornRigSimDlg&) = delete;
  CVornRigSimDlg& operator=(const CVornRigSimDlg&) = delete;

  // The engine's notice that it changed the mode itself (a trip reached its end), delivered as the
  // engine delivers it to the controller.
  void OnModeChanged(int newMode) { m_controller.OnModeChanged(newMode); }
  // The settings dialog's gain slider: the engine's gain changes at once; nothing is saved.
  void OnFlowGainMessage(int gain);

  [[nodiscard]] CRigSim& Engine() { return m_engine; }
  [[nodiscard]] CRigController& Controller() { return m_controller; }
  [[nodiscard]] CMainWindowGrids& Grids() { return *m_grids; }
  [[nodiscard]] CHistoryRecorder& History() { return m_history; }
  [[nodiscard]] CPlotsView& Plots() { return *m_plots; }
  [[nodiscard]] bool IsRunning() const { return m_controller.IsRunning(); }

  // Enter must never close the window.
  void accept() override {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateControls();
  void ConnectCommands();

  // The exchange between the bound values and the controls.
  void ReadControls();
  void ShowFields();
  // Reads a depth box; on text that is no number tells the operator, selects the text and gives false.
  bool ReadDepthBox(QLineEdit& box, double& value);

  void RefreshLinkStatus();
  void UpdateBlockSlider();
  void SetModeFieldText();
  void LockRunControls(bool locked);
  // A command's failure, told in a message box; nothing for one that was done.
  void Present(const CommandResult& result);
  // The mode as a choice of mode shows it: the state grid, the mode box and the mode field.
  void ShowModeChosen();

  // What the controller tells this window.
  void OnRunChanged(bool running) override;
  void OnTenTimesChanged(bool on) override;
  void OnModeChanged(int mode, bool byEngine) override;
  void OnLinkChanged(const RigLinkStatus& link) override;
  void OnItemsChanged() override;
  void OnStateChanged(StateChange what) override;
  void OnMessage(const std::string& line) override;
  void OnFault(const FaultReport& report) override;
  void OnFaultsChanged() override;
  void OnAfterTick() override;
  // The faults field: shown, with what is active, while faults are armed or in progress.
  void RefreshFaultIndicator();

  void ShowTabControls();
  void LayoutControls();
  [[nodiscard]] int Dpi() const;

  // Commands.
  void OnRunClicked();
  void OnTenTimesSpeed();
  void OnSettings();
  void OnCommSettings();
  void OnSetBitDepth();
  void OnSetHoleDepth();
  void OnDefaultStartState();
  void OnModeSelected();
  void OnBrowseOutputDir();
  void OnAbout();
  void OnTestBench();
  void OnDefaultItems();
  void OnTabChanged(int index);
  // The next tab (step 1) or the one before (-1), going round.
  void TurnTab(int step);

  CRigSim m_engine;
  CRigController m_controller{m_engine};
  CHistoryRecorder m_history{m_engine};
  vorn::CProfileSection m_profile{"VornRigSim", ""};
  std::unique_ptr<CMainWindowGrids> m_grids;
  CPlotsView* m_plots = nullptr;  // the Plots tab's page

  // Values bound to the controls.
  int m_nRun = 0;
  int m_nTenTimes = 0;
  double m_fBitDepth = 0.0;
  double m_fHoleDepth = 0.0;
  int m_nMode = 0;
  QString m_strLinkState;
  QString m_strLinkMessage;

  mainlayout::Tops m_tops;

  QTabWidget* m_tab = nullptr;
  QCheckBox* m_runBox = nullptr;
  QCheckBox* m_tenTimesBox = nullptr;
  QPushButton* m_settingsButton = nullptr;
  QPushButton* m_commSettingsButton = nullptr;
  CColorStatic* m_modeField = nullptr;
  CColorStatic* m_linkStateField = nullptr;
  CColorStatic* m_linkMessageField = nullptr;
  QLineEdit* m_bitDepthBox = nullptr;
  QPushButton* m_setBitDepthButton = nullptr;
  QPushButton* m_defaultStartButton = nullptr;
  QPushButton* m_browseButton = nullptr;
  QPushButton* m_aboutButton = nullptr;
  QPushButton* m_testBenchButton = nullptr;
  CColorStatic* m_faultsField = nullptr;
  QLineEdit* m_holeDepthBox = nullptr;
  QPushButton* m_setHoleDepthButton = nullptr;
  QPushButton* m_addItemButton = nullptr;
  QPushButton* m_removeItemButton = nullptr;
  QPushButton* m_defaultItemsButton = nullptr;
  QLabel* m_modeBoxLabel = nullptr;
  QComboBox* m_modeBox = nullptr;
  QSlider* m_blockSlider = nullptr;
};
