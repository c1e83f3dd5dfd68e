#include "tests/pump/XDisplay.h"

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cstdlib>
#include <sstream>

#include "tests/common/EventWait.h"

#ifndef VORN_PUMP_LISTENER
#error "VORN_PUMP_LISTENER must name tools/pump-listener"
#endif

namespace vorn::test {

namespace {
constexpr int kStartMs = 15000;
}

XServer::~XServer() { Stop(); }

QString XServer::Program() { return QStandardPaths::findExecutable("Xvfb"); }

// With -displayfd the server writes its display number once it accepts clients; without a name it
// picks a free number itself, so tests running side by side never collide.
std::string XServer::Start(const std::string& displayName) {
  QStringList arguments{"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "640x480x24"};
  if (!displayName.empty()) arguments.prepend(QString::fromStdString(displayName));
  m_display.clear();
  m_process.setProgram(Program());
  m_process.setArguments(arguments);
  m_process.setStandardErrorFile(QProcess::nullDevice());
  m_process.start();
  if (!m_process.waitForStarted(kStartMs)) return {};

  std::string number;
  const bool ready = WaitUntil(
      [&] {
        number += m_process.readAllStandardOutput().toStdString();
        return number.find('\n') != std::string::npos || m_process.state() == QProcess::NotRunning;
      },
      kStartMs);
  if (!ready || number.find('\n') == std::string::npos) return {};
  m_display = ":" + number.substr(0, number.find('\n'));
  return m_display;
}

void XServer::Stop() {
  if (m_process.state() != QProcess::NotRunning) {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }
}

PumpListener::PumpListener(const std::string& display, const std::string& title) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display));
  m_process.setProcessEnvironment(environment);
  m_process.setProgram(VORN_PUMP_LISTENER);
  m_process.setArguments({QString::fromStdString(title)});
  m_process.start();
}

PumpListener::~PumpListener() {
  if (m_process.state() != QProcess::NotRunning) {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
  }
}

bool PumpListener::WaitUntilListening() {
  const bool listening = WaitUntil(
      [&] {
        m_status += m_process.readAllStandardError().toStdString();
        return m_status.find("is listening") != std::string::npos || m_process.state() == QProcess::NotRunning;
      },
      kStartMs);
  const auto at = m_status.find("window 0x");
  if (!listening || at == std::string::npos) return false;
  m_window = static_cast<uint32_t>(std::strtoul(m_status.c_str() + at + 7, nullptr, 16));
  return true;
}

std::vector<std::string> PumpListener::Lines() {
  m_output += m_process.readAllStandardOutput().toStdString();
  std::vector<std::string> lines;
  std::istringstream in(m_output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool PumpListener::WaitForLines(std::size_t count, int timeoutMs) {
  return WaitUntil([&] { return Lines().size() >= count; }, timeoutMs);
}

}  // namespace vorn::test
