#pragma once

#include <cstdint>
#include <optional>

// What the process uses, read from the system as it stands, for a monitoring system. A figure that
// cannot be read (no /proc, no descriptor left to read it with) is none.
namespace vorn {

struct ProcessStats {
  std::optional<uint64_t> residentBytes;
  std::optional<uint64_t> openFiles;
  std::optional<uint64_t> maxOpenFiles;  // the soft limit
  double cpuSeconds = 0.0;               // user and system
};

[[nodiscard]] ProcessStats ReadProcessStats();

}  // namespace vorn
