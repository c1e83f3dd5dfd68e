// The process's first code: SIGINT and SIGTERM are blocked before the shared libraries' initialisers
// run (Qt's, the sanitizers'), which take tens of milliseconds, so a stop signal sent at any moment
// of the start waits until main() has its handler in place (CatchStopSignals unblocks them then).
#include <csignal>
#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A direct system call: nothing of the C library or of an interceptor is ready this early.
void BlockStopSignals(int, char**, char**) {
  const uint64_t stop = (uint64_t{1} << (SIGINT - 1)) | (uint64_t{1} << (SIGTERM - 1));
  syscall(SYS_rt_sigprocmask, SIG_BLOCK, &stop, nullptr, sizeof stop);
}

}  // namespace

// Functions of an executable's pre-initialisation array run before any library's initialiser.
[[gnu::section(".preinit_array"), gnu::used]] void (*const kBlockStopSignalsAtLoad)(int, char**, char**) =
    BlockStopSignals;
