// Start-up of the simulator. Until the main window exists, the program runs the engine without a
// window and prints every change of mode or sub-state until it is interrupted (Ctrl+C).
#include <QCoreApplication>
#include <QSocketNotifier>
#include <clocale>
#include <csignal>
#include <iostream>
#include <unistd.h>

#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "support/DataRoot.h"
#include "support/System.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = write(g_signalPipe[1], &byte, 1);
}

// Ctrl+C and SIGTERM end the run cleanly through the event loop.
void InstallStopSignals(QCoreApplication& app) {
  if (pipe(g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
    char byte = 0;
    [[maybe_unused]] const auto got = read(g_signalPipe[0], &byte, 1);
    app.quit();
  });
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a peer vanishing mid-write must never end the program
  QCoreApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  InstallStopSignals(app);

  vorn::CreateDataFolders();
  CRigSim engine;
  if (!engine.DictionaryError().empty()) std::cerr << engine.DictionaryError() << '\n';

  int lastMode = -1;
  int lastSubState = -1;
  RunHooks hooks;
  hooks.afterTick = [&] {
    const int mode = engine.m_settings.m_mode;
    const int subState = engine.GetSubState();
    if (mode == lastMode && subState == lastSubState) return;
    lastMode = mode;
    lastSubState = subState;
    const auto& names = engine.GetSubStateNames();
    const std::string modeName =
        mode >= 0 && mode < kRigModeCount ? RigModeNames()[static_cast<size_t>(mode)] : "?";
    const std::string subName = subState >= 0 && static_cast<size_t>(subState) < names.size()
                                    ? names[static_cast<size_t>(subState)] : "?";
    std::cout << modeName << ": " << subName << "  depth " << engine.m_fDepth << std::endl;
  };
  hooks.reportFailure = [&app](const std::string& message) {
    std::cerr << message << '\n';
    app.exit(1);
  };
  CRunControl run(engine, hooks);

  std::cout << "Vorn Rig Sim " << vorn::GetVersionText() << ": running without a window; Ctrl+C stops."
            << std::endl;
  run.OnRunClicked(true);
  const int result = run.RunFlag() == 1 ? app.exec() : 1;
  run.EndRun();
  return result;
}
