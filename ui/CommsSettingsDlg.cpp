#include "ui/CommsSettingsDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

#include "support/Numbers.h"
#include "support/Text.h"
#include "ui/DialogUnits.h"
#include "ui/MessageBoxes.h"
#include "ui/NetAddressCtrl.h"
#include "ui/SerialPortList.h"

namespace {

// The index of the checked button of a pair: 0 the first, 1 the second, -1 neither.
int32_t CheckedIndex(const QRadioButton* first, const QRadioButton* second) {
  if (first->isChecked()) return 0;
  if (second->isChecked()) return 1;
  return -1;
}

void CheckIndex(QButtonGroup* group, QRadioButton* first, QRadioButton* second, int32_t index) {
  group->setExclusive(false);  // an exclusive pair cannot be cleared
  first->setChecked(index == 0);
  second->setChecked(index == 1);
  group->setExclusive(true);
}

// The port or bit rate an entry or a field stands for: its first word ("COM5" of "COM5 (ttyUSB0)").
QString ValueOf(const QString& text) { return text.section(QLatin1Char(' '), 0, 0); }

// Selects the entry for the same port or bit rate as text, ignoring case. A value that no entry holds
// (a port that is gone, a rate the list does not offer) gets an entry of its own at the end, marked as
// not found, so that OK keeps it unless the operator picks another; an empty value selects nothing.
void SelectValue(QComboBox* list, const QString& text) {
  const QString value = ValueOf(text);
  if (value.isEmpty()) {
    list->setCurrentIndex(-1);
    return;
  }
  for (int i = 0; i < list->count(); ++i) {
    if (ValueOf(list->itemText(i)).compare(value, Qt::CaseInsensitive) == 0) {
      list->setCurrentIndex(i);
      return;
    }
  }
  list->addItem(value + " (not found)");
  list->setCurrentIndex(list->count() - 1);
}

QString SelectedText(const QComboBox* list) { return list->currentIndex() < 0 ? QString() : list->currentText(); }

// A whole decimal integer, with white space around it allowed.
bool IsInteger(const std::string& text) {
  const std::string_view trimmed = vorn::TrimWhiteSpace(text);
  size_t i = 0;
  if (i < trimmed.size() && (trimmed[i] == '+' || trimmed[i] == '-')) ++i;
  if (i == trimmed.size()) return false;
  for (; i < trimmed.size(); ++i) {
    if (trimmed[i] < '0' || trimmed[i] > '9') return false;
  }
  return true;
}

// A label whose text ends at the right edge of its rectangle; a text wider than the rectangle in the
// dialog's font grows to the left rather than being cut.
QLabel* RightAlignedLabel(const QString& text, const QRect& rect, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QRect placed = rect;
  placed.setLeft(std::min(rect.left(), rect.right() + 1 - label->sizeHint().width()));
  label->setGeometry(placed);
  return label;
}

}  // namespace

QString EscapeLineEnds(const std::string& text) {
  QString escaped;
  for (const char c : text) {
    if (c == '\r') escaped += "\\r";
    else if (c == '\n') escaped += "\\n";
    else if (c == '\\') escaped += "\\\\";
    else escaped += QString::fromUtf8(&c, 1);
  }
  return escaped;
}

std::string UnescapeLineEnds(const QString& text) {
  const std::string bytes = text.toStdString();
  std::string plain;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\\' && i + 1 < bytes.size()) {
      const char next = bytes[i + 1];
      if (next == 'r' || next == 'n' || next == '\\') {
        plain += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
        ++i;
        continue;
      }
    }
    plain += bytes[i];
  }
  return plain;
}

CCommsSettingsDlg::CCommsSettingsDlg(const CWitsCommSettings& settings, QWidget* parent)
    : QDialog(parent),
      m_nKeepPort(settings.nCommPort),
      m_nKind(settings.commType),
      m_strPort(QString("COM%1").arg(settings.nCommPort)),
      m_strBaud(QString::number(settings.nBaudRate)),
      m_nRole(settings.tcpIpType),
      m_nTcpPort(settings.nTcpIpPort),
      m_strAddress(QString::fromStdString(settings.strIpAddress)) {
  m_result = settings;  // the wire profile's members come back as they were unless changed here
  CreateControls();
  m_keepAlive->setText(QString::fromStdString(vorn::FormatG(settings.fKeepAliveInterval)));
  m_keepAliveText->setText(EscapeLineEnds(settings.strKeepAliveText));
  m_answerMode->setCurrentIndex(std::clamp(settings.answerMode, 0, 2));
  m_lineEnd->setCurrentIndex(std::clamp(settings.lineEnd, 0, 2));
  m_frameGrouping->setCurrentIndex(std::clamp(settings.frameGrouping, 0, 1));
  m_maxClients->setValue(std::clamp(settings.nMaxClients, 1, kMaxLinkClients));
  m_listenAddress->setText(QString::fromStdString(settings.strListenAddress));
  FillPortList();
  m_baudList->clear();
  for (const char* rate : kBaudRates) m_baudList->addItem(rate);
  ApplyKindRule();
  ApplyRoleRule();
  ShowFields();
  FitListBoxes();
}

const CWitsCommSettings& CCommsSettingsDlg::Settings() const { return m_result; }

void CCommsSettingsDlg::CreateControls() {
  setWindowTitle("Comms Settings");
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setFont(DialogFont());
  const DialogUnits du(font());
  setFixedSize(du.Size(235, 158));

  m_comm = new QRadioButton("Comm", this);
  m_comm->setGeometry(du.Rect(6, 6, 32, 9));
  m_tcpIp = new QRadioButton("TCP/IP", this);
  m_tcpIp->setGeometry(du.Rect(6, 20, 38, 9));
  m_kindGroup = new QButtonGroup(this);
  m_kindGroup->addButton(m_comm);
  m_kindGroup->addButton(m_tcpIp);

  m_portLabel = RightAlignedLabel("Port", du.Rect(47, 6, 14, 8), this);
  m_portList = new QComboBox(this);
  m_portList->setGeometry(du.Rect(64, 4, 48, 12));
  m_refresh = new QPushButton(this);
  m_refresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  m_refresh->setToolTip("Look for serial ports again");
  m_refresh->setGeometry(du.Rect(114, 4, 8, 12));
  m_refresh->setIconSize(m_refresh->size() - QSize(4, 4));
  m_refresh->setAutoDefault(false);
  m_baudLabel = RightAlignedLabel("Baud Rate", du.Rect(130, 6, 34, 8), this);
  m_baudList = new QComboBox(this);
  m_baudList->setGeometry(du.Rect(167, 4, 48, 12));

  m_master = new QRadioButton("Master", this);
  m_master->setGeometry(du.Rect(19, 33, 38, 9));
  m_slave = new QRadioButton("Slave", this);
  m_slave->setGeometry(du.Rect(19, 46, 33, 9));
  m_roleGroup = new QButtonGroup(this);
  m_roleGroup->addButton(m_master);
  m_roleGroup->addButton(m_slave);

  m_tcpPortLabel = RightAlignedLabel("Port", du.Rect(59, 39, 14, 8), this);
  m_tcpPort = new QLineEdit(this);
  m_tcpPort->setGeometry(du.Rect(75, 37, 40, 13));
  m_addressLabel = RightAlignedLabel("IP Address", du.Rect(120, 39, 35, 8), this);
  m_address = new CNetAddressCtrl(this);
  m_address->setGeometry(du.Rect(158, 37, 70, 13));

  // A server's receivers: how many at once, and the address it listens on (empty: every address).
  m_maxClientsLabel = RightAlignedLabel("Clients", du.Rect(47, 55, 26, 8), this);
  m_maxClients = new QSpinBox(this);
  m_maxClients->setGeometry(du.Rect(75, 53, 40, 13));
  m_maxClients->setRange(1, kMaxLinkClients);
  m_maxClients->setToolTip("Receivers served at once; with 1 a new connection replaces the old one");
  m_listenLabel = RightAlignedLabel("Listen on", du.Rect(120, 39, 35, 8), this);
  m_listenAddress = new QLineEdit(this);
  m_listenAddress->setGeometry(du.Rect(158, 37, 70, 13));
  m_listenAddress->setPlaceholderText("every address");
  m_listenAddress->setToolTip("The local IP address to listen on (127.0.0.1 keeps the feed on this machine); "
                              "empty: every address");

  // The wire profile: how frames go out on the link.
  RightAlignedLabel("Keep-alive (s)", du.Rect(4, 80, 50, 8), this);
  m_keepAlive = new QLineEdit(this);
  m_keepAlive->setGeometry(du.Rect(57, 78, 30, 13));
  m_keepAlive->setToolTip("Seconds without anything sent before the keep-alive packet goes out; 0: never");
  RightAlignedLabel("Packet", du.Rect(92, 80, 24, 8), this);
  m_keepAliveText = new QLineEdit(this);
  m_keepAliveText->setGeometry(du.Rect(119, 78, 109, 13));
  m_keepAliveText->setToolTip("The keep-alive packet; \\r and \\n stand for CR and LF");
  RightAlignedLabel("Answer", du.Rect(4, 97, 50, 8), this);
  m_answerMode = new QComboBox(this);
  m_answerMode->setGeometry(du.Rect(57, 95, 171, 12));
  m_answerMode->addItems({"Every arrival when the receiver must ask (ping)", "Each valid frame, with one frame",
                          "Each valid frame, with one frame per record"});
  RightAlignedLabel("Line ends", du.Rect(4, 113, 50, 8), this);
  m_lineEnd = new QComboBox(this);
  m_lineEnd->setGeometry(du.Rect(57, 111, 50, 12));
  m_lineEnd->addItems({"CR LF", "LF", "CR"});
  RightAlignedLabel("Frames", du.Rect(110, 113, 26, 8), this);
  m_frameGrouping = new QComboBox(this);
  m_frameGrouping->setGeometry(du.Rect(139, 111, 89, 12));
  m_frameGrouping->addItems({"All items in one", "One per record"});

  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  ok->setGeometry(du.Rect(47, 138, 50, 14));
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setAutoDefault(false);
  cancel->setGeometry(du.Rect(138, 138, 50, 14));

  // Names the tests and the accessibility tools find the controls by.
  m_comm->setObjectName("commRadio");
  m_tcpIp->setObjectName("tcpIpRadio");
  m_portList->setObjectName("portList");
  m_refresh->setObjectName("refreshButton");
  m_baudList->setObjectName("baudList");
  m_master->setObjectName("masterRadio");
  m_slave->setObjectName("slaveRadio");
  m_tcpPort->setObjectName("tcpPortEdit");
  m_addressLabel->setObjectName("addressLabel");
  m_address->setObjectName("addressEdit");
  m_keepAlive->setObjectName("keepAliveEdit");
  m_keepAliveText->setObjectName("keepAliveTextEdit");
  m_answerMode->setObjectName("answerModeList");
  m_lineEnd->setObjectName("lineEndList");
  m_frameGrouping->setObjectName("frameGroupingList");
  m_maxClients->setObjectName("maxClientsSpin");
  m_listenAddress->setObjectName("listenAddressEdit");
  ok->setObjectName("okButton");
  cancel->setObjectName("cancelButton");

  for (QComboBox* list : {m_portList, m_baudList}) list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_laidOut = {m_portList->geometry(), m_refresh->geometry(), m_baudLabel->geometry(), m_baudList->geometry(),
               width()};

  // The kind and role rules work on the fields, so each click reads the controls first.
  for (QRadioButton* kind : {m_comm, m_tcpIp}) {
    connect(kind, &QRadioButton::clicked, this, [this] {
      ReadFields();
      ApplyKindRule();
    });
  }
  for (QRadioButton* role : {m_master, m_slave}) {
    connect(role, &QRadioButton::clicked, this, [this] {
      ReadFields();
      ApplyRoleRule();
    });
  }
  connect(m_refresh, &QPushButton::clicked, this, &CCommsSettingsDlg::FillPortList);
  connect(ok, &QPushButton::clicked, this, &CCommsSettingsDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CCommsSettingsDlg::reject);
}

bool CCommsSettingsDlg::ReadFields() {
  m_nKind = CheckedIndex(m_comm, m_tcpIp);
  m_strPort = SelectedText(m_portList);
  m_strBaud = SelectedText(m_baudList);
  m_nRole = CheckedIndex(m_master, m_slave);
  const std::string port = m_tcpPort->text().toStdString();
  if (!IsInteger(port)) {
    RefuseEntry(*m_tcpPort, "Enter an integer.");
    return false;
  }
  m_nTcpPort = vorn::ReadInteger(port);
  m_strAddress = m_address->text();
  return true;
}

void CCommsSettingsDlg::ShowFields() {
  CheckIndex(m_kindGroup, m_comm, m_tcpIp, m_nKind);
  SelectValue(m_portList, m_strPort);
  SelectValue(m_baudList, m_strBaud);
  CheckIndex(m_roleGroup, m_master, m_slave, m_nRole);
  m_tcpPort->setText(QString::number(m_nTcpPort));
  m_address->setText(m_strAddress);
}

// Opening every port takes a moment: the wait cursor shows it.
void CCommsSettingsDlg::FillPortList() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
  m_portList->clear();
  for (const std::string& text : CSerialPortList::EnumerateSerialPorts(m_nKeepPort)) {
    m_portList->addItem(QString::fromStdString(text));
  }
  ShowFields();
  FitListBoxes();
}

void CCommsSettingsDlg::FitListBoxes() {
  const auto widened = [](QComboBox* list, const QRect& laidOut, int shift) {
    QRect placed = laidOut.translated(shift, 0);
    placed.setWidth(std::max(laidOut.width(), list->sizeHint().width()));
    list->setGeometry(placed);
    return shift + placed.width() - laidOut.width();
  };
  const int shift = widened(m_portList, m_laidOut.portList, 0);
  m_refresh->setGeometry(m_laidOut.refresh.translated(shift, 0));
  m_baudLabel->setGeometry(m_laidOut.baudLabel.translated(shift, 0));
  const int rowShift = widened(m_baudList, m_laidOut.baudList, shift);
  setFixedWidth(m_laidOut.dialogWidth + rowShift);
}

void CCommsSettingsDlg::ApplyKindRule() {
  const bool serial = m_nKind == 0;
  const bool tcpIp = m_nKind == 1;
  for (QWidget* control : std::initializer_list<QWidget*>{m_portLabel, m_portList, m_refresh, m_baudLabel, m_baudList}) {
    control->setEnabled(serial);
  }
  for (QWidget* control : std::initializer_list<QWidget*>{m_master, m_slave, m_tcpPortLabel, m_tcpPort, m_addressLabel,
                                                          m_address, m_maxClientsLabel, m_maxClients, m_listenLabel,
                                                          m_listenAddress}) {
    control->setEnabled(tcpIp);
  }
}

void CCommsSettingsDlg::ApplyRoleRule() {
  m_addressLabel->setVisible(m_nRole == 1);
  m_address->setVisible(m_nRole == 1);
  for (QWidget* server : std::initializer_list<QWidget*>{m_maxClientsLabel, m_maxClients, m_listenLabel, m_listenAddress}) {
    server->setVisible(m_nRole == 0);
  }
}

// The result takes the fields even when the TCP port is bad; only a second, clean reading closes.
void CCommsSettingsDlg::accept() {
  ReadFields();
  std::string port = m_strPort.toStdString();
  for (size_t at = port.find("COM"); at != std::string::npos; at = port.find("COM")) port.erase(at, 3);
  m_result.commType = m_nKind;
  m_result.nCommPort = vorn::ReadInteger(port);
  m_result.nBaudRate = vorn::ReadInteger(m_strBaud.toStdString());
  m_result.tcpIpType = m_nRole;
  m_result.nTcpIpPort = m_nTcpPort;
  m_result.strIpAddress = m_strAddress.toStdString();
  const std::string keepAlive = m_keepAlive->text().toStdString();
  if (!vorn::IsWholeDecimal(keepAlive) || vorn::ReadDecimal(keepAlive) < 0.0) {
    RefuseEntry(*m_keepAlive, "Enter a number.");
    return;
  }
  m_result.fKeepAliveInterval = vorn::ReadDecimal(keepAlive);
  m_result.strKeepAliveText = UnescapeLineEnds(m_keepAliveText->text());
  m_result.answerMode = m_answerMode->currentIndex();
  m_result.lineEnd = m_lineEnd->currentIndex();
  m_result.frameGrouping = m_frameGrouping->currentIndex();
  m_result.nMaxClients = m_maxClients->value();
  const QString listen = m_listenAddress->text().trimmed();
  if (QHostAddress parsed; !listen.isEmpty() && !parsed.setAddress(listen)) {
    RefuseEntry(*m_listenAddress, "Enter an IP address of this machine, or nothing for every address.");
    return;
  }
  m_result.strListenAddress = listen.toStdString();
  if (ReadFields()) QDialog::accept();
}
