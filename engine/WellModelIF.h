#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What the rig is doing at one tick, as the engine tells a well model: in the well's units, the
// engine's lengths and the settings' set points included.
struct CRigActivity {
  double dtSeconds = 0.0;  // simulated seconds since the previous tick
  double bitDepth = 0.0;
  double holeDepth = 0.0;
  double blockHeight = 0.0;
  bool inSlips = false;
  bool pumpsOn = false;
  bool rotating = false;
  bool drilling = false;    // a drilling sub-state: the driller feeds the bit
  bool connection = false;  // in slips while drilling
  double setFlow = 0.0;     // the driller's set points
  double setWob = 0.0;
  double setRpm = 0.0;
};

// One channel a well model answers: its name, its unit, the sensor's reading and the true value.
struct CWellChannel {
  std::string_view name;
  std::string_view unit;
  double value = 0.0;
  double trueValue = 0.0;
};

// A well behind the rig. With one attached the engine tells it the activity at every tick, advances
// the bit at its rate while drilling and takes its channels; it knows nothing else of it.
class CWellModelIF {
 public:
  virtual ~CWellModelIF() = default;
  virtual void OnTick(const CRigActivity& activity) = 0;
  // The true rate the bit drills at now, in length units per hour.
  [[nodiscard]] virtual double DrillingRop() const = 0;
  // Every channel it answers: the engine's own numeric ones by their names, and those of
  // WellChannelNames() below.
  [[nodiscard]] virtual std::size_t ChannelCount() const = 0;
  [[nodiscard]] virtual CWellChannel Channel(std::size_t index) const = 0;
  // The unit of a length, for the engine's depth channels.
  [[nodiscard]] virtual std::string_view LengthUnit() const = 0;
  [[nodiscard]] virtual std::string FormationAtBit() const = 0;
  // The depth a data root with no saved state starts at.
  [[nodiscard]] virtual double StartDepth() const = 0;
  // The output items were evaluated: maximums over the output interval start again.
  virtual void OnItemsEvaluated() = 0;
};

// The channels a well adds to the engine's fourteen, in the order the views list them; the output
// item types from 20 on copy them in this order.
[[nodiscard]] const std::vector<std::string>& WellChannelNames();
