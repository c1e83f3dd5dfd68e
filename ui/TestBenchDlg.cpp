#include "ui/TestBenchDlg.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>

#include "command/RigController.h"
#include "faults/FaultOrder.h"
#include "ui/MessageBoxes.h"

namespace {

constexpr int kRefreshMs = 500;
constexpr int kLineEditTextMargin = 2;  // a line edit's own space either side of its text

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

// The width at which a line edit shows the whole of text: its frame, margins and the room for text
// are the style's, measured at the box's present width.
int WidthShowing(const QLineEdit& edit, const QString& text) {
  QStyleOptionFrame frame;
  frame.initFrom(&edit);
  frame.rect = QRect(0, 0, std::max(edit.width(), 1), edit.height());
  frame.lineWidth = edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &edit) : 0;
  const QMargins margins = edit.textMargins();
  const int room = edit.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &edit).width() -
                   margins.left() - margins.right() - 2 * kLineEditTextMargin;
  return frame.rect.width() - room + edit.fontMetrics().horizontalAdvance(text) + 1;
}

}  // namespace

CTestBenchDlg::CTestBenchDlg(CRigController& controller, QWidget* parent) : QDialog(parent), m_controller(controller) {
  CreateControls();
  m_plan->setPlainText(R"([
    {"at": 30, "fault": "silence", "seconds": 31},
    {"at": 90, "fault": "split", "pieces": 3, "gap_ms": 500}
])");
  m_seed->setText(QString::number(m_controller.Wire().Seed()));
  RefreshActive();
  m_refresh.setInterval(kRefreshMs);
  connect(&m_refresh, &QTimer::timeout, this, &CTestBenchDlg::RefreshActive);
  m_refresh.start();
}

void CTestBenchDlg::CreateControls() {
  setWindowTitle("Test Bench");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* planBox = new QGroupBox("Fault plan (JSON)", this);
  m_plan = new QPlainTextEdit(planBox);
  m_plan->setObjectName("planEdit");
  auto* load = Button("Load...", "loadPlan", planBox);
  auto* start = Button("Start Plan", "startPlan", planBox);
  auto* stop = Button("Stop Faults", "stopFaults", planBox);
  auto* planButtons = new QHBoxLayout;
  planButtons->addWidget(load);
  planButtons->addStretch();
  planButtons->addWidget(start);
  planButtons->addWidget(stop);
  auto* planLayout = new QVBoxLayout(planBox);
  planLayout->addWidget(m_plan);
  planLayout->addLayout(planButtons);

  auto* injectBox = new QGroupBox("Inject now", this);
  m_faultList = new QComboBox(injectBox);
  m_faultList->setObjectName("faultList");
  for (int kind = 0; kind < kFaultKindCount; ++kind) {
    m_faultList->addItem(QString::fromUtf8(FaultName(static_cast<FaultKind>(kind)).data()));
  }
  m_parameters = new QLineEdit(injectBox);
  m_parameters->setObjectName("faultParameters");
  m_parameters->setPlaceholderText("KEY=VALUE,...  (e.g. pieces=3,gap_ms=50 or every=5)");
  m_parameters->setMinimumWidth(WidthShowing(*m_parameters, m_parameters->placeholderText()));
  auto* inject = Button("Inject", "injectFault", injectBox);
  auto* injectLayout = new QHBoxLayout(injectBox);
  injectLayout->addWidget(m_faultList);
  injectLayout->addWidget(m_parameters, 1);
  injectLayout->addWidget(inject);

  auto* seedLabel = new QLabel("Seed", this);
  m_seed = new QLineEdit(this);
  m_seed->setObjectName("seedEdit");
  auto* setSeed = Button("Set Seed", "setSeed", this);
  auto* seedLayout = new QHBoxLayout;
  seedLayout->addWidget(seedLabel);
  seedLayout->addWidget(m_seed, 1);
  seedLayout->addWidget(setSeed);

  auto* activeLabel = new QLabel("Active faults", this);
  m_active = new QListWidget(this);
  m_active->setObjectName("activeList");
  auto* close = Button("Close", "closeButton", this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(planBox, 2);
  layout->addWidget(injectBox);
  layout->addLayout(seedLayout);
  layout->addWidget(activeLabel);
  layout->addWidget(m_active, 1);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(520, 520);

  connect(load, &QPushButton::clicked, this, &CTestBenchDlg::OnLoad);
  connect(start, &QPushButton::clicked, this, &CTestBenchDlg::OnStartPlan);
  connect(stop, &QPushButton::clicked, this, &CTestBenchDlg::OnStopFaults);
  connect(inject, &QPushButton::clicked, this, &CTestBenchDlg::OnInject);
  connect(setSeed, &QPushButton::clicked, this, &CTestBenchDlg::OnSetSeed);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void CTestBenchDlg::LoadPlanFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    ShowMessage(this, "Cannot read the fault plan '" + path + "': " + file.errorString());
    return;
  }
  m_plan->setPlainText(QString::fromUtf8(file.readAll()));
}

void CTestBenchDlg::OnLoad() {
  const QString path = QFileDialog::getOpenFileName(this, "Load Fault Plan", QString(), "Fault plans (*.json);;All files (*)");
  if (!path.isEmpty()) LoadPlanFile(path);
}

void CTestBenchDlg::OnStartPlan() {
  const CommandResult result = m_controller.SetFaultPlan(m_plan->toPlainText().toStdString());
  if (!result.IsDone()) ShowMessage(this, QString::fromStdString(result.message));
  m_seed->setText(QString::number(m_controller.Wire().Seed()));  // a plan may name its seed
  RefreshActive();
}

void CTestBenchDlg::OnStopFaults() {
  (void)m_controller.ClearFaultPlan();
  RefreshActive();
}

void CTestBenchDlg::OnInject() {
  QString text = m_faultList->currentText();
  const QString parameters = m_parameters->text().trimmed();
  if (!parameters.isEmpty()) text += ":" + parameters;
  const CommandResult result = m_controller.InjectFault(text.toStdString());
  if (!result.IsDone()) ShowMessage(this, QString::fromStdString(result.message));
  RefreshActive();
}

void CTestBenchDlg::OnSetSeed() {
  const std::optional<uint64_t> seed = ParseSeed(m_seed->text().trimmed().toStdString());
  if (!seed) {
    RefuseEntry(*m_seed, "Enter a whole number from 0 to 18446744073709551615.");
    return;
  }
  (void)m_controller.SetFaultSeed(*seed);
}

void CTestBenchDlg::RefreshActive() {
  QStringList texts;
  for (const std::string& text : m_controller.Wire().ActiveFaults()) texts << QString::fromStdString(text);
  QStringList shown;
  for (int i = 0; i < m_active->count(); ++i) shown << m_active->item(i)->text();
  if (shown == texts) return;
  m_active->clear();
  m_active->addItems(texts);
}
