#include "fleet/FleetCapacity.h"

#include <sys/resource.h>

#include <algorithm>

uint64_t RaiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
  if (limit.rlim_cur != limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  return limit.rlim_cur == RLIM_INFINITY ? UINT64_MAX : static_cast<uint64_t>(limit.rlim_cur);
}

uint64_t DescriptorsPerRig(const CWitsCommSettings& link) {
  if (link.tcpIpType != Master) return 1;
  return 1 + static_cast<uint64_t>(std::clamp(link.nMaxClients, 1, kMaxLinkClients));
}

uint64_t RigsServable(uint64_t openFileLimit, const CWitsCommSettings& link) {
  if (openFileLimit <= kFleetReservedDescriptors) return 0;
  return (openFileLimit - kFleetReservedDescriptors) / DescriptorsPerRig(link);
}
