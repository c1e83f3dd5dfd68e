#include "ui/VornRigSimDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTabWidget>
#include <algorithm>
#include <charconv>

#include "engine/LinkStatus.h"
#include "engine/RigMode.h"
#include "support/Console.h"
#include "support/DataRoot.h"
#include "support/Numbers.h"
#include "support/System.h"
#include "support/Text.h"
#include "ui/AboutDlg.h"
#include "ui/ColorStatic.h"
#include "ui/CommsSettingsDlg.h"
#include "ui/DialogUnits.h"
#include "ui/MainWindowGrids.h"
#include "ui/MessageBoxes.h"
#include "ui/SimSettingsDlg.h"
#include "ui/TestBenchDlg.h"
#include "ui/UiResources.h"
#include "ui/WidgetPlacement.h"
#include "ui/plots/PlotsView.h"

namespace {

constexpr const char* kPlacementEntry = "WindowPlacment";
constexpr const char* kTabEntry = "TabSel";

const QColor kYellow(230, 230, 0);
const QColor kGreen(0, 230, 0);
const QColor kCyan(0, 230, 230);
const QColor kBlack(0, 0, 0);

enum Tab { StateTab = 0, OutputTab = 1, WitsInTab = 2, PlotsTab = 3 };

QString Text(const std::string& text) { return QString::fromStdString(text); }

// printf's "%.15g", in the C locale whatever the user's.
QString FormatDepth(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

// The fraction dropped toward zero, kept inside the slider's integer range.
int Truncated(double value) { return static_cast<int>(std::clamp(value, -1.0e9, 1.0e9)); }

QString ModeName(int mode) { return Text(vorn::NameAt(RigModeNames(), mode)); }

// The wait cursor while a command works; a modal dialog in between shows its own.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// A caption wider than its template box would be cut: the box grows just enough, to the left for a
// right-aligned caption, else to the right.
void GrowToFit(QWidget& control, bool growLeft) {
  const int missing = control.sizeHint().width() - control.width();
  if (missing <= 0) return;
  QRect rect = control.geometry();
  if (growLeft) {
    rect.setLeft(rect.left() - missing);
  } else {
    rect.setRight(rect.right() + missing);
  }
  control.setGeometry(rect);
}

}  // namespace

CVornRigSimDlg::CVornRigSimDlg(vorn::Clocks clocks, const WitsDictionarySource& dictionary, QWidget* parent)
    : QDialog(parent), m_engine(std::move(clocks), dictionary) {
  LoadUiResources();
  setWindowTitle("Vorn Rig Simulator");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  m_controller.LoadAtStartup();  // link settings, data folders, settings, saved state

  CreateControls();
  new CPlacementKeeper(*this, m_profile, kPlacementEntry);
  setWindowIcon(QIcon(":/vornrigsim.svg"));

  m_grids->BuildStateGrid();
  m_grids->BuildChannelGrid();
  m_grids->BuildOutputGrid();
  m_grids->BuildWitsInGrid();
  UpdateBlockSlider();

  for (const char* name : {"State", "Output", "Wits In"}) m_tab->addTab(new QWidget, name);
  m_plots = new CPlotsView(m_history, m_profile);
  m_tab->addTab(m_plots, "Plots");
  for (const std::string& name : RigModeNames()) m_modeBox->addItem(Text(name));
  m_nMode = m_engine.m_settings.m_mode;
  ShowFields();
  m_modeField->SetBackgroundColour(kCyan);
  m_modeField->SetTextColour(kBlack);
  SetModeFieldText();

  m_tab->setCurrentIndex(std::clamp(m_profile.GetInt(kTabEntry), 0, m_tab->count() - 1));
  ShowTabControls();
  LayoutControls();
  m_grids->SetColumnsResized([this] { LayoutControls(); });
  setWindowTitle(Text("Vorn Rig Sim " + vorn::GetVersionText()));

  // Only now: filling the tabs and the mode box above must not count as the operator's choices, and
  // what the controller tells finds every control in place.
  ConnectCommands();
  m_controller.AddView(m_history);  // the history first: the plots draw from it after each tick
  m_controller.AddView(*this);

  // The engine read the WITS dictionary as it was made. A failure is told over the window once it is
  // up; start-up goes on, and received items then carry no descriptions.
  if (!m_engine.DictionaryError().empty()) {
    QMetaObject::invokeMethod(
        this, [this] { ShowMessage(this, Text(m_engine.DictionaryError())); }, Qt::QueuedConnection);
  }
}

CVornRigSimDlg::~CVornRigSimDlg() {
  // An edit still open in a grid is the operator's last change: it reaches the engine and the settings
  // file while the grids' owner is still here, and before the state is saved.
  for (CGridCtrl* grid : {&m_grids->StateGrid(), &m_grids->ChannelGrid(), &m_grids->OutputGrid(),
                          &m_grids->WitsInGrid()}) {
    grid->EndEditing();
  }
  m_controller.Close();  // saves the state even when no run was active
  m_controller.RemoveView(*this);
  m_controller.RemoveView(m_history);
  // The plots draw from the history, which goes before the window's children do. Their tab leaving
  // is no choice of the operator's: the stored tab stays.
  disconnect(m_tab, nullptr, this, nullptr);
  delete m_plots;
  m_plots = nullptr;
}

void CVornRigSimDlg::CreateControls() {
  // The window is drawn for an 8-point dialog font: its grid columns have fixed pixel widths.
  setFont(DialogFont());
  const DialogUnits du(font());
  const auto button = [&](const char* caption, const char* name, QRect rect) {
    auto* made = new QPushButton(caption, this);
    made->setObjectName(name);
    made->setAutoDefault(false);  // no button is the window's default: Enter in a box does nothing
    made->setGeometry(rect);
    return made;
  };
  const auto label = [&](const char* caption, QRect rect) {
    auto* made = new QLabel(caption, this);
    made->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    made->setGeometry(rect);
    GrowToFit(*made, true);
    return made;
  };
  const auto field = [&](const char* name, QRect rect) {
    auto* made = new CColorStatic(this);
    made->setObjectName(name);
    made->setGeometry(rect);
    return made;
  };
  const auto box = [&](const char* name, QRect rect) {
    auto* made = new QLineEdit(this);
    made->setObjectName(name);
    made->setGeometry(rect);
    return made;
  };

  // The tab control comes first so that every other control lies above it.
  m_tab = new QTabWidget(this);
  m_tab->setObjectName("tabs");
  m_tab->setGeometry(du.Rect(3, 69, 295, 13));

  m_runBox = new QCheckBox("Run", this);
  m_runBox->setObjectName("run");
  m_runBox->setGeometry(du.Rect(5, 5, 25, 9));
  m_settingsButton = button("Settings...", "settings", du.Rect(56, 3, 43, 14));
  m_commSettingsButton = button("Comm Settings...", "commSettings", du.Rect(56, 19, 62, 14));
  label("Mode:", du.Rect(117, 5, 21, 8));
  m_modeField = field("modeField", du.Rect(143, 4, 70, 10));
  label("[Mode can be changed in the State Tab]", du.Rect(224, 6, 130, 8));
  m_tenTimesBox = new QCheckBox("10x Speed", this);
  m_tenTimesBox->setObjectName("tenTimes");
  m_tenTimesBox->setGeometry(du.Rect(5, 18, 46, 10));
  GrowToFit(*m_runBox, false);
  GrowToFit(*m_tenTimesBox, false);
  m_linkStateField = field("linkState", du.Rect(121, 21, 70, 10));
  m_linkMessageField = field("linkMessage", du.Rect(194, 21, 239, 10));
  m_bitDepthBox = box("bitDepth", du.Rect(7, 37, 38, 13));
  m_setBitDepthButton = button("Set Bit Depth", "setBitDepth", du.Rect(49, 36, 56, 14));
  m_defaultStartButton = button("Default Start State", "defaultStartState", du.Rect(117, 36, 70, 13));
  m_browseButton = button("Browse Output Dir...", "browseOutputDir", du.Rect(195, 36, 75, 13));
  m_aboutButton = button("About...", "about", du.Rect(354, 35, 50, 13));
  m_testBenchButton = button("Test Bench...", "testBench", du.Rect(274, 36, 56, 13));
  m_faultsField = field("faultsField", du.Rect(117, 53, 316, 10));
  m_faultsField->SetBackgroundColour(QColor(255, 165, 0));
  m_faultsField->setVisible(false);
  m_holeDepthBox = box("holeDepth", du.Rect(7, 52, 38, 13));
  m_setHoleDepthButton = button("Set Hole Depth", "setHoleDepth", du.Rect(49, 51, 56, 14));
  m_addItemButton = button("+", "addItem", du.Rect(7, 83, 13, 12));
  m_removeItemButton = button("-", "removeItems", du.Rect(22, 83, 13, 12));
  m_defaultItemsButton = button("Defaults...", "defaultItems", du.Rect(37, 83, 47, 12));
  m_modeBoxLabel = label("Mode", du.Rect(17, 88, 18, 8));
  m_modeBox = new QComboBox(this);
  m_modeBox->setObjectName("modeBox");
  m_modeBox->setGeometry(du.Rect(40, 85, 72, 12));

  m_grids = std::make_unique<CMainWindowGrids>(m_controller, this, logicalDpiY());
  m_grids->ChannelGrid().setGeometry(du.Rect(49, 101, 55, 65));
  m_grids->StateGrid().setGeometry(du.Rect(107, 101, 55, 66));
  m_grids->OutputGrid().setGeometry(du.Rect(165, 97, 55, 66));
  m_grids->WitsInGrid().setGeometry(du.Rect(223, 84, 55, 66));

  m_blockSlider = new QSlider(Qt::Vertical, this);
  m_blockSlider->setObjectName("blockSlider");
  m_blockSlider->setGeometry(du.Rect(283, 84, 20, 71));
  m_blockSlider->setEnabled(false);
  m_blockSlider->setTickPosition(QSlider::NoTicks);
  m_blockSlider->setInvertedAppearance(true);  // the least value (the block a stand high) at the top

  m_tops = {m_tab->y(),
            m_grids->ChannelGrid().y(),
            m_grids->StateGrid().y(),
            m_blockSlider->y(),
            m_grids->OutputGrid().y(),
            m_grids->WitsInGrid().y()};
  resize(du.Size(441, 324));
  const int minimum = mainlayout::MinimumSize(Dpi());
  setMinimumSize(minimum, minimum);
}

void CVornRigSimDlg::ConnectCommands() {
  connect(m_runBox, &QCheckBox::clicked, this, &CVornRigSimDlg::OnRunClicked);
  connect(m_tenTimesBox, &QCheckBox::clicked, this, &CVornRigSimDlg::OnTenTimesSpeed);
  connect(m_settingsButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnSettings);
  connect(m_commSettingsButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnCommSettings);
  connect(m_setBitDepthButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnSetBitDepth);
  connect(m_setHoleDepthButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnSetHoleDepth);
  connect(m_defaultStartButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnDefaultStartState);
  connect(m_browseButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnBrowseOutputDir);
  connect(m_aboutButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnAbout);
  connect(m_testBenchButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnTestBench);
  connect(m_addItemButton, &QPushButton::clicked, this, [this] { m_grids->AddItem(); });
  connect(m_removeItemButton, &QPushButton::clicked, this, [this] { m_grids->RemoveSelectedItems(); });
  connect(m_defaultItemsButton, &QPushButton::clicked, this, &CVornRigSimDlg::OnDefaultItems);
  // activated, not currentIndexChanged: choosing the mode already shown still counts.
  connect(m_modeBox, &QComboBox::activated, this, &CVornRigSimDlg::OnModeSelected);
  connect(m_tab, &QTabWidget::currentChanged, this, &CVornRigSimDlg::OnTabChanged);

  // Ctrl+Tab and Ctrl+PageDown turn to the next tab, Ctrl+Shift+Tab and Ctrl+PageUp to the one before,
  // wherever the focus is in the window: a grid keeps Tab and the page keys for its cells otherwise.
  // Ctrl+Shift+Tab arrives as Backtab from a keyboard.
  const auto turnTabs = [this](std::initializer_list<QKeySequence> keys, int step) {
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    connect(shortcut, &QShortcut::activated, this, [this, step] { TurnTab(step); });
  };
  turnTabs({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
  turnTabs({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
            QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
           -1);
}

void CVornRigSimDlg::TurnTab(int step) {
  const int count = m_tab->count();
  m_tab->setCurrentIndex((m_tab->currentIndex() + step + count) % count);
}

void CVornRigSimDlg::ReadControls() {
  m_nRun = m_runBox->isChecked() ? 1 : 0;
  m_strLinkState = m_linkStateField->text();
  m_strLinkMessage = m_linkMessageField->text();
  m_nTenTimes = m_tenTimesBox->isChecked() ? 1 : 0;
  if (!ReadDepthBox(*m_bitDepthBox, m_fBitDepth)) return;
  m_nMode = m_modeBox->currentIndex();
  ReadDepthBox(*m_holeDepthBox, m_fHoleDepth);
}

bool CVornRigSimDlg::ReadDepthBox(QLineEdit& box, double& value) {
  const std::string text = box.text().toStdString();
  if (vorn::IsWholeDecimal(text)) {
    value = vorn::ReadDecimal(text);
    return true;
  }
  RefuseEntry(box, "Enter a number.");
  return false;
}

void CVornRigSimDlg::ShowFields() {
  m_runBox->setChecked(m_nRun != 0);
  m_linkStateField->setText(m_strLinkState);
  m_linkMessageField->setText(m_strLinkMessage);
  m_tenTimesBox->setChecked(m_nTenTimes != 0);
  m_bitDepthBox->setText(FormatDepth(m_fBitDepth));
  m_modeBox->setCurrentIndex(m_nMode);
  m_holeDepthBox->setText(FormatDepth(m_fHoleDepth));
}

void CVornRigSimDlg::RefreshLinkStatus() {
  const CCommsWrapper& link = m_engine.m_witsLink;
  m_strLinkMessage = Text(LinkMessageText(link));
  m_strLinkState = Text(LinkStateText(link.m_state));
  m_linkStateField->setText(m_strLinkState);
  m_linkMessageField->setText(m_strLinkMessage);

  const QColor buttonFace = palette().color(QPalette::Button);
  switch (link.m_state) {
    case Closed:
      m_linkStateField->SetBackgroundColour(buttonFace);
      m_linkMessageField->SetBackgroundColour(buttonFace);
      break;
    case TryingToConnect:
      m_linkStateField->SetBackgroundColour(kYellow);
      m_linkMessageField->SetBackgroundColour(kYellow);
      break;
    case Connected: {
      m_linkStateField->SetBackgroundColour(kGreen);
      m_linkMessageField->SetBackgroundColour(IsListeningServer(link) && !link.HasClient() ? kYellow : kGreen);
      break;
    }
    default:
      break;
  }
  SetModeFieldText();
}

void CVornRigSimDlg::UpdateBlockSlider() {
  m_blockSlider->setRange(Truncated(0.5 - m_engine.m_settings.m_fStandLength), 0);
  m_blockSlider->setValue(Truncated(0.5 - m_engine.m_fBlockHeight_));
}

void CVornRigSimDlg::SetModeFieldText() { m_modeField->setText(ModeName(m_engine.m_settings.m_mode)); }

void CVornRigSimDlg::LockRunControls(bool locked) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_commSettingsButton, m_addItemButton, m_removeItemButton, m_setBitDepthButton, m_bitDepthBox,
           m_defaultStartButton, m_setHoleDepthButton, m_holeDepthBox}) {
    control->setEnabled(!locked);
  }
}

void CVornRigSimDlg::Present(const CommandResult& result) {
  if (!result.IsDone()) ShowMessage(this, Text(result.message));
}

void CVornRigSimDlg::ShowModeChosen() {
  m_grids->BuildStateGrid();
  m_nMode = m_engine.m_settings.m_mode;
  m_modeBox->setCurrentIndex(m_nMode);
  SetModeFieldText();
}

void CVornRigSimDlg::OnRunChanged(bool running) {
  m_nRun = running ? 1 : 0;
  m_runBox->setChecked(running);
  LockRunControls(running);
}

void CVornRigSimDlg::OnTenTimesChanged(bool on) {
  m_nTenTimes = on ? 1 : 0;
  m_tenTimesBox->setChecked(on);
}

void CVornRigSimDlg::OnModeChanged(int, bool byEngine) {
  if (!byEngine) {
    ShowModeChosen();
    return;
  }
  m_nMode = m_engine.m_settings.m_mode;
  m_grids->BuildStateGrid();
  ShowFields();
  SetModeFieldText();
}

void CVornRigSimDlg::OnLinkChanged(const RigLinkStatus&) { RefreshLinkStatus(); }

void CVornRigSimDlg::OnItemsChanged() { m_grids->ShowChangedItems(); }

void CVornRigSimDlg::OnStateChanged(StateChange what) {
  if (what == StateChange::Depths) {
    m_grids->BuildChannelGrid();
    return;
  }
  UpdateBlockSlider();
  m_grids->BuildStateGrid();
  m_grids->RefreshChannelGrid();
  m_nMode = m_engine.m_settings.m_mode;
  ShowFields();
  SetModeFieldText();
}

void CVornRigSimDlg::OnMessage(const std::string& line) { vorn::Console() << line << std::endl; }

void CVornRigSimDlg::OnFault(const FaultReport&) { RefreshFaultIndicator(); }

void CVornRigSimDlg::OnFaultsChanged() { RefreshFaultIndicator(); }

void CVornRigSimDlg::RefreshFaultIndicator() {
  const std::vector<std::string> active = m_controller.Wire().ActiveFaults();
  m_faultsField->setVisible(!active.empty());
  if (active.empty()) return;
  const QString text = "Faults: " + Text(vorn::JoinText(active, "; "));
  if (m_faultsField->text() != text) m_faultsField->setText(text);
}

void CVornRigSimDlg::OnTestBench() {
  CTestBenchDlg dialog(m_controller, this);
  dialog.exec();
  RefreshFaultIndicator();
}

void CVornRigSimDlg::OnAfterTick() {
  RefreshFaultIndicator();
  RefreshLinkStatus();
  m_grids->HighlightStateRow();
  m_grids->RefreshChannelGrid();
  m_grids->RefreshOutputValues();
  m_grids->RefreshWitsInGrid();
  UpdateBlockSlider();
}

// The slider gives 0 to 100 only, which the controller always takes.
void CVornRigSimDlg::OnFlowGainMessage(int gain) { Present(m_controller.SetGain(gain)); }

void CVornRigSimDlg::ShowTabControls() {
  const int tab = m_tab->currentIndex();
  for (QWidget* control : std::initializer_list<QWidget*>{&m_grids->ChannelGrid(), &m_grids->StateGrid(),
                                                           m_blockSlider, m_modeBox, m_modeBoxLabel}) {
    control->setVisible(tab == StateTab);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{&m_grids->OutputGrid(), m_addItemButton,
                                                           m_removeItemButton, m_defaultItemsButton}) {
    control->setVisible(tab == OutputTab);
  }
  m_grids->WitsInGrid().setVisible(tab == WitsInTab);
}

void CVornRigSimDlg::LayoutControls() {
  if (m_tab == nullptr) return;
  const mainlayout::GridWidths least{CMainWindowGrids::WidthForColumns(m_grids->ChannelGrid()),
                                     CMainWindowGrids::WidthForColumns(m_grids->StateGrid())};
  const mainlayout::Placement placed = mainlayout::LayoutControls(rect(), Dpi(), m_tops, least);
  m_tab->setGeometry(placed.tab);
  m_grids->ChannelGrid().setGeometry(placed.channelGrid);
  m_grids->StateGrid().setGeometry(placed.stateGrid);
  m_blockSlider->setGeometry(placed.slider);
  m_grids->OutputGrid().setGeometry(placed.outputGrid);
  m_grids->WitsInGrid().setGeometry(placed.witsInGrid);
  ShowTabControls();
}

int CVornRigSimDlg::Dpi() const { return logicalDpiX(); }

void CVornRigSimDlg::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
    QDialog::keyPressEvent(event);
    return;
  }
  // Enter pushes the button that has the focus, and nothing else.
  if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button != nullptr && button->isEnabled()) {
    button->click();
  }
}

void CVornRigSimDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayoutControls();
}

void CVornRigSimDlg::OnRunClicked() {
  ReadControls();
  // A start that failed says why here, and only here: a start by another issuer pops nothing up.
  Present(m_controller.SetRunning(m_nRun != 0));
  m_nRun = m_controller.IsRunning() ? 1 : 0;  // a failed start leaves Run unchecked
  m_runBox->setChecked(m_nRun != 0);
  RefreshLinkStatus();
}

void CVornRigSimDlg::OnTenTimesSpeed() {
  ReadControls();
  Present(m_controller.SetTenTimes(m_nTenTimes != 0));
}

void CVornRigSimDlg::OnSettings() {
  const int modeShown = m_engine.m_settings.m_mode;
  CSimSettingsDlg dialog(m_engine.m_settings, [this](int gain) { OnFlowGainMessage(gain); }, this);
  if (dialog.exec() != QDialog::Accepted) return;
  Present(m_controller.ApplySettings(dialog.Settings(), modeShown));
}

void CVornRigSimDlg::OnCommSettings() {
  std::unique_ptr<CCommsSettingsDlg> dialog;
  {
    const WaitCursor wait;  // the dialog probes the serial ports as it opens
    dialog = std::make_unique<CCommsSettingsDlg>(m_engine.m_witsLink.m_settings, this);
  }
  if (dialog->exec() != QDialog::Accepted) return;
  const WaitCursor wait;
  Present(m_controller.SetLinkSettings(dialog->Settings()));  // a run started meanwhile refuses it
}

void CVornRigSimDlg::OnSetBitDepth() {
  ReadControls();
  Present(m_controller.SetBitDepth(m_fBitDepth));
}

void CVornRigSimDlg::OnSetHoleDepth() {
  ReadControls();
  Present(m_controller.SetHoleDepth(m_fHoleDepth));
}

void CVornRigSimDlg::OnDefaultStartState() {
  if (!AskYesNo(this, "Set to Default Starting State?", "Reset to Default State")) return;
  Present(m_controller.SetDefaultStartState());
}

void CVornRigSimDlg::OnModeSelected() {
  ReadControls();
  Present(m_controller.SetMode(m_nMode));
  // The mode already set is no change to be told, and a box that could not be read goes back to it.
  ShowModeChosen();
}

void CVornRigSimDlg::OnBrowseOutputDir() { vorn::LaunchWithFile("xdg-open", vorn::OutputFilesFolder()); }

void CVornRigSimDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CVornRigSimDlg::OnDefaultItems() {
  if (AskYesNo(this, "Load Defaults?", "Load Defaults?")) m_grids->LoadDefaultItems();
}

void CVornRigSimDlg::OnTabChanged(int index) {
  ShowTabControls();
  m_profile.WriteInt(kTabEntry, index);
}
