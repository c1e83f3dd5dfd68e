#pragma once

#include <string>

namespace vorn::test {

// Points the data root (VORN_RIG_SIM_ROOT) and the profile store (XDG_CONFIG_HOME) at fresh
// temporary folders, so no test touches the user's real files. Call before any engine or QSettings.
void PrepareEnvironment();

// Removes the folders made by PrepareEnvironment.
void CleanEnvironment();

// The temporary data root and a fresh, empty folder below it for one test's own files.
[[nodiscard]] std::string DataRoot();
[[nodiscard]] std::string MakeScratchFolder(const std::string& name);

}  // namespace vorn::test
