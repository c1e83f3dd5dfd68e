#pragma once

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "faults/FaultOrder.h"
#include "support/StatusLine.h"
#include "replay/ReplayOptions.h"

// Where the control API listens: an IP address (loopback unless given) and a TCP port.
struct ControlEndpoint {
  std::string address = "127.0.0.1";
  uint16_t port = 0;
};

// What the command line asks for.
struct CommandLineOptions {
  bool headless = false;
  std::optional<double> durationSeconds;  // end the run after this long, then exit 0
  bool tenTimes = false;
  bool console = false;                   // diagnostic lines on standard output
  std::optional<std::string> root;        // the data root for this run
  std::optional<ControlEndpoint> control; // serve the control API there
  std::optional<std::string> controlToken;  // every API request must carry it as a bearer token
  std::optional<int> controlMaxConnections;  // the API's connections at once (its default without)
  std::optional<std::string> wellFile;    // the well behind the rig (each rig of a fleet)
  std::optional<std::string> historyCsv;  // headless: the run's history written there as CSV when it stops
  std::vector<FaultOrder> faults;          // --fault, in the order given
  std::optional<FaultPlan> faultPlan;     // --fault-plan, read and checked
  std::optional<uint64_t> seed;           // --seed: the faults' random choices
  std::optional<int> fleet;               // headless: this many rigs in one process
  std::optional<uint64_t> fleetSeed;      // the rigs of the fleet differ by it
  int fleetFirst = 1;                     // the number of the fleet's first rig (a slice of a larger fleet)
  vorn::StatusFormat logFormat = vorn::StatusFormat::Text;  // of the headless status lines
  std::optional<ReplayOptions> replay;    // --replay FILE and its options: a recorded well instead of the rig
};

// The most connections --control-max-connections may allow the control API.
inline constexpr int kMaxControlConnections = 100000;

// The most rigs a fleet may be asked for: one per TCP port.
inline constexpr int kMaxFleetRigs = 65535;
// The highest rig number a fleet slice may reach: the control API's rig numbers have at most 6 digits.
inline constexpr int kMaxFleetRigNumber = 999999;

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

// The environment variable that gives the control API's token when --control-token does not.
inline constexpr const char* kControlTokenVariable = "VORN_RIG_SIM_TOKEN";

// Reads the arguments; the control token falls back to `environmentToken` (the variable's value).
[[nodiscard]] CommandLineResult ParseCommandLine(const QStringList& arguments,
                                                 const std::optional<std::string>& environmentToken = {});

// "[ADDRESS:]PORT" (an IPv6 address in brackets: "[::1]:8080"); empty when it is not one.
[[nodiscard]] std::optional<ControlEndpoint> ParseControlEndpoint(const QString& text);
