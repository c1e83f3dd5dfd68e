#include "app/StopSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int signal) {
  const auto byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const auto written = write(g_pipe[1], &byte, 1);
}

}  // namespace

CStopSignals::CStopSignals(std::function<void(int)> onStop, QObject* parent)
    : QObject(parent), m_onStop(std::move(onStop)) {
  if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, [this] {
    unsigned char byte = 0;
    while (read(g_pipe[0], &byte, 1) == 1) {
      if (m_onStop) m_onStop(byte);
    }
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

CStopSignals::~CStopSignals() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
