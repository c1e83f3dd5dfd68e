#include "ui/SimSettingsDlg.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <cmath>

#include "ui/DialogUnits.h"
#include "ui/MessageBoxes.h"
#include "ui/MFCPropertyGridProperty_Formatted.h"
#include "ui/VornMFCPropertyGridCtrl.h"
#include "ui/WidgetPlacement.h"

namespace {

// One row of the list: a number field, or the one true/false field.
struct SettingRow {
  const char* name;
  const char* description;
  double CSimSettings::*number;
  bool CSimSettings::*flag;
};

// The rows in their order on screen. "WITS Out Interval" is shown only while pings are not required.
const SettingRow kRows[] = {
    {"Calculation Interval", "Interval to Calculate Data in seconds", &CSimSettings::m_fCalcOutputInterval, nullptr},
    {"Write File Interval", "Interval to write to file in seconds", &CSimSettings::m_fWriteFileInterval, nullptr},
    {"WITS Out Requires Ping", "WITS Requires Ping to Send Data", nullptr, &CSimSettings::m_bRequiresPing},
    {"WITS Out Interval", "Interval to write out WITS Data", &CSimSettings::m_fWitsOutInterval, nullptr},
    {"Time Releasing Slips", "", &CSimSettings::m_fTimeToWaitForReleasingSlips_sec, nullptr},
    {"Time Settings Slips", "", &CSimSettings::m_fTimeToWaitForSettingsSlips_sec, nullptr},
    {"Time Turn On Pumps", "", &CSimSettings::m_fTimeToTurnOnPumps_sec, nullptr},
    {"Time Pause After Pumps On", "", &CSimSettings::m_fTimeToPauseAfterPumpsOn_sec, nullptr},
    {"Time Turn Off Pumps", "", &CSimSettings::m_fTimeToTurnOffPumps_sec, nullptr},
    {"Time Pause After Pumps Off", "", &CSimSettings::m_fTimeToPauseAfterPumpsOff_sec, nullptr},
    {"Distance to Pick Up Off Bottom", "", &CSimSettings::m_fDepthToPickUpOffBottom, nullptr},
    {"Depth To Slide", "", &CSimSettings::m_fDepthToSlide, nullptr},
    {"Stand Length", "", &CSimSettings::m_fStandLength, nullptr},
    {"Pipe Speed Wipe", "", &CSimSettings::fPipeSpeed_Wipe, nullptr},
    {"Pipe Speed Picking Up", "", &CSimSettings::fPipeSpeed_PickingUp, nullptr},
    {"Pipe Speed Connection", "", &CSimSettings::fPipeSpeed_ConnectionUp, nullptr},
    {"Pipe Speed Drill Sliding", "", &CSimSettings::fPipeSpeed_Drill_Slide, nullptr},
    {"Pipe Speed Drill Rotating", "", &CSimSettings::fPipeSpeed_Drill_Rotating, nullptr},
    {"Pipe Speed Trip", "", &CSimSettings::fPipeSpeed_Trip, nullptr},
    {"Flow Rate", "", &CSimSettings::m_fFlowRate, nullptr},
    {"SPP", "", &CSimSettings::m_fSPP, nullptr},
    {"Pump 1 SPM", "", &CSimSettings::m_fPump1SPM, nullptr},
    {"Pump 2 SPM", "", &CSimSettings::m_fPump2SPM, nullptr},
    {"WOB", "", &CSimSettings::m_fWOB, nullptr},
    {"TORQ", "", &CSimSettings::m_fTorq, nullptr},
    {"RPM", "", &CSimSettings::m_fRPM, nullptr},
    {"HOOKLOAD OFF BOTTOM", "", &CSimSettings::m_fHookLoad, nullptr},
};

constexpr const char* kIntervalRowName = "WITS Out Interval";
constexpr const char* kPlacementEntry = "WindowPlacment";
constexpr int kListMargin = 5;  // pixels between the list and the client area's right and bottom edges

int Nearest(double value) { return static_cast<int>(std::floor(value + 0.5)); }

}  // namespace

CSimSettingsDlg::CSimSettingsDlg(const CSimSettings& settings, std::function<void(int)> gainMessage, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_gainMessage(std::move(gainMessage)) {
  setWindowTitle("Sim Settings");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFont(DialogFont());

  // The smallest size is 340 by 500 pixels at 96 dots per inch, scaled with the screen.
  const int dpi = logicalDpiX();
  setMinimumSize(Nearest(dpi * 340.0 / 96.0), Nearest(dpi * 500.0 / 96.0));
  resize(minimumSize());
  new CPlacementKeeper(*this, vorn::CProfileSection("VornRigSim", "SetDlg"), kPlacementEntry);

  const DialogUnits du(font());
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  ok->setGeometry(du.Rect(7, 7, 50, 14));
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("cancelButton");
  cancel->setGeometry(du.Rect(61, 7, 50, 14));
  auto* defaults = new QPushButton("Default", this);
  defaults->setObjectName("defaultButton");
  defaults->setGeometry(du.Rect(115, 7, 50, 14));

  auto* gainCaption = new QLabel("Flow SPP Gain", this);
  gainCaption->setGeometry(du.Rect(7, 29, 50, 8));
  m_gainSlider = new QSlider(Qt::Horizontal, this);
  m_gainSlider->setObjectName("gainSlider");
  m_gainSlider->setTickPosition(QSlider::NoTicks);
  m_gainSlider->setGeometry(du.Rect(58, 26, 110, 14));
  m_gainValue = new QLabel(this);
  m_gainValue->setObjectName("gainValue");
  m_gainValue->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_gainValue->setAlignment(Qt::AlignCenter);
  m_gainValue->setGeometry(du.Rect(171, 27, 20, 12));
  auto* percent = new QLabel("%", this);
  percent->setGeometry(du.Rect(194, 29, 10, 8));

  m_propertyList = new CVornMFCPropertyGridCtrl(this);
  m_propertyList->setObjectName("propertyList");
  m_propertyList->move(du.X(7), du.Y(45));

  connect(ok, &QPushButton::clicked, this, &CSimSettingsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CSimSettingsDlg::reject);
  connect(defaults, &QPushButton::clicked, this, &CSimSettingsDlg::OnDefault);

  // A stored gain outside 0 to 100 shows at the nearer end; the first drawing then sends that end.
  m_gainSlider->setRange(0, 100);
  m_gainSlider->setValue(m_settings.m_nFlowSPPGain);
  m_gainValue->setNum(m_gainSlider->value());
  m_gainSlider->installEventFilter(this);

  m_propertyList->m_pPropChangeIF = this;
  FitPropertyList();
  BuildPropertyList();
}

const CSimSettings& CSimSettingsDlg::Settings() const { return m_settings; }

void CSimSettingsDlg::BuildPropertyList() {
  m_propertyList->setUpdatesEnabled(false);
  m_propertyList->RemoveAll();
  for (const SettingRow& row : kRows) {
    if (row.flag != nullptr) {
      m_propertyList->AddProperty(std::make_unique<CVornPropertyGridProperty>(row.name, m_settings.*row.flag,
                                                                             row.description));
      continue;
    }
    if (m_settings.m_bRequiresPing && QString(row.name) == kIntervalRowName) continue;
    m_propertyList->AddProperty(std::make_unique<CMFCPropertyGridProperty_Formatted>(
        row.name, m_settings.*row.number, row.description, "%g"));
  }
  m_propertyList->setUpdatesEnabled(true);
}

// Each property present goes to the field of the row with exactly its name; absent rows keep their field.
void CSimSettingsDlg::ReadPropertyList() {
  for (int i = 0; i < m_propertyList->GetPropertyCount(); ++i) {
    const CVornPropertyGridProperty* property = m_propertyList->GetProperty(i);
    for (const SettingRow& row : kRows) {
      if (property->GetName() != row.name) continue;
      if (row.flag != nullptr) {
        m_settings.*row.flag = property->GetFlag();
      } else {
        m_settings.*row.number = property->GetNumber();
      }
      break;
    }
  }
}

// The rebuild destroys the changed property, which the list still uses after this returns: it waits
// for the event loop.
void CSimSettingsDlg::OnPropChange(CVornPropertyGridProperty*) {
  ReadPropertyList();
  QMetaObject::invokeMethod(this, [this] { BuildPropertyList(); }, Qt::QueuedConnection);
}

void CSimSettingsDlg::accept() {
  ReadPropertyList();
  const std::string reason = m_settings.Validate();
  if (!reason.empty()) {
    ShowMessage(this, "Settings Validation Failed.\n" + QString::fromStdString(reason));
    return;
  }
  QDialog::accept();
}

// Every time the slider paints (on opening and on every movement) its position becomes the gain.
bool CSimSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_gainSlider && event->type() == QEvent::Paint) OnSliderDrawn();
  return QDialog::eventFilter(watched, event);
}

void CSimSettingsDlg::OnSliderDrawn() {
  const int position = m_gainSlider->value();
  m_settings.m_nFlowSPPGain = position;
  m_gainValue->setNum(position);
  if (m_gainMessage) m_gainMessage(position);
}

// Of the two ways open for the gain after "Default", the slider follows the defaults to 100: the
// operator sees the gain the dialog will hand back, and the engine gets it as the slider redraws.
void CSimSettingsDlg::OnDefault() {
  m_settings.SetDefaults();
  BuildPropertyList();
  m_gainSlider->setValue(m_settings.m_nFlowSPPGain);
  m_gainValue->setNum(m_gainSlider->value());
}

void CSimSettingsDlg::FitPropertyList() {
  if (m_propertyList == nullptr) return;
  const QPoint topLeft = m_propertyList->pos();
  m_propertyList->resize(std::max(0, width() - kListMargin - topLeft.x()),
                         std::max(0, height() - kListMargin - topLeft.y()));
}

void CSimSettingsDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitPropertyList();
}
