#pragma once

#include <cstdint>
#include <string>

namespace vorn {

// The 44-byte window placement value, laid out as the Windows WINDOWPLACEMENT so stored values keep
// their size and meaning.
struct WindowPlacement {
  int32_t length = 44;
  int32_t flags = 0;
  int32_t showCmd = 1;  // 1 normal, 2 minimised, 3 maximised
  int32_t minX = -1, minY = -1;
  int32_t maxX = -1, maxY = -1;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};
static_assert(sizeof(WindowPlacement) == 44);

// Named per-user values in the section "<base>\<sub>", kept by QSettings (organisation and
// application "VornRigSim", an INI file under $XDG_CONFIG_HOME). The section is the group "base/sub".
class CProfileSection {
 public:
  CProfileSection(std::string base, std::string sub);

  [[nodiscard]] int GetInt(const std::string& entry) const;  // 0 when absent
  void WriteInt(const std::string& entry, int value);
  // True and the placement filled only when a value of exactly 44 bytes is stored.
  // A text value; empty when absent.
  [[nodiscard]] std::string GetString(const std::string& entry) const;
  void WriteString(const std::string& entry, const std::string& value);
  // The entry gone from the profile (nothing when it is not there).
  void RemoveEntry(const std::string& entry);
  bool GetPlacement(const std::string& entry, WindowPlacement& placement) const;
  void WritePlacement(const std::string& entry, const WindowPlacement& placement);

 private:
  [[nodiscard]] std::string Key(const std::string& entry) const;
  std::string m_base;
  std::string m_sub;
};

}  // namespace vorn
