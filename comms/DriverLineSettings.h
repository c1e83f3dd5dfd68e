#pragma once

#include <cstdint>
#include <string>
#include <termios.h>

// A serial port's line settings as its driver has them before the program opens the port: set by the
// system (stty, a udev rule) or left by the last program. Opening the port resets flow control to
// none; the link keeps the system's flow control (hardware, XON/XOFF and their two characters), so
// they are read here first and put back once the port is open.
class CDriverLineSettings {
 public:
  // Reads the settings of the device at `path` without changing them. The device stays open here
  // until this object goes, so that this close is never its last (a last close drops the modem lines).
  explicit CDriverLineSettings(const std::string& path);
  ~CDriverLineSettings();
  CDriverLineSettings(const CDriverLineSettings&) = delete;
  CDriverLineSettings& operator=(const CDriverLineSettings&) = delete;

  // The line's bit rate; 0 when it could not be read or is not one of the standard rates.
  [[nodiscard]] int32_t BitRate() const;

  // Puts the flow control that was read back on the open port `descriptor`; nothing when none was read.
  void RestoreFlowControl(int descriptor) const;

 private:
  int m_descriptor = -1;
  bool m_bValid = false;
  termios m_settings{};
};
