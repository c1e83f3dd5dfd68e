#include "support/DescriptorReserve.h"

#include <array>
#include <fcntl.h>
#include <unistd.h>

namespace vorn {
namespace {

// The state's temporary file and its folder, the history CSV, the run's last lines, and spare.
std::array<int, 6> g_reserve = {-1, -1, -1, -1, -1, -1};

}  // namespace

bool HoldDescriptorReserve() {
  for (int& fd : g_reserve) {
    if (fd < 0) fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      ReleaseDescriptorReserve();  // a part would only keep the last free descriptors from use
      return false;
    }
  }
  return true;
}

void ReleaseDescriptorReserve() {
  for (int& fd : g_reserve) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

}  // namespace vorn
