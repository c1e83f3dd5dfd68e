#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "engine/RigSim.h"

// Engines for fuzz targets, built once per process. The profile store and the data root point at a
// folder of this process's own, so fuzzing never touches the user's files.
inline CRigSim& FuzzEngine(int which = 0) {
  static const bool prepared = [] {
    const std::string folder = "/tmp/vorn-fuzz-" + std::to_string(getpid());
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
  static CRigSim engines[2];
  return engines[which];
}
