#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The link lines of the headless status output. A line is due when the link's state changes, or its
// status text changes in more than its time stamp. A state change, and a new text of a connected
// link, are printed at once. While the link retries (it stays Trying to Connect or Closed), at most
// one line is printed every 10 s on the engine's millisecond clock, and it ends with the number of
// open attempts since the link was last connected: " (57 attempts)". A link that retries with the
// same text thus prints one line, not one every tick.
class CLinkStatusLines {
 public:
  static constexpr int32_t kRetryLineIntervalMs = 10000;

  // The line for the link as it stands after a tick ("Link <state>: <status>"), or nothing.
  // `attempts` counts the link's opens so far; `nowMs` is the engine's millisecond clock.
  [[nodiscard]] std::optional<std::string> Next(int state, const std::string& status, uint64_t attempts,
                                                uint32_t nowMs);

 private:
  bool m_bPrinted = false;
  int m_state = 0;
  std::string m_text;  // without its time stamp
  uint32_t m_lineMs = 0;
  uint64_t m_attemptsWhenConnected = 0;
};

// A status text without its time stamp. The texts of a link that is trying to connect end in " @ "
// and the local time: "Trying to Connect to Comm Port %d @ <time>" and "Trying to Connect IP='%s'
// Port=%d) @ <time>", the time as "3/7/2021 14:05:09.045"; that ending is dropped. Any other text is
// returned whole.
[[nodiscard]] std::string WithoutTimeStamp(const std::string& status);
