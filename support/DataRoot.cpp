#include "support/DataRoot.h"

#include <cstdlib>
#include <filesystem>

namespace vorn {

namespace {

std::string RootOrProgramRoot(const std::string& root) { return root.empty() ? DataRootFolder() : root; }

}  // namespace

std::string DataRootFolder() {
  const char* root = std::getenv("VORN_RIG_SIM_ROOT");
  if (root != nullptr && *root != '\0') return root;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/Vorn_Rig_Sim";
}

std::string OutputFilesFolder(const std::string& root) { return RootOrProgramRoot(root) + "/OutputFiles"; }
std::string WitsLogFilesFolder(const std::string& root) { return RootOrProgramRoot(root) + "/WitsLogFiles"; }
std::string SettingsFolder(const std::string& root) { return RootOrProgramRoot(root) + "/Settings"; }
std::string PortsFolder() { return DataRootFolder() + "/Ports"; }

bool CreateDataFolders(const std::string& root) {
  bool all = true;
  for (const std::string& folder :
       {RootOrProgramRoot(root), OutputFilesFolder(root), WitsLogFilesFolder(root), SettingsFolder(root)}) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    all = all && std::filesystem::is_directory(folder, ec);
  }
  return all;
}

}  // namespace vorn
