// The program's command: a small static executable that blocks SIGINT and SIGTERM as its very first
// action and then becomes the simulator (vornrigsim-main, beside it or in ../libexec/vornrigsim/).
// The simulator is a large dynamic executable whose loading takes tens of milliseconds before any of
// its own code can run; a stop signal sent meanwhile would end it. Blocked from here on, the signal
// waits through the exec, keeping the process id, until the simulator's handler is in place.
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

void BlockStopSignals(int, char**, char**) {
  const uint64_t stop = (uint64_t{1} << (SIGINT - 1)) | (uint64_t{1} << (SIGTERM - 1));
  syscall(SYS_rt_sigprocmask, SIG_BLOCK, &stop, nullptr, sizeof stop);
}

// `folder` + `name` into `path`; false when it does not fit.
bool Join(char* path, size_t size, const char* folder, const char* name) {
  return static_cast<size_t>(std::snprintf(path, size, "%s%s", folder, name)) < size;
}

}  // namespace

// Runs before anything else of this program, the C library's own start included.
[[gnu::section(".preinit_array"), gnu::used]] void (*const kBlockStopSignals)(int, char**, char**) = BlockStopSignals;

int main(int, char** argv) {
  char self[4096] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) {
    std::fprintf(stderr, "vornrigsim: cannot find its own location: %s\n", std::strerror(errno));
    return 127;
  }
  char* slash = std::strrchr(self, '/');
  if (slash == nullptr) return 127;
  slash[1] = '\0';  // the folder, ending in '/'
  char path[4096 + 64];
  for (const char* name : {"vornrigsim-main", "../libexec/vornrigsim/vornrigsim-main"}) {
    if (Join(path, sizeof path, self, name) && access(path, X_OK) == 0) {
      execv(path, argv);
      std::fprintf(stderr, "vornrigsim: cannot start %s: %s\n", path, std::strerror(errno));
      return 127;
    }
  }
  std::fprintf(stderr, "vornrigsim: vornrigsim-main is neither beside %s nor in ../libexec/vornrigsim/\n", self);
  return 127;
}
