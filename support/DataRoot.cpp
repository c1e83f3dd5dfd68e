#include "support/DataRoot.h"

#include <cstdlib>
#include <filesystem>

namespace vorn {

std::string DataRootFolder() {
  const char* root = std::getenv("VORN_RIG_SIM_ROOT");
  if (root != nullptr && *root != '\0') return root;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/Vorn_Rig_Sim";
}

std::string OutputFilesFolder() { return DataRootFolder() + "/OutputFiles"; }
std::string WitsLogFilesFolder() { return DataRootFolder() + "/WitsLogFiles"; }
std::string SettingsFolder() { return DataRootFolder() + "/Settings"; }
std::string PortsFolder() { return DataRootFolder() + "/Ports"; }

bool CreateDataFolders() {
  bool all = true;
  for (const std::string& folder : {DataRootFolder(), OutputFilesFolder(), WitsLogFilesFolder(), SettingsFolder()}) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    all = all && std::filesystem::is_directory(folder, ec);
  }
  return all;
}

}  // namespace vorn
