#include "tests/common/TestEnvironment.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace vorn::test {
namespace {

std::string g_base;

std::string MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vornrigsim-test-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return buffer.data();
}

}  // namespace

void PrepareEnvironment() {
  g_base = MakeTempFolder();
  const std::string root = g_base + "/root";
  const std::string config = g_base + "/config";
  std::filesystem::create_directories(root);
  std::filesystem::create_directories(config);
  setenv("VORN_RIG_SIM_ROOT", root.c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

void CleanEnvironment() {
  if (g_base.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(g_base, ec);
  g_base.clear();
}

std::string DataRoot() { return g_base + "/root"; }

std::string MakeScratchFolder(const std::string& name) {
  const std::string path = g_base + "/scratch/" + name;
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  std::filesystem::create_directories(path);
  return path;
}

}  // namespace vorn::test
