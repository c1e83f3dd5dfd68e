#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The serial ports the operator can choose from. A port number n stands for the device
// "<data root>/Ports/COM<n>" when that entry exists, else "/dev/ttyS<n-1>" (as the link opens it).
class CSerialPortList {
 public:
  // The numbers of the entries "COM<n>" under <data root>/Ports and of the system's serial devices that
  // a port number reaches, ascending, each once.
  [[nodiscard]] static std::vector<int32_t> PortNumbers();

  // One text per port that opens (tried read/write and exclusive, then closed at once), and for keepPort
  // even when it does not: "COM<n>", followed by " (<device>)" when the port is a device under /dev, as in
  // "COM5 (ttyUSB0)". Every attempt writes "Trying to Open Port <device path>" to the console.
  [[nodiscard]] static std::vector<std::string> EnumerateSerialPorts(int32_t keepPort);

  // True when the device opens for reading and writing without sharing; it is closed again at once.
  [[nodiscard]] static bool CanOpen(const std::string& devicePath);
};
