#include "ui/SerialPortList.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "comms/CommPort.h"
#include "support/Console.h"
#include "support/DataRoot.h"

namespace fs = std::filesystem;

namespace {

// The number that follows a prefix of a name ("COM12" → 12), or none when it is not all digits.
bool NumberAfter(std::string_view name, std::string_view prefix, int32_t& number) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  int64_t value = 0;
  for (const char c : name.substr(prefix.size())) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return false;
  }
  number = static_cast<int32_t>(value);
  return true;
}

// " (ttyUSB0)" for a port whose device resolves below /dev; empty otherwise (a link whose target is gone).
std::string DeviceSuffix(const std::string& devicePath) {
  std::error_code error;
  const fs::path device = fs::canonical(devicePath, error);
  if (error) return {};
  const std::string text = device.string();
  constexpr std::string_view kDev = "/dev/";
  if (text.rfind(kDev, 0) != 0) return {};
  return " (" + text.substr(kDev.size()) + ")";
}

}  // namespace

std::vector<int32_t> CSerialPortList::PortNumbers() {
  std::vector<int32_t> numbers;
  std::error_code error;
  for (fs::directory_iterator it(vorn::PortsFolder(), error), end; !error && it != end; it.increment(error)) {
    int32_t n = 0;
    const std::string name = it->path().filename().string();
    // Only the exact form "COM<n>" is what the link opens for port n.
    if (NumberAfter(name, "COM", n) && n > 0 && name == "COM" + std::to_string(n)) numbers.push_back(n);
  }
  // A system device is reachable by number only as /dev/ttyS<n-1>, unless an entry above points at it.
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    int32_t index = 0;
    if (NumberAfter(info.systemLocation().toStdString(), "/dev/ttyS", index) && index < INT32_MAX) {
      numbers.push_back(index + 1);
    }
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

std::vector<std::string> CSerialPortList::EnumerateSerialPorts(int32_t keepPort) {
  std::vector<std::string> texts;
  for (const int32_t n : PortNumbers()) {
    const std::string path = CCommPort::DevicePath(n);
    vorn::Console() << "Trying to Open Port " << path << "\n";
    if (CanOpen(path) || (keepPort >= 0 && n == keepPort)) {
      texts.push_back("COM" + std::to_string(n) + DeviceSuffix(path));
    }
  }
  return texts;
}

// QSerialPort takes the device's lock file and TIOCEXCL, as the link does, so a port that a link or
// another program holds does not open here.
bool CSerialPortList::CanOpen(const std::string& devicePath) {
  QSerialPort port;
  port.setPortName(QString::fromStdString(devicePath));
  if (!port.open(QIODevice::ReadWrite)) return false;
  port.close();
  return true;
}
