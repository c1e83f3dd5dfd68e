#pragma once

#include <chrono>

namespace vorn::control {

// What one client may hold of the control API, so no client can take the process's descriptors or
// keep connections it does not use.
struct ConnectionLimits {
  static constexpr int kDefaultMaxConnections = 64;

  // Connections open at once, event streams included; one more is answered 503 and closed at once.
  int maxConnections = kDefaultMaxConnections;
  // A request, head and body, must come whole within this of its first byte (a new connection's
  // first request: of its opening); else 408, or a silent close when nothing came.
  std::chrono::milliseconds requestTimeout{10000};
  // A kept-alive connection with no request for this long is closed (an event stream never is).
  std::chrono::milliseconds idleTimeout{60000};
};

}  // namespace vorn::control
