// The main of every benchmark program: the engine's profile value and every file a benchmark writes
// stay in a scratch folder, never in the user's real folders.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
  const auto scratch = std::filesystem::temp_directory_path() / ("vornrigsim-bench-" + std::to_string(getpid()));
  for (const char* folder : {"root/OutputFiles", "root/WitsLogFiles", "root/Settings", "config"}) {
    std::filesystem::create_directories(scratch / folder);
  }
  setenv("VORN_RIG_SIM_ROOT", (scratch / "root").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(scratch);
  return 0;
}
