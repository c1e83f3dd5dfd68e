#pragma once

#include <QStringList>
#include <optional>
#include <string>

// What the command line asks for.
struct CommandLineOptions {
  bool headless = false;
  std::optional<double> durationSeconds;  // end the run after this long, then exit 0
  bool tenTimes = false;
  bool console = false;                   // diagnostic lines on standard output
  std::optional<std::string> root;        // the data root for this run
};

// The outcome of parsing: options to run with, or an exit code with the text to print first
// (help and version go to standard output with 0, errors to standard error with 2).
struct CommandLineResult {
  CommandLineOptions options;
  std::optional<int> exitCode;
  std::string output;
  bool outputIsError = false;
};

// True when the arguments ask for the headless mode. Read before any application object exists,
// since that choice decides which one to build.
[[nodiscard]] bool WantsHeadless(int argc, char** argv);

[[nodiscard]] CommandLineResult ParseCommandLine(const QStringList& arguments);
