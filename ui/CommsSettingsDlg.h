#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "comms/WitsCommSettings.h"

class CNetAddressCtrl;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Comms Settings": the WITS link's kind (serial port or TCP/IP), the serial port and its bit rate, the
// TCP/IP role, port and server address (Slave) or the receivers served at once and the address listened
// on (Master), and the wire profile (keep-alive interval and packet, answer
// mode, line ends, frame grouping). Only ports that exist and open are offered, and the port the
// dialog was opened with: listed when it exists, else shown as not found, and kept unless the operator
// picks another (a bit rate outside the list likewise). The controls and the fields below move only by
// an explicit exchange, so a bad TCP port is reported each time the fields are read. The dialog opens
// and saves nothing itself.
class CCommsSettingsDlg : public QDialog {
  Q_OBJECT

 public:
  CCommsSettingsDlg(const CWitsCommSettings& settings, QWidget* parent = nullptr);
  const CWitsCommSettings& Settings() const;  // the result record, filled on OK

  static constexpr const char* kBaudRates[] = {"9600", "14400", "19200", "38400", "57600", "115200"};

 public slots:
  void accept() override;

 private:
  // Controls to fields, in the order kind, port, bit rate, role, TCP port, address. False, after the
  // message, when the TCP port box holds no integer: the fields before it are taken, the rest not.
  bool ReadFields();
  // Fields to controls.
  void ShowFields();
  void FillPortList();
  // The port and bit-rate lists as wide as their longest entries ("COM7 (not found)"), never narrower
  // than laid out: what stands to the right of a list on its row moves along, and the dialog widens to
  // keep its margin.
  void FitListBoxes();
  void ApplyKindRule();
  void ApplyRoleRule();
  void CreateControls();

  CWitsCommSettings m_result;
  int32_t m_nKeepPort;  // the port of the record the dialog was opened with stays selectable

  int32_t m_nKind;        // 0 "Comm", 1 "TCP/IP", -1 none checked
  QString m_strPort;      // "COM<n>" as shown in the port list
  QString m_strBaud;      // the bit rate as shown
  int32_t m_nRole;        // 0 "Master", 1 "Slave", -1 none checked
  int32_t m_nTcpPort;
  QString m_strAddress;

  QRadioButton* m_comm = nullptr;
  QRadioButton* m_tcpIp = nullptr;
  QButtonGroup* m_kindGroup = nullptr;
  QLabel* m_portLabel = nullptr;
  QComboBox* m_portList = nullptr;
  QPushButton* m_refresh = nullptr;
  QLabel* m_baudLabel = nullptr;
  QComboBox* m_baudList = nullptr;
  QRadioButton* m_master = nullptr;
  QRadioButton* m_slave = nullptr;
  QButtonGroup* m_roleGroup = nullptr;
  QLabel* m_tcpPortLabel = nullptr;
  QLineEdit* m_tcpPort = nullptr;
  QLabel* m_addressLabel = nullptr;
  CNetAddressCtrl* m_address = nullptr;
  QLabel* m_maxClientsLabel = nullptr;
  QSpinBox* m_maxClients = nullptr;
  QLabel* m_listenLabel = nullptr;
  QLineEdit* m_listenAddress = nullptr;
  QLineEdit* m_keepAlive = nullptr;
  QLineEdit* m_keepAliveText = nullptr;
  QComboBox* m_answerMode = nullptr;
  QComboBox* m_lineEnd = nullptr;
  QComboBox* m_frameGrouping = nullptr;

  // The first row and the dialog's width as laid out, before any list box widened.
  struct FirstRow {
    QRect portList, refresh, baudLabel, baudList;
    int dialogWidth = 0;
  } m_laidOut;
};

// The keep-alive packet as one line of text: CR, LF and backslash written as \r, \n and \\.
[[nodiscard]] QString EscapeLineEnds(const std::string& text);
[[nodiscard]] std::string UnescapeLineEnds(const QString& text);
