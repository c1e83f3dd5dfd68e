#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

// Points the profile store and the data root at a folder of this process's own, removed at exit, so
// fuzzing never touches the user's files. Call before the first engine or profile value exists. The
// folder is in memory where the system offers one: every profile write ends in an fsync, which on a
// disk would make each input take tens of milliseconds.
inline void PrepareFuzzFolders() {
  static const bool prepared = [] {
    std::error_code ec;
    const std::string parent = std::filesystem::is_directory("/dev/shm", ec) ? "/dev/shm" : "/tmp";
    const std::string folder = parent + "/vorn-fuzz-" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1);
    setenv("VORN_RIG_SIM_ROOT", (folder + "/root").c_str(), 1);
    static const std::string removeAtExit = folder;
    std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(removeAtExit, error);
    });
    return true;
  }();
  (void)prepared;
}
