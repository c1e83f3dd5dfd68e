// Start-up of the simulator: the command line decides between the window and the headless mode
// before any application object exists.
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <functional>
#include <memory>

#include "app/CommandLine.h"
#include "app/HeadlessRunner.h"
#include "app/StopSignals.h"
#include "control/ControlServer.h"
#include "fleet/FleetRunner.h"
#include "support/Console.h"
#include "support/DescriptorReserve.h"
#include "support/StatusLine.h"
#include "support/Time.h"
#include "ui/VornRigSimApp.h"
#include "ui/VornRigSimDlg.h"

namespace {

QStringList Arguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

using vorn::control::CControlServer;

// The control API when --control asks for it; none, with the reason on standard error, when it cannot
// listen (the caller then exits 1).
std::unique_ptr<CControlServer> StartControl(const CommandLineOptions& options, CControlServer::ControllerLookup lookup) {
  const ControlEndpoint& endpoint = *options.control;
  vorn::control::ControlOptions control;
  control.address = endpoint.address;
  control.port = endpoint.port;
  control.token = options.controlToken;
  control.fleetSize = options.fleet.value_or(0);
  control.fleetFirst = options.fleetFirst;
  if (options.controlMaxConnections) control.limits.maxConnections = *options.controlMaxConnections;
  auto server = std::make_unique<CControlServer>(std::move(lookup), std::move(control));
  std::string error;
  const std::string where = (endpoint.address.find(':') != std::string::npos ? "[" + endpoint.address + "]"
                                                                               : endpoint.address) +
                            ":" + std::to_string(endpoint.port);
  // As text these lines carry no time stamp, as they always have.
  const auto print = [&options](const std::string& text) {
    if (options.logFormat == vorn::StatusFormat::Text) {
      std::cerr << text << std::endl;
    } else {
      std::cerr << vorn::FormatStatusLine(options.logFormat, vorn::NowSeconds(), {"control", std::nullopt, text})
                << std::endl;
    }
  };
  if (!server->Listen(error)) {
    print("Control API: cannot listen on " + where + ": " + error);
    return nullptr;
  }
  print("Control API on http://" + where + "/api/v1/");
  return server;
}

int RunHeadless(const CommandLineOptions& options) {
  CHeadlessRunner runner(options, std::cerr);
  std::unique_ptr<CControlServer> control;  // gone before the runner and its controller
  if (options.control) {
    control = StartControl(options, [&runner](int rig) { return rig == 0 ? &runner.Controller() : nullptr; });
    if (!control) return 1;
    control->SetHistoryLookup([&runner](int rig) { return rig == 0 ? runner.History() : nullptr; });
  }
  CStopSignals stopSignals([&runner](int) { runner.Stop(0); });
  if (!runner.Start()) return runner.ExitCode();
  return QCoreApplication::exec();
}

// Rigs 1..N of a fleet, addressed by the control API as /api/v1/rigs/<k>/; none keeps a history.
int RunFleet(const CommandLineOptions& options) {
  FleetOptions fleet;
  fleet.count = *options.fleet;
  fleet.first = options.fleetFirst;
  fleet.seed = options.fleetSeed;
  fleet.logFormat = options.logFormat;
  fleet.tenTimes = options.tenTimes;
  fleet.durationSeconds = options.durationSeconds;
  // Each rig drills the well with noise of its own: its folder, which differs by rig, seeds it.
  fleet.setUpRig = [&options](CRigController& controller) {
    ApplyFaultOptions(controller, options);
    (void)ApplyWellOption(controller, options, std::cerr, std::hash<std::string>{}(controller.Engine().m_strDataRoot));
  };
  CFleetRunner runner(std::move(fleet), std::cerr);
  std::unique_ptr<CControlServer> control;  // gone before the runner and its rigs
  CStopSignals stopSignals([&runner](int) { runner.Stop(0); });
  if (!runner.Start()) return runner.ExitCode();
  if (options.control) {
    control = StartControl(options, [&runner](int rig) { return runner.Controller(rig); });
    if (!control) {
      runner.Stop(1);
      return 1;
    }
  }
  return QCoreApplication::exec();
}

// The main window's controller, once the window exists. The API is let go when the window closes,
// before the window and its controller are destroyed.
CRigController* WindowController(std::unique_ptr<CControlServer>& control) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* window = qobject_cast<CVornRigSimDlg*>(widget);
    if (window == nullptr) continue;
    if (!window->property("vorn-control-hooked").toBool()) {
      window->setProperty("vorn-control-hooked", true);
      QObject::connect(window, &QDialog::finished, [&control] { control.reset(); });
    }
    return &window->Controller();
  }
  return nullptr;
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
  std::unique_ptr<CControlServer> control;
  if (options.control) {
    control = StartControl(options, [&control](int rig) { return rig == 0 ? WindowController(control) : nullptr; });
    if (!control) return 1;
    control->SetHistoryLookup([&control](int rig) -> const CHistoryRecorder* {
      if (rig != 0 || WindowController(control) == nullptr) return nullptr;
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<CVornRigSimDlg*>(widget)) return &window->History();
      }
      return nullptr;
    });
  }
  CStopSignals stopSignals([&app](int) {
    vorn::ReleaseDescriptorReserve();  // the window's closing saves the state
    app.CloseMainWindow();
  });
  // The fault options go to the window's controller as soon as the window exists.
  QTimer::singleShot(0, [&options] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<CVornRigSimDlg*>(widget)) {
        ApplyFaultOptions(window->Controller(), options);
        (void)ApplyReplayOption(window->Controller(), options, [](const std::string& line) { std::cerr << line << std::endl; });
        (void)ApplyWellOption(window->Controller(), options, std::cerr);
      }
    }
  });
  return app.RunMainWindow();
}

}  // namespace

int main(int argc, char** argv) {
  // First of all: a stop signal from now on is kept and ends the run cleanly once the loop runs.
  CatchStopSignals();
  std::signal(SIGPIPE, SIG_IGN);  // a peer vanishing mid-write must never end the program
  (void)vorn::HoldDescriptorReserve();  // for the final save, whatever connections take

  const char* token = std::getenv(kControlTokenVariable);
  const CommandLineResult parsed =
      ParseCommandLine(Arguments(argc, argv), token ? std::optional<std::string>(token) : std::nullopt);
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
  return options.fleet ? RunFleet(options) : RunHeadless(options);
}
