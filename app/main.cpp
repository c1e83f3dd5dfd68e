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

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a peer vanishing mid-write must never end the program

  const CommandLineResult parsed = ParseCommandLine(Arguments(argc, argv));
  if (parsed.exitCode) {
    (parsed.outputIsError ? std::cerr : std::cout) << parsed.output;
    return *parsed.exitCode;
  }
  const CommandLineOptions& options = parsed.options;
  if (!options.headless) {
    std::cerr << "The main window is not part of this build yet; start with --headless.\n";
    return 2;
  }

  if (options.root) setenv("VORN_RIG_SIM_ROOT", options.root->c_str(), 1);
  QCoreApplication app(argc, argv);
  QCoreApplication::setOrganizationName("VornRigSim");
  QCoreApplication::setApplicationName("VornRigSim");
  std::setlocale(LC_NUMERIC, "C");  // numbers never follow the user's locale

  if (options.console) {
    vorn::EnableConsole(true);
  } else {
    vorn::InitConsoleFromProfile();
  }
  return RunHeadless(options);
}
