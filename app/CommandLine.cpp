#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHostAddress>
#include <algorithm>
#include <cstring>

#include "app/OptionsFile.h"
#include "support/Numbers.h"
#include "support/System.h"

bool WantsHeadless(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--headless") == 0) return true;
    if (std::strcmp(argv[i], "--") == 0) break;
  }
  return false;
}

namespace {

// A token travels in a header line: printable ASCII without spaces.
bool IsTokenText(const std::string& token) {
  return !token.empty() && std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < 127; });
}

// Decimal digits only (no sign, no spaces) making a number from `low` to `high`.
std::optional<int> WholeNumberIn(const QString& text, int low, int high) {
  bool isNumber = false;
  const int number = text.toInt(&isNumber);
  const bool digitsOnly =
      !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
  if (!isNumber || !digitsOnly || number < low || number > high) return std::nullopt;
  return number;
}

// The help names the program in its usage line: the parser is asked before any application object
// exists, so it knows no name of its own.
QString HelpText(const QCommandLineParser& parser) {
  const QString text = parser.helpText();
  const qsizetype usageEnd = text.indexOf('\n');
  return "Usage: vornrigsim [options]" + (usageEnd < 0 ? QString("\n") : text.mid(usageEnd));
}

}  // namespace

std::optional<ControlEndpoint> ParseControlEndpoint(const QString& text) {
  QString address = "127.0.0.1";
  QString port = text;
  const qsizetype colon = text.lastIndexOf(':');
  if (colon >= 0) {
    address = text.left(colon);
    port = text.mid(colon + 1);
    if (address.startsWith('[') && address.endsWith(']')) {
      address = address.mid(1, address.size() - 2);
      if (!address.contains(':')) return std::nullopt;  // brackets hold IPv6 addresses only
    } else if (address.contains(':')) {
      return std::nullopt;  // an IPv6 address needs its brackets, or its last group reads as the port
    }
  }
  QHostAddress host;
  if (!host.setAddress(address) || address.contains('%')) return std::nullopt;
  const std::optional<int> number = WholeNumberIn(port, 1, 65535);
  if (!number) return std::nullopt;
  return ControlEndpoint{host.toString().toStdString(), static_cast<uint16_t>(*number)};
}

CommandLineResult ParseCommandLine(const QStringList& arguments, const std::optional<std::string>& environmentToken) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Vorn Rig Sim: a drilling-rig simulator that feeds WITS receivers.");
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  const QCommandLineOption version("version", "Show the version.");
  const QCommandLineOption headless("headless", "Run without a window: start a run at once.");
  const QCommandLineOption duration("duration", "End the run after SECONDS and exit.", "SECONDS");
  const QCommandLineOption tenTimes("ten-times", "Run at ten-times speed from the start.");
  const QCommandLineOption console("console", "Write the diagnostic lines to standard output.");
  const QCommandLineOption root("root", "Use DIR as the data root.", "DIR");
  const QCommandLineOption control(
      "control", "Serve the control API (HTTP/JSON) on [ADDRESS:]PORT; the address is 127.0.0.1 unless given.",
      "[ADDRESS:]PORT");
  const QCommandLineOption controlToken(
      "control-token",
      QString("Every control API request must carry 'Authorization: Bearer TOKEN' (default: $%1).")
          .arg(kControlTokenVariable),
      "TOKEN");
  const QCommandLineOption controlMaxConnections(
      "control-max-connections", "The control API serves N connections at once (default 64); one more gets 503.",
      "N");
  const QCommandLineOption well("well", "Drill the well described in FILE (JSON); remembered for the next start.",
                                "FILE");
  const QCommandLineOption historyCsv(
      "history-csv", "With --headless: write the run's history to FILE as CSV when the run stops.", "FILE");
  const QCommandLineOption fault(
      "fault", "Inject a fault on the WITS link: NAME[:KEY=VALUE,...], once at the first frame unless every=N or "
               "p=P is given (repeatable; see docs/test-bench.md).",
      "NAME[:KEY=VALUE,...]");
  const QCommandLineOption faultPlan("fault-plan", "Run the timed faults of the JSON plan in FILE.", "FILE");
  const QCommandLineOption seed("seed", "Seed N for every random choice of the faults (default 1).", "N");
  const QCommandLineOption fleet(
      "fleet", "With --headless: run N rigs in one process, each under <root>/Fleet/Rig<k> (see docs/fleet.md).", "N");
  const QCommandLineOption fleetSeed(
      "fleet-seed", "Make the rigs of the fleet differ in start depth, mode and start moment, by seed S.", "S");
  const QCommandLineOption fleetFirst(
      "fleet-first", "Number the fleet's rigs from K (their ports, folders and seeds follow), so that several "
                     "processes serve slices of one fleet (default 1).",
      "K");
  const QCommandLineOption logFormat(
      "log-format", "With --headless: the status lines as 'text' (default) or 'json', one object a line.", "FORMAT");
  const QCommandLineOption optionsFile(
      "options-file", "Read more options from FILE, as if given in its place (a service's configuration).", "FILE");
  const QCommandLineOption replay("replay", "Play the recorded well in FILE (LAS, CSV, WITS log or capture) instead "
                                           "of the simulated rig (see docs/replay.md).", "FILE");
  const QCommandLineOption replayMap("replay-map", "Map the replayed curves by the JSON object in FILE "
                                                   "({\"HKLD\": \"0114\"}) over the default map.", "FILE");
  const QCommandLineOption replaySpeed("replay-speed", "Play at X times the file's own pace, 0.1 to 1000 (default 1).", "X");
  const QCommandLineOption replayStart("replay-start", "Start at INDEX: a time, a depth or row:N.", "INDEX");
  const QCommandLineOption replayLoop("replay-loop", "Start the replay again at its end.");
  const QCommandLineOption replayRop("replay-rop", "Play a depth-indexed file at R depth units per hour (default: a "
                                                   "row per output interval).", "R");
  const QCommandLineOption replayUnits("replay-units", "Convert the replayed values to metric or imperial units "
                                                       "(default: as the file has them).", "SYSTEM");
  parser.addOptions({help, version, headless, duration, tenTimes, console, root, control, controlToken,
                     controlMaxConnections, well, historyCsv,
                     fault, faultPlan, seed, fleet, fleetSeed, fleetFirst, logFormat, optionsFile, replay, replayMap,
                     replaySpeed, replayStart, replayLoop, replayRop, replayUnits});

  CommandLineResult result;
  const auto fail = [&result](const QString& message) {
    result.exitCode = 2;
    result.output = message.toStdString() + "\n";
    result.outputIsError = true;
    return result;
  };
  const ExpandedArguments expanded = ExpandOptionsFiles(arguments);
  if (expanded.error) return fail(QString::fromStdString(*expanded.error));
  if (!parser.parse(expanded.arguments)) return fail(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return fail("Unexpected argument '" + parser.positionalArguments().first() + "'.");
  }
  if (parser.isSet(help)) {
    result.exitCode = 0;
    result.output = HelpText(parser).toStdString();
    return result;
  }
  if (parser.isSet(version)) {
    result.exitCode = 0;
    result.output = "Vorn Rig Sim " + vorn::GetVersionText() + "\n";
    return result;
  }

  CommandLineOptions& options = result.options;
  options.headless = parser.isSet(headless);
  options.tenTimes = parser.isSet(tenTimes);
  options.console = parser.isSet(console);
  if (parser.isSet(duration)) {
    const std::string text = parser.value(duration).toStdString();
    const double seconds = vorn::ReadDecimal(text);
    if (!vorn::HoldsDecimal(text) || seconds <= 0.0) {
      return fail("Invalid value for --duration: '" + parser.value(duration) + "' (a number of seconds above 0).");
    }
    options.durationSeconds = seconds;
  }
  if (parser.isSet(root)) {
    if (parser.value(root).isEmpty()) return fail("Invalid value for --root: an empty folder name.");
    options.root = parser.value(root).toStdString();
  }
  if (parser.isSet(well)) {
    if (parser.value(well).isEmpty()) return fail("Invalid value for --well: an empty file name.");
    options.wellFile = parser.value(well).toStdString();
  }
  if (parser.isSet(historyCsv)) {
    if (!options.headless) return fail("--history-csv applies to --headless only; the window has its Plots tab.");
    if (parser.value(historyCsv).isEmpty()) return fail("Invalid value for --history-csv: an empty file name.");
    options.historyCsv = parser.value(historyCsv).toStdString();
  }
  if (parser.isSet(control)) {
    options.control = ParseControlEndpoint(parser.value(control));
    if (!options.control) {
      return fail("Invalid value for --control: '" + parser.value(control) +
                  "' ([ADDRESS:]PORT: an IP address, IPv6 in brackets, and a port from 1 to 65535).");
    }
  }
  if (parser.isSet(controlToken)) {
    if (!options.control) return fail("--control-token needs --control [ADDRESS:]PORT.");
    options.controlToken = parser.value(controlToken).toStdString();
  } else if (options.control && environmentToken && !environmentToken->empty()) {
    options.controlToken = environmentToken;  // set for other runs too: it counts only with --control
  }
  if (parser.isSet(controlMaxConnections)) {
    if (!options.control) return fail("--control-max-connections needs --control [ADDRESS:]PORT.");
    options.controlMaxConnections = WholeNumberIn(parser.value(controlMaxConnections), 1, kMaxControlConnections);
    if (!options.controlMaxConnections) {
      return fail("Invalid value for --control-max-connections: '" + parser.value(controlMaxConnections) +
                  "' (a number of connections from 1 to " + QString::number(kMaxControlConnections) + ").");
    }
  }
  for (const QString& text : parser.values(fault)) {
    const Parsed<FaultOrder> order = ParseFaultText(text.toStdString());
    if (!order.ok()) return fail("Invalid value for --fault: '" + text + "': " + QString::fromStdString(order.error));
    options.faults.push_back(*order.value);
  }
  if (parser.isSet(faultPlan)) {
    const QString path = parser.value(faultPlan);
    // A plan is a few KiB; a device or a huge file named by mistake must not hang or fill memory.
    constexpr qint64 kMaxPlanBytes = 1 << 20;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail("Cannot read the fault plan '" + path + "': " + file.errorString());
    const QByteArray json = file.read(kMaxPlanBytes + 1);
    if (json.size() > kMaxPlanBytes) return fail("The fault plan '" + path + "' is over 1 MiB.");
    const Parsed<FaultPlan> plan = ParseFaultPlan(std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
    if (!plan.ok()) return fail("Invalid fault plan '" + path + "': " + QString::fromStdString(plan.error));
    options.faultPlan = *plan.value;
  }
  if (parser.isSet(seed)) {
    options.seed = ParseSeed(parser.value(seed).toStdString());
    if (!options.seed) {
      return fail("Invalid value for --seed: '" + parser.value(seed) + "' (a whole number from 0 to 18446744073709551615).");
    }
  }
  if (parser.isSet(fleet)) {
    if (!options.headless) return fail("--fleet applies to --headless only: a fleet runs without a window.");
    options.fleet = WholeNumberIn(parser.value(fleet), 1, kMaxFleetRigs);
    if (!options.fleet) {
      return fail("Invalid value for --fleet: '" + parser.value(fleet) + "' (a number of rigs from 1 to " +
                  QString::number(kMaxFleetRigs) + ").");
    }
    if (options.historyCsv) return fail("--history-csv does not apply to --fleet: the rigs of a fleet keep no history.");
  }
  if (parser.isSet(fleetSeed)) {
    if (!options.fleet) return fail("--fleet-seed needs --fleet N.");
    options.fleetSeed = ParseSeed(parser.value(fleetSeed).toStdString());
    if (!options.fleetSeed) {
      return fail("Invalid value for --fleet-seed: '" + parser.value(fleetSeed) +
                  "' (a whole number from 0 to 18446744073709551615).");
    }
  }
  if (parser.isSet(fleetFirst)) {
    if (!options.fleet) return fail("--fleet-first needs --fleet N.");
    const int last = kMaxFleetRigNumber - *options.fleet + 1;
    const std::optional<int> first = WholeNumberIn(parser.value(fleetFirst), 1, last);
    if (!first) {
      return fail("Invalid value for --fleet-first: '" + parser.value(fleetFirst) + "' (a rig number from 1 to " +
                  QString::number(last) + ", so that the last rig's number stays within " +
                  QString::number(kMaxFleetRigNumber) + ").");
    }
    options.fleetFirst = *first;
  }
  if (parser.isSet(logFormat)) {
    const QString format = parser.value(logFormat);
    if (!options.headless) return fail("--log-format applies to --headless only.");
    if (format != "text" && format != "json") {
      return fail("Invalid value for --log-format: '" + format + "' (text or json).");
    }
    options.logFormat = format == "json" ? vorn::StatusFormat::Json : vorn::StatusFormat::Text;
  }
  if (parser.isSet(replay)) {
    if (parser.value(replay).isEmpty()) return fail("Invalid value for --replay: an empty file name.");
    if (options.fleet) return fail("--replay does not apply to --fleet.");
    ReplayOptions& play = options.replay.emplace();
    play.path = parser.value(replay).toStdString();
    play.mapPath = parser.value(replayMap).toStdString();
    play.start = parser.value(replayStart).toStdString();
    play.loop = parser.isSet(replayLoop);
    if (parser.isSet(replaySpeed)) {
      const std::string text = parser.value(replaySpeed).toStdString();
      play.speed = vorn::ReadDecimal(text);
      if (!vorn::HoldsDecimal(text) || !(play.speed >= 0.1 && play.speed <= 1000.0)) {
        return fail("Invalid value for --replay-speed: '" + parser.value(replaySpeed) + "' (a number from 0.1 to 1000).");
      }
    }
    if (parser.isSet(replayRop)) {
      const std::string text = parser.value(replayRop).toStdString();
      play.ropPerHour = vorn::ReadDecimal(text);
      if (!vorn::HoldsDecimal(text) || !(play.ropPerHour > 0.0 && play.ropPerHour < 1e9)) {
        return fail("Invalid value for --replay-rop: '" + parser.value(replayRop) + "' (depth units per hour above 0).");
      }
    }
    if (parser.isSet(replayUnits)) {
      const QString system = parser.value(replayUnits).toLower();
      if (system == "metric") {
        play.units = vorn::replay::UnitSystem::Metric;
      } else if (system == "imperial") {
        play.units = vorn::replay::UnitSystem::Imperial;
      } else {
        return fail("Invalid value for --replay-units: '" + parser.value(replayUnits) + "' (metric or imperial).");
      }
    }
  } else {
    for (const QCommandLineOption* option : {&replayMap, &replaySpeed, &replayStart, &replayLoop, &replayRop, &replayUnits}) {
      if (parser.isSet(*option)) return fail("--" + option->names().first() + " needs --replay FILE.");
    }
  }
  if (options.controlToken && !IsTokenText(*options.controlToken)) {
    return fail(QString("Invalid control token (--control-token or $%1): one or more of the printable ASCII "
                        "characters, no spaces.")
                    .arg(kControlTokenVariable));
  }
  return result;
}
