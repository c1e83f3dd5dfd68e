#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Sends the pumps notice to every top-level window on the X display whose title begins with
// "QUARKLET". The connection is opened on the first broadcast and opened again when the server has
// gone away; without a display a broadcast reaches no one. Nothing is waited for: the only round
// trips are those of one enumeration of the windows and their titles.
class CPumpBroadcaster {
 public:
  // An empty display name means $DISPLAY.
  explicit CPumpBroadcaster(std::string displayName = {});
  ~CPumpBroadcaster();
  CPumpBroadcaster(const CPumpBroadcaster&) = delete;
  CPumpBroadcaster& operator=(const CPumpBroadcaster&) = delete;

  // Finds the receivers afresh and queues the notice to each; returns how many there were.
  int Broadcast(bool pumpsOn);
  // The receivers of the last broadcast, in the order they were found.
  [[nodiscard]] const std::vector<std::uint32_t>& Receivers() const { return m_receivers; }

 private:
  struct Display;
  bool Connect();

  std::string m_displayName;
  std::unique_ptr<Display> m_display;
  std::vector<std::uint32_t> m_receivers;
};

// Tells cooperating desktop programs that the simulated pumps started (true) or stopped (false):
// the console line, then a broadcast through the process's one broadcaster on $DISPLAY.
void SendExternalPumpsMessage(bool pumpsOn);
