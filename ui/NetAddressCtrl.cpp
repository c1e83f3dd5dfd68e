#include "ui/NetAddressCtrl.h"

CNetAddressCtrl::CNetAddressCtrl(QWidget* parent) : QLineEdit(parent) {
  setPlaceholderText("host or address");
  setClearButtonEnabled(false);
}
