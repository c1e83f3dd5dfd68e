#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

// A private X server (Xvfb) on a display number it picks itself, for the tests of the desktop notice.
class XServer {
 public:
  XServer() = default;
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  // Empty when Xvfb is missing from this machine.
  [[nodiscard]] static QString Program();
  // Starts the server with one screen of the given size; the display name (":N") once it accepts
  // clients, else empty.
  std::string Start(const std::string& displayName = {}, const std::string& screen = "640x480x24");
  void Stop();
  [[nodiscard]] const std::string& Display() const { return m_display; }

 private:
  QProcess m_process;
  std::string m_display;
};

// tools/pump-listener with its window on the given display; its output lines as they came.
class PumpListener {
 public:
  PumpListener(const std::string& display, const std::string& title);
  ~PumpListener();
  PumpListener(const PumpListener&) = delete;
  PumpListener& operator=(const PumpListener&) = delete;

  // Waits until its window is mapped and findable; false when it failed to start.
  bool WaitUntilListening();
  // Waits until it printed `count` lines (at most timeoutMs).
  bool WaitForLines(std::size_t count, int timeoutMs);
  [[nodiscard]] std::vector<std::string> Lines();
  [[nodiscard]] uint32_t Window() const { return m_window; }

 private:
  QProcess m_process;
  std::string m_output;
  std::string m_status;
  uint32_t m_window = 0;
};

// The first mapped top-level window titled exactly `title` on the display; 0 when there is none.
[[nodiscard]] uint32_t FindWindowByTitle(const std::string& display, const std::string& title);
// The pixels of a mapped window as the server holds them; a null image when they cannot be read.
[[nodiscard]] QImage GrabWindow(const std::string& display, uint32_t window);

}  // namespace vorn::test
