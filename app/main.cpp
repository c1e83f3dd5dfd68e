// Start-up of the simulator: the command line decides between the window and the headless mode
// before any application object exists.
#include <QCoreApplication>
#include <QStringList>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <iostream>

#include "app/CommandLine.h"
#include "app/HeadlessRunner.h"
#include "app/StopSignals.h"
#include "support/Console.h"
#include "ui/VornRigSimApp.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

int RunHeadless(const CommandLineOptions& options) {
  CHeadlessRunner runner(options, std::cerr);
  CStopSignals stopSignals([&runner](int) { runner.Stop(0); });
  if (!runner.Start()) return runner.ExitCode();
  return QCoreApplication::exec();
}

void InitConsole(const CommandLineOptions& options) {
  if (options.console) {
    vorn::EnableConsole(true);
  } else {
    vorn::InitConsoleFromProfile();
  }
}

// Without a display Qt would abort; say what to do instead.
bool DisplayAvailable() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

int RunWindow(int argc, char** argv, const CommandLineOptions& options) {
  if (!DisplayAvailable()) {
    std::cerr << "No display to open the window on (DISPLAY is not set); start with --headless to run "
                 "without a window.\n";
    return 2;
  }
  CVornRigSimApp app(argc, argv);
  InitConsole(options);
  if (options.tenTimes || options.durationSeconds) {
    std::cerr << "--ten-times and --duration apply to --headless only; the window has its 10x Speed and Run boxes.\n";
  }
  CStopSignals stopSignals([&app](int) { app.CloseMainWindow(); });
  return app.RunMainWindow();
}

}  // namespace

int main(int argc, char** argv) {
  // First of all: a stop signal from now on is kept and ends the run cleanly once the loop runs.
  CatchStopSignals();
  std::signal(SIGPIPE, SIG_IGN);  // a peer vanishing mid-write must never end the program

  const CommandLineResult parsed = ParseCommandLine(Arguments(argc, argv));
  if (parsed.exitCode) {
    (parsed.outputIsError ? std::cerr : std::cout) << parsed.output;
    return *parsed.exitCode;
  }
  const CommandLineOptions& options = parsed.options;
  if (options.root) setenv("VORN_RIG_SIM_ROOT", options.root->c_str(), 1);
  if (!options.headless) return RunWindow(argc, argv, options);

  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName("VornRigSim");
  QCoreApplication::setApplicationName("VornRigSim");
  std::setlocale(LC_NUMERIC, "C");  // numbers never follow the user's locale
  InitConsole(options);
  return RunHeadless(options);
}
