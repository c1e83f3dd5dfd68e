#include "engine/RigMode.h"

const std::vector<std::string>& RigModeNames() {
  static const std::vector<std::string> names = {"Idle", "Drill", "Trip In", "Trip Out"};
  return names;
}

const std::vector<std::string>& SubStateNames(int mode) {
  static const std::vector<std::vector<std::string>> names = {
      {"Idle"},
      {"Idle", "Picking Up Off Bottom", "Turning Pumps Off", "Pausing After Pumps Off", "Setting Slips",
       "Connection Up", "Releasing Slips", "Turning Pumps On", "Pausing After Pumps On", "Wiping In",
       "Drilling Sliding", "Drilling Rotating"},
      {"Idle", "Settings Slips", "Connections Up", "Releasing Slips", "Pipe Down"},
      {"Idle", "Settings Slips", "Connections Down", "Releasing Slips", "Pipe Up"},
  };
  static const std::vector<std::string> none;
  if (mode < 0 || mode >= kRigModeCount) return none;
  return names[static_cast<size_t>(mode)];
}
