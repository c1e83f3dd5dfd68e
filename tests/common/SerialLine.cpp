#include "tests/common/SerialLine.h"

#include <QStandardPaths>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "tests/common/EventWait.h"

namespace vorn::test {

namespace fs = std::filesystem;

SerialLine::SerialLine(std::string portPath) : m_portPath(std::move(portPath)), m_peerPath(m_portPath + "-peer") {
  fs::create_directories(fs::path(m_portPath).parent_path());
  m_socat.start("socat", {"-d", "-d", "pty,raw,echo=0,link=" + QString::fromStdString(m_portPath),
                          "pty,raw,echo=0,link=" + QString::fromStdString(m_peerPath)});
  // Ready once socat says its set-up is over: the links may appear before it has put the lines in raw
  // mode, and a test's own line settings made in between would be undone.
  QByteArray said;
  const auto setUpOver = [&] {
    said += m_socat.readAllStandardError();
    return said.contains("starting data transfer loop");
  };
  m_ready = m_socat.waitForStarted(kWaitMs) && WaitUntil(setUpOver, kWaitMs) && fs::exists(m_portPath) &&
            fs::exists(m_peerPath);
  if (!m_ready) return;
  m_peer = open(m_peerPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  m_port = open(m_portPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

SerialLine::~SerialLine() {
  if (m_peer >= 0) close(m_peer);
  if (m_port >= 0) close(m_port);
  if (m_socat.state() != QProcess::NotRunning) {
    m_socat.kill();
    m_socat.waitForFinished(kWaitMs);
  }
}

bool SerialLine::Available() { return !QStandardPaths::findExecutable("socat").isEmpty(); }

bool SerialLine::Stty(const QStringList& settings) const {
  QProcess stty;
  stty.start("stty", QStringList{"-F", QString::fromStdString(m_portPath)} + settings);
  return stty.waitForFinished(kWaitMs) && stty.exitStatus() == QProcess::NormalExit && stty.exitCode() == 0;
}

termios SerialLine::LineSettings() const {
  termios settings{};
  tcgetattr(m_port, &settings);
  return settings;
}

bool SerialLine::Send(const std::string& text, const std::function<void()>& drain) const {
  size_t sent = 0;
  return WaitUntil(
      [&] {
        const ssize_t n = write(m_peer, text.data() + sent, text.size() - sent);
        if (n > 0) sent += static_cast<size_t>(n);
        if (sent < text.size()) drain();
        return sent == text.size();
      },
      kWaitMs);
}

std::string SerialLine::Receive(size_t count) const {
  std::string text;
  WaitUntil(
      [&] {
        char buffer[256];
        const ssize_t n = read(m_peer, buffer, sizeof buffer);
        if (n > 0) text.append(buffer, static_cast<size_t>(n));
        return text.size() >= count;
      },
      kWaitMs);
  return text;
}

}  // namespace vorn::test
