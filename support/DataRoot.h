#pragma once

#include <string>

namespace vorn {

// The data root: $VORN_RIG_SIM_ROOT when set, else $HOME/Vorn_Rig_Sim. Read on every call, so a
// test that sets the variable first never touches the user's real files.
[[nodiscard]] std::string DataRootFolder();

// The folders of a data root. Each rig of a fleet has a root of its own; an empty `root` is the
// program's (DataRootFolder(), read at each call).
[[nodiscard]] std::string OutputFilesFolder(const std::string& root = {});   // <root>/OutputFiles
[[nodiscard]] std::string WitsLogFilesFolder(const std::string& root = {});  // <root>/WitsLogFiles
[[nodiscard]] std::string SettingsFolder(const std::string& root = {});      // <root>/Settings
[[nodiscard]] std::string PortsFolder();  // <program's root>/Ports (serial port name mapping)

// Creates the root and its three working folders; true when all exist afterwards.
bool CreateDataFolders(const std::string& root = {});

}  // namespace vorn
