#pragma once

#include <QLineEdit>
#include <string>

// The server address box: a host name or an address, taken as typed. Nothing is checked here; the
// link reports an address it cannot reach.
class CNetAddressCtrl : public QLineEdit {
  Q_OBJECT

 public:
  explicit CNetAddressCtrl(QWidget* parent = nullptr);

  [[nodiscard]] std::string Address() const { return text().toStdString(); }
  void SetAddress(const std::string& address) { setText(QString::fromStdString(address)); }
};
