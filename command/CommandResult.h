#pragma once

#include <string>
#include <utility>

// How a command of the rig controller ended.
enum class CommandOutcome {
  Done,     // carried out (also when it changed nothing)
  Invalid,  // the request itself is wrong: a depth that is no number, a mode or gain out of range, ...
  Refused,  // the rig's current state refuses it: a command locked during a run, a run that failed to start
};

// A command's outcome and, unless it is Done, the text that says why. The issuer presents a failure
// (the window in a message box, the headless runner on its status output); views are told only of
// what changed.
struct [[nodiscard]] CommandResult {
  CommandOutcome outcome = CommandOutcome::Done;
  std::string message;

  [[nodiscard]] bool IsDone() const { return outcome == CommandOutcome::Done; }

  static CommandResult Done() { return {}; }
  static CommandResult Invalid(std::string why) { return {CommandOutcome::Invalid, std::move(why)}; }
  static CommandResult Refused(std::string why) { return {CommandOutcome::Refused, std::move(why)}; }

  bool operator==(const CommandResult&) const = default;
};
