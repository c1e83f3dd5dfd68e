#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A second source of the output items: a recorded well played back. While a run has one, the rig does
// not move by itself; at each calculation interval the items the source feeds take its current
// values, and the usual intervals send, write and log them. A source of whole frames (a WITS log)
// hands its frames over instead, each sent as it is at its own moment.
struct ReplayChannel {
  std::string mnemonic;  // the CSV column
  int32_t record = 0;
  int32_t item = 0;
};

class CReplaySourceIF {
 public:
  // The channels the source feeds, fixed from the run's start to its end.
  [[nodiscard]] virtual const std::vector<ReplayChannel>& Channels() const = 0;
  // Moves the playback to the engine's clock reading; called at every tick of a run.
  virtual void Advance(uint32_t nowMs) = 0;
  // One value text per channel for the current row; empty where the row has no value.
  [[nodiscard]] virtual const std::vector<std::string>& Values() const = 0;
  // Whether the source sends whole frames rather than values.
  [[nodiscard]] virtual bool SendsFrames() const = 0;
  // The frames that are due, in order, each as its bytes; taken once.
  virtual void TakeDueFrames(std::vector<std::string>& frames) = 0;
  virtual ~CReplaySourceIF() = default;
};
