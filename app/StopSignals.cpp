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

void CatchStopSignals() {
  if (g_pipe[0] >= 0 || pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A launcher may hand the signals over blocked; one that is pending since then arrives now.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_UNBLOCK, &stop, nullptr);
}

CStopSignals::CStopSignals(std::function<void(int)> onStop, QObject* parent)
    : QObject(parent), m_onStop(std::move(onStop)) {
  CatchStopSignals();
  if (g_pipe[0] < 0) return;
  // The notifier fires at the loop's first pass when bytes already wait in the pipe.
  m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, [this] {
    unsigned char byte = 0;
    while (read(g_pipe[0], &byte, 1) == 1) {
      if (m_onStop) m_onStop(byte);
    }
  });
}
