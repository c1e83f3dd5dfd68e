#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <cstring>

#include "support/Numbers.h"
#include "support/System.h"

bool WantsHeadless(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--headless") == 0) return true;
    if (std::strcmp(argv[i], "--") == 0) break;
  }
  return false;
}

CommandLineResult ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Vorn Rig Sim: a drilling-rig simulator that feeds WITS receivers.");
  const QCommandLineOption help({"h", "help"}, "Show this help.");
  const QCommandLineOption version("version", "Show the version.");
  const QCommandLineOption headless("headless", "Run without a window: start a run at once.");
  const QCommandLineOption duration("duration", "End the run after SECONDS and exit.", "SECONDS");
  const QCommandLineOption tenTimes("ten-times", "Run at ten-times speed from the start.");
  const QCommandLineOption console("console", "Write the diagnostic lines to standard output.");
  const QCommandLineOption root("root", "Use DIR as the data root.", "DIR");
  parser.addOptions({help, version, headless, duration, tenTimes, console, root});

  CommandLineResult result;
  const auto fail = [&result](const QString& message) {
    result.exitCode = 2;
    result.output = message.toStdString() + "\n";
    result.outputIsError = true;
    return result;
  };
  if (!parser.parse(arguments)) return fail(parser.errorText());
  if (!parser.positionalArguments().isEmpty()) {
    return fail("Unexpected argument '" + parser.positionalArguments().first() + "'.");
  }
  if (parser.isSet(help)) {
    result.exitCode = 0;
    result.output = parser.helpText().toStdString();
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
  return result;
}
