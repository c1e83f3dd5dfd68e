#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Activity modes; the value is stored in the settings as a plain integer.
enum RigMode : int32_t { Idle = 0, Drill = 1, TripIn = 2, TripOut = 3 };

inline constexpr int kRigModeCount = 4;

// "Idle", "Drill", "Trip In", "Trip Out", in mode order.
[[nodiscard]] const std::vector<std::string>& RigModeNames();

// The sub-state names of a mode in index order; empty for a mode outside 0 to 3.
[[nodiscard]] const std::vector<std::string>& SubStateNames(int mode);

// Sub-states of the drilling machine.
enum DrillState : int32_t {
  DrillIdle = 0,
  PickingUpOffBottom = 1,
  TurningPumpsOff = 2,
  PausingAfterPumpsOff = 3,
  SettingSlips = 4,
  ConnectionUp = 5,
  DrillReleasingSlips = 6,
  TurningPumpsOn = 7,
  PausingAfterPumpsOn = 8,
  WipingIn = 9,
  DrillingSliding = 10,
  DrillingRotating = 11,
};

// Sub-states of the two trip machines (same numbering for both).
enum TripState : int32_t {
  TripIdle = 0,
  TripSettingSlips = 1,
  TripConnection = 2,  // "Connections Up" tripping in, "Connections Down" tripping out
  TripReleasingSlips = 3,
  TripPipeMoving = 4,  // "Pipe Down" tripping in, "Pipe Up" tripping out
};
