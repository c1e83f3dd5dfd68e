#pragma once

#include <QProcess>
#include <QStringList>
#include <functional>
#include <string>
#include <termios.h>

namespace vorn::test {

// A pseudo-terminal pair made by socat: one end appears at `portPath` (a "COM<n>" entry of the data
// root's Ports folder), the other is the peer's, which the test writes and reads. The test also holds
// the port's end open itself, taken before a link's exclusive open, so that it can read the line
// settings the port has while the link holds it.
class SerialLine {
 public:
  static constexpr int kWaitMs = 5000;

  explicit SerialLine(std::string portPath);
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // False when socat is not installed.
  [[nodiscard]] static bool Available();
  [[nodiscard]] bool Ready() const { return m_ready && m_peer >= 0 && m_port >= 0; }

  // Runs `stty` on the port's end, as the system (or a udev rule) sets a port up before a run.
  [[nodiscard]] bool Stty(const QStringList& settings) const;
  [[nodiscard]] termios LineSettings() const;

  // Writes all of text from the peer; between partial writes (the line's buffer is full) `drain`
  // runs, so the other end can take what waits. False when it could not all be written in time.
  bool Send(const std::string& text, const std::function<void()>& drain = [] {}) const;
  // What the peer receives, until `count` bytes came or the wait ran out.
  [[nodiscard]] std::string Receive(size_t count) const;

 private:
  std::string m_portPath;
  std::string m_peerPath;
  QProcess m_socat;
  bool m_ready = false;
  int m_peer = -1;
  int m_port = -1;
};

}  // namespace vorn::test
