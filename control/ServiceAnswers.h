#pragma once

#include <string>
#include <vector>

#include "control/RigCounters.h"
#include "engine/RunControl.h"
#include "support/ProcessStats.h"

// What a service manager, a load balancer and a monitoring system ask of a running simulator: its
// health, and its metrics in the Prometheus text format. Neither needs the API's token: they tell
// nothing of the settings and change nothing.
namespace vorn::control {

// One rig as the health and the metrics see it.
struct RigSample {
  int rig = 0;  // 0: the program's one rig; k: rig k of a fleet
  bool running = false;
  bool linkOpen = false;  // a serial port open, a server listening, a client connected
  int receivers = 0;      // a server's attached receivers; a connected client or open port counts 1
  RigCounts counts;
  TickTiming timing;
};

struct ServiceAnswer {
  int status = 200;
  std::string contentType;
  std::string body;
};

// Liveness (`readiness` false): 200 whenever the loop answers. Readiness: 200 when every rig's run is
// active and its WITS link open, else 503. The body says which rigs are not ready (at most 20 named).
[[nodiscard]] ServiceAnswer HealthAnswer(const std::vector<RigSample>& rigs, bool readiness);

// Every rig's counters and the process's figures, one sample per rig labelled rig="<k>".
[[nodiscard]] std::string MetricsText(const std::vector<RigSample>& rigs, const vorn::ProcessStats& process);

}  // namespace vorn::control
