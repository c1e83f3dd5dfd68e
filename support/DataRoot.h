#pragma once

#include <string>

namespace vorn {

// The data root: $VORN_RIG_SIM_ROOT when set, else $HOME/Vorn_Rig_Sim. Read on every call, so a
// test that sets the variable first never touches the user's real files.
[[nodiscard]] std::string DataRootFolder();
[[nodiscard]] std::string OutputFilesFolder();   // <root>/OutputFiles
[[nodiscard]] std::string WitsLogFilesFolder();  // <root>/WitsLogFiles
[[nodiscard]] std::string SettingsFolder();      // <root>/Settings
[[nodiscard]] std::string PortsFolder();         // <root>/Ports (serial port name mapping)

// Creates the root and its three working folders; true when all exist afterwards.
bool CreateDataFolders();

}  // namespace vorn
