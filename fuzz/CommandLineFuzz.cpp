// The command line on arbitrary argument lists (the input split at NUL bytes, after the program's
// name): never a crash, and every outcome is one the program can act on: options to run with, or
// exit code 0 with text for standard output, or exit code 2 with a message for standard error.
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces{"vornrigsim"};
  std::string piece;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += static_cast<char>(data[i]);
    }
  }
  if (size > 0) pieces.push_back(piece);

  // As main() receives them: C strings, decoded the way it decodes them.
  std::vector<char*> argv;
  QStringList arguments;
  for (std::string& text : pieces) {
    argv.push_back(text.data());
    arguments << QString::fromLocal8Bit(text.c_str());
  }
  argv.push_back(nullptr);

  const CommandLineResult result = ParseCommandLine(arguments);
  const bool headlessAsked = WantsHeadless(static_cast<int>(pieces.size()), argv.data());
  if (result.exitCode) {
    if (*result.exitCode == 0) {
      if (result.outputIsError || result.output.empty()) std::abort();
    } else if (*result.exitCode == 2) {
      if (!result.outputIsError || result.output.empty() || result.output.back() != '\n') std::abort();
    } else {
      std::abort();
    }
    return 0;
  }
  const CommandLineOptions& options = result.options;
  if (!result.output.empty()) std::abort();
  if (options.durationSeconds && !(std::isfinite(*options.durationSeconds) && *options.durationSeconds > 0.0)) {
    std::abort();
  }
  if (options.root && options.root->empty()) std::abort();
  // The headless mode is chosen only when the early look at the arguments sees it too.
  if (options.headless && !headlessAsked) std::abort();
  // A fleet is headless, of 1 to the most rigs, and only a fleet has a fleet seed.
  if (options.fleet && (!options.headless || *options.fleet < 1 || *options.fleet > kMaxFleetRigs)) std::abort();
  if (options.fleetSeed && !options.fleet) std::abort();
  return 0;
}
