#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QSerialPort>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "support/Console.h"
#include "support/DataRoot.h"
#include "tests/common/EventWait.h"
#include "tests/common/TestEnvironment.h"
#include "tests/ui/DialogTestParts.h"
#include "ui/CommsSettingsDlg.h"
#include "ui/SerialPortList.h"

namespace {

using namespace vorn::test;
namespace fs = std::filesystem;

// A socat pseudo-terminal pair whose one end is "<data root>/Ports/COM<n>".
class PortLine {
 public:
  explicit PortLine(int n) : path(vorn::PortsFolder() + "/COM" + std::to_string(n)) {
    const std::string peer = MakeScratchFolder("peer" + std::to_string(n)) + "/tty";
    m_socat.start("socat", {"pty,raw,echo=0,link=" + QString::fromStdString(path),
                            "pty,raw,echo=0,link=" + QString::fromStdString(peer)});
    ready = m_socat.waitForStarted(5000) && WaitUntil([&] { return fs::exists(path) && fs::exists(peer); }, 5000);
  }
  ~PortLine() {
    m_socat.kill();
    m_socat.waitForFinished(5000);
  }
  const std::string path;
  bool ready = false;

 private:
  QProcess m_socat;
};

class CommsSettingsDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(vorn::PortsFolder());
    fs::create_directories(vorn::PortsFolder());
    if (QStandardPaths::findExecutable("socat").isEmpty()) GTEST_SKIP() << "socat is not installed";
  }
  std::unique_ptr<CCommsSettingsDlg> Open(const CWitsCommSettings& settings) {
    auto dialog = std::make_unique<CCommsSettingsDlg>(settings);
    dialog->open();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    ports = dialog->findChild<QComboBox*>("portList");
    return dialog;
  }
  template <typename T = QWidget>
  static T* Find(CCommsSettingsDlg& dialog, const char* name) { return dialog.findChild<T*>(name); }
  static void Click(CCommsSettingsDlg& dialog, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(dialog, name), Qt::LeftButton);
    Settle();
  }
  // The index of the entry for port n ("COM<n>" or "COM<n> (device)"), -1 when none.
  int EntryOf(int n) const {
    for (int i = 0; i < ports->count(); ++i) {
      if (ports->itemText(i).section(' ', 0, 0) == QString("COM%1").arg(n)) return i;
    }
    return -1;
  }
  static CWitsCommSettings Serial(int32_t port) {
    CWitsCommSettings settings;
    settings.commType = Comm;
    settings.nCommPort = port;
    return settings;
  }
  QComboBox* ports = nullptr;
};

TEST_F(CommsSettingsDlgTest, KindAndRoleEnableAndShowTheirControls) {
  auto dialog = Open(CWitsCommSettings());  // TCP/IP, Master
  EXPECT_TRUE(Find<QRadioButton>(*dialog, "tcpIpRadio")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*dialog, "masterRadio")->isChecked());
  for (const char* serial : {"portList", "refreshButton", "baudList"}) EXPECT_FALSE(Find(*dialog, serial)->isEnabled());
  EXPECT_EQ(Find<QLineEdit>(*dialog, "tcpPortEdit")->text(), "1000");
  EXPECT_FALSE(Find(*dialog, "addressEdit")->isVisible());
  EXPECT_FALSE(Find(*dialog, "addressLabel")->isVisible());
  Click(*dialog, "slaveRadio");
  EXPECT_TRUE(Find(*dialog, "addressEdit")->isVisible());
  EXPECT_TRUE(Find(*dialog, "addressLabel")->isVisible());
  Click(*dialog, "masterRadio");
  EXPECT_FALSE(Find(*dialog, "addressEdit")->isVisible());
  Click(*dialog, "commRadio");
  EXPECT_TRUE(Find(*dialog, "baudList")->isEnabled());
  EXPECT_FALSE(Find(*dialog, "tcpPortEdit")->isEnabled());
  EXPECT_FALSE(Find(*dialog, "masterRadio")->isEnabled());
}

TEST_F(CommsSettingsDlgTest, RefreshListsFreePortsInNumericOrderAfterAConsoleLineEach) {
  PortLine com2(2);
  ASSERT_TRUE(com2.ready);
  auto dialog = Open(Serial(2));
  EXPECT_EQ(EntryOf(12), -1);
  PortLine com12(12);
  ASSERT_TRUE(com12.ready);

  std::stringstream console;
  std::streambuf* saved = std::cout.rdbuf(console.rdbuf());
  vorn::EnableConsole(true);
  Click(*dialog, "refreshButton");
  vorn::EnableConsole(false);
  std::cout.rdbuf(saved);

  ASSERT_GE(EntryOf(2), 0);
  EXPECT_GT(EntryOf(12), EntryOf(2));
  EXPECT_TRUE(ports->itemText(EntryOf(2)).startsWith("COM2 (pts/")) << ports->itemText(EntryOf(2)).toStdString();
  EXPECT_EQ(ports->currentIndex(), EntryOf(2));
  const size_t line2 = console.str().find("Trying to Open Port " + com2.path + "\n");
  const size_t line12 = console.str().find("Trying to Open Port " + com12.path + "\n");
  ASSERT_NE(line12, std::string::npos) << console.str();
  EXPECT_LT(line2, line12);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again
}

TEST_F(CommsSettingsDlgTest, ABusyPortIsListedOnlyWhenItIsTheDialogsOwnPort) {
  PortLine com2(2), com12(12);
  ASSERT_TRUE(com2.ready && com12.ready);
  QSerialPort holder;
  holder.setPortName(QString::fromStdString(com12.path));
  ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  auto other = Open(Serial(2));
  EXPECT_EQ(EntryOf(12), -1);
  auto own = Open(Serial(12));
  ASSERT_GE(EntryOf(12), 0);
  EXPECT_EQ(ports->currentIndex(), EntryOf(12));
}

TEST_F(CommsSettingsDlgTest, OkReadsBackTheChosenPortAndBitRate) {
  PortLine com2(2), com12(12);
  ASSERT_TRUE(com2.ready && com12.ready);
  auto dialog = Open(Serial(2));
  ports->setCurrentIndex(EntryOf(12));
  Find<QComboBox>(*dialog, "baudList")->setCurrentText("57600");
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Settings().commType, Comm);
  EXPECT_EQ(dialog->Settings().nCommPort, 12);
  EXPECT_EQ(dialog->Settings().nBaudRate, 57600);
  EXPECT_EQ(dialog->Settings().nTcpIpPort, 1000);
}

TEST_F(CommsSettingsDlgTest, AStoredPortOrBitRateOutsideItsListIsShownNotFoundAndKeptOnOk) {
  const std::vector<int32_t> system = CSerialPortList::PortNumbers();
  for (const int n : {2, 7}) {
    if (std::find(system.begin(), system.end(), n) != system.end()) GTEST_SKIP() << "the machine has a port " << n;
  }
  PortLine com21(21);
  ASSERT_TRUE(com21.ready);
  CWitsCommSettings stale = Serial(7);
  stale.nBaudRate = 4800;
  auto dialog = Open(stale);
  auto* rates = Find<QComboBox>(*dialog, "baudList");
  EXPECT_EQ(ports->currentText().toStdString(), "COM7 (not found)");
  EXPECT_EQ(rates->currentText().toStdString(), "4800 (not found)");
  EXPECT_EQ(rates->count(), 7);
  Click(*dialog, "refreshButton");  // looking again keeps showing it, once
  EXPECT_EQ(ports->currentText().toStdString(), "COM7 (not found)");
  EXPECT_EQ(ports->findText("COM7 (not found)"), ports->count() - 1);
  EXPECT_EQ(ports->findText("COM7", Qt::MatchStartsWith), ports->count() - 1);
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Settings().nCommPort, 7);
  EXPECT_EQ(dialog->Settings().nBaudRate, 4800);

  // A port is its whole number: port 2 is not port 21.
  auto other = Open(Serial(2));
  EXPECT_EQ(ports->currentText().toStdString(), "COM2 (not found)");
  Click(*other, "okButton");
  EXPECT_EQ(other->Settings().nCommPort, 2);

  // Once the port is there again, looking again selects it.
  auto back = Open(stale);
  PortLine com7(7);
  ASSERT_TRUE(com7.ready);
  Click(*back, "refreshButton");
  ASSERT_GE(EntryOf(7), 0);
  EXPECT_EQ(ports->currentIndex(), EntryOf(7));
  EXPECT_EQ(ports->findText("(not found)", Qt::MatchContains), -1);
}

TEST_F(CommsSettingsDlgTest, ATcpPortThatIsNoIntegerIsReportedAtEveryReading) {
  MessageBoxCatcher boxes;
  auto dialog = Open(CWitsCommSettings());
  auto* tcpPort = Find<QLineEdit>(*dialog, "tcpPortEdit");
  tcpPort->setText("abc");
  Click(*dialog, "slaveRadio");  // a click reads the fields: one message, the role is taken all the same
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text, "Enter an integer.");
  EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName());
  EXPECT_TRUE(Find(*dialog, "addressEdit")->isVisible());
  EXPECT_EQ(tcpPort->selectedText(), "abc");

  Click(*dialog, "okButton");  // OK reads twice and stays open
  EXPECT_EQ(boxes.boxes.size(), 3u);
  EXPECT_TRUE(dialog->isVisible());

  tcpPort->setText(" 1234 ");
  Find<QLineEdit>(*dialog, "addressEdit")->setText("rig-server.local");
  Click(*dialog, "okButton");
  EXPECT_EQ(boxes.boxes.size(), 3u);
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Settings().tcpIpType, Slave);
  EXPECT_EQ(dialog->Settings().nTcpIpPort, 1234);
  EXPECT_EQ(dialog->Settings().strIpAddress, "rig-server.local");
}

TEST_F(CommsSettingsDlgTest, EscapeAndTheCloseBoxHandNothingBack) {
  for (const bool escape : {true, false}) {
    auto dialog = Open(CWitsCommSettings());
    Find<QLineEdit>(*dialog, "tcpPortEdit")->setText("9999");
    Click(*dialog, "commRadio");
    escape ? QTest::keyClick(dialog.get(), Qt::Key_Escape) : void(dialog->close());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->Settings(), CWitsCommSettings());  // the result was never filled
  }
}

// The room a list box has for the text of its entry, as the style draws it.
int TextRoom(const QComboBox& list) {
  QStyleOptionComboBox option;
  option.initFrom(&list);
  option.editable = list.isEditable();
  option.frame = list.hasFrame();
  option.currentText = list.currentText();
  return list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list).width() - 2;
}

TEST_F(CommsSettingsDlgTest, AMissingPortAndRateShowWholeAndTheRowMakesRoomForThem) {
  CWitsCommSettings settings = Serial(97);
  settings.nBaudRate = 4800;
  auto dialog = Open(settings);
  auto* rates = Find<QComboBox>(*dialog, "baudList");
  for (QComboBox* list : {ports, rates}) {
    for (int i = 0; i < list->count(); ++i) {
      list->setCurrentIndex(i);
      EXPECT_GE(TextRoom(*list), list->fontMetrics().horizontalAdvance(list->itemText(i)))
          << list->itemText(i).toStdString();
    }
  }
  EXPECT_EQ(ports->itemText(ports->count() - 1), "COM97 (not found)");
  EXPECT_EQ(rates->itemText(rates->count() - 1), "4800 (not found)");
  // Nothing on the row overlaps, and the dialog keeps its margin at the right.
  auto* refresh = Find(*dialog, "refreshButton");
  EXPECT_GT(refresh->geometry().left(), ports->geometry().right());
  EXPECT_GT(rates->geometry().left(), refresh->geometry().right());
  EXPECT_LT(rates->geometry().right(), dialog->width() - 10);
  EXPECT_TRUE(dialog->grab().save(ScreenshotPath("comms_settings_dialog_not_found.png")));
}

TEST_F(CommsSettingsDlgTest, Screenshots) {
  PortLine com2(2);
  CWitsCommSettings settings;
  settings.tcpIpType = Slave;
  auto tcp = Open(settings);
  EXPECT_TRUE(tcp->grab().save(ScreenshotPath("comms_settings_dialog_tcp.png")));
  auto serial = Open(Serial(2));
  EXPECT_TRUE(serial->grab().save(ScreenshotPath("comms_settings_dialog_serial.png")));
}

}  // namespace

namespace {

TEST_F(CommsSettingsDlgTest, TheWireProfileIsShownAndReadBackAndKeptWhenUntouched) {
  CWitsCommSettings profile = Serial(2);
  profile.fKeepAliveInterval = 25;
  profile.strKeepAliveText = "&&\r\n0111-9999\r\n!!\r\n";
  profile.answerMode = AnswerValidPerRecord;
  profile.lineEnd = LineEndLf;
  profile.frameGrouping = GroupPerRecord;
  auto dialog = Open(profile);
  EXPECT_EQ(Find<QLineEdit>(*dialog, "keepAliveEdit")->text().toStdString(), "25");
  EXPECT_EQ(Find<QLineEdit>(*dialog, "keepAliveTextEdit")->text().toStdString(), "&&\\r\\n0111-9999\\r\\n!!\\r\\n");
  EXPECT_EQ(Find<QComboBox>(*dialog, "answerModeList")->currentIndex(), 2);
  EXPECT_EQ(Find<QComboBox>(*dialog, "lineEndList")->currentText().toStdString(), "LF");
  EXPECT_EQ(Find<QComboBox>(*dialog, "frameGroupingList")->currentIndex(), 1);
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Settings().fKeepAliveInterval, 25.0);
  EXPECT_EQ(dialog->Settings().strKeepAliveText, profile.strKeepAliveText);
  EXPECT_EQ(dialog->Settings().answerMode, AnswerValidPerRecord);
  EXPECT_EQ(dialog->Settings().lineEnd, LineEndLf);
  EXPECT_EQ(dialog->Settings().frameGrouping, GroupPerRecord);

  auto edited = Open(profile);
  Find<QLineEdit>(*edited, "keepAliveEdit")->setText("0");
  Find<QLineEdit>(*edited, "keepAliveTextEdit")->setText("KA\\n\\\\");
  Find<QComboBox>(*edited, "lineEndList")->setCurrentIndex(2);
  Click(*edited, "okButton");
  EXPECT_EQ(edited->Settings().fKeepAliveInterval, 0.0);
  EXPECT_EQ(edited->Settings().strKeepAliveText, "KA\n\\");
  EXPECT_EQ(edited->Settings().lineEnd, LineEndCr);

  MessageBoxCatcher boxes;
  auto bad = Open(profile);
  Find<QLineEdit>(*bad, "keepAliveEdit")->setText("soon");
  Click(*bad, "okButton");
  EXPECT_NE(bad->result(), QDialog::Accepted);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.toStdString(), "Enter a number.");
}

}  // namespace

namespace {

TEST_F(CommsSettingsDlgTest, AServersClientsAndListenAddressShowForMasterAndComeBackOnOk) {
  CWitsCommSettings server;
  server.nMaxClients = 5;
  server.strListenAddress = "10.0.0.1";
  auto dialog = Open(server);
  auto* clients = Find<QSpinBox>(*dialog, "maxClientsSpin");
  auto* listen = Find<QLineEdit>(*dialog, "listenAddressEdit");
  EXPECT_EQ(clients->value(), 5);
  EXPECT_EQ(listen->text().toStdString(), "10.0.0.1");
  EXPECT_TRUE(clients->isVisible());
  EXPECT_TRUE(listen->isVisible());
  EXPECT_TRUE(dialog->grab().save(ScreenshotPath("comms_settings_dialog_server.png")));
  Click(*dialog, "slaveRadio");  // a client has a server's address instead
  EXPECT_FALSE(clients->isVisible());
  EXPECT_FALSE(listen->isVisible());
  Click(*dialog, "masterRadio");
  clients->setValue(3);
  listen->setText(" 127.0.0.1 ");
  Click(*dialog, "okButton");
  ASSERT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Settings().nMaxClients, 3);
  EXPECT_EQ(dialog->Settings().strListenAddress, "127.0.0.1");

  // Nothing listens on every address; a text that is no IP address is refused.
  auto plain = Open(CWitsCommSettings());
  EXPECT_EQ(Find<QSpinBox>(*plain, "maxClientsSpin")->value(), 1);
  EXPECT_EQ(Find<QLineEdit>(*plain, "listenAddressEdit")->text(), "");
  MessageBoxCatcher boxes;
  Find<QLineEdit>(*plain, "listenAddressEdit")->setText("rig-server");
  Click(*plain, "okButton");
  EXPECT_NE(plain->result(), QDialog::Accepted);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.toStdString(), "Enter an IP address of this machine, or nothing for every address.");
  Find<QLineEdit>(*plain, "listenAddressEdit")->clear();
  Click(*plain, "okButton");
  ASSERT_EQ(plain->result(), QDialog::Accepted);
  EXPECT_EQ(plain->Settings(), CWitsCommSettings());
}

}  // namespace
