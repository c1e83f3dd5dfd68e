#include "support/ProcessStats.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace vorn {

namespace {

std::optional<uint64_t> ResidentBytes() {
  std::FILE* file = std::fopen("/proc/self/statm", "r");
  if (file == nullptr) return std::nullopt;
  unsigned long long size = 0;
  unsigned long long resident = 0;
  const int read = std::fscanf(file, "%llu %llu", &size, &resident);
  std::fclose(file);
  const long page = sysconf(_SC_PAGESIZE);
  if (read != 2 || page <= 0) return std::nullopt;
  return resident * static_cast<uint64_t>(page);
}

std::optional<uint64_t> OpenFiles() {
  std::error_code error;
  uint64_t count = 0;
  for (std::filesystem::directory_iterator entry("/proc/self/fd", error), end; !error && entry != end;
       entry.increment(error)) {
    ++count;
  }
  if (error || count == 0) return std::nullopt;
  return count - 1;  // the iterator's own descriptor
}

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; }

}  // namespace

ProcessStats ReadProcessStats() {
  ProcessStats stats;
  stats.residentBytes = ResidentBytes();
  stats.openFiles = OpenFiles();
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) stats.maxOpenFiles = limit.rlim_cur;
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) == 0) stats.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return stats;
}

}  // namespace vorn
