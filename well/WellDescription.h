#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "well/WellChannels.h"
#include "well/WellUnits.h"

// A well as the model uses it, every value in SI (m, N, N.m, Pa, m3/s, kg/m3, m3, degC, s). The
// defaults make a plain vertical 8 1/2 in section at 2000 m; the file reader starts from them.
namespace vorn::well {

// One rock layer from its top (measured depth) down to the next one's top. Its rate of penetration
// follows the Bourgoyne-Young form, whose constants are those of the field-unit original (ft/h, ft,
// ppg, klbf/in) whatever the well's units.
struct Formation {
  std::string name = "Formation";
  double top = 0.0;
  double drillability = 3.0;          // a1: ln of the rate in ft/h at the reference conditions
  double compaction = 0.00009;        // a2: per ft of depth above 10,000 ft
  double overbalanceExponent = 0.00004;  // a4: per ft.ppg of pore minus circulating density
  double wobExponent = 1.0;           // a5
  double rpmExponent = 0.6;           // a6
  double wearExponent = 0.8;          // a7
  double thresholdWob = 0.5;          // threshold weight per inch of bit, klbf/in
  double abrasiveness = 1.0;          // multiplies the bit's wear rate
  double poreDensity = 1030.0;        // pore pressure as an equivalent density
  double fractureDensity = 1800.0;    // fracture pressure as an equivalent density
  double backgroundGas = 0.2;         // % at the reference cuttings load
  double connectionGas = 0.8;         // % added to the mud that stood at the bit during a connection
  double tripGas = 3.0;               // % added to the bottoms-up after a trip
};

struct Bit {
  double size = 0.2159;          // 8 1/2 in
  double flowArea = 3.87e-4;     // total nozzle flow area, 0.6 in2
  double wear = 0.0;             // tooth dullness at the start, 0 new to 1 worn out
  double wearRate = 0.01;        // dullness per hour at 60 rpm and 4 klbf/in
  double torqueFactor = 0.25;    // bit torque = factor x WOB x size / 3
};

struct DrillString {
  double pipeOd = 0.127;         // 5 in
  double pipeId = 0.1086;        // 4.276 in
  double pipeWeight = 32.7;      // kg/m in air
  double bhaLength = 200.0;
  double bhaOd = 0.1651;         // 6 1/2 in
  double bhaId = 0.0714;         // 2 13/16 in
  double bhaWeight = 140.0;      // kg/m in air
  double motorRpm = 90.0;        // the bit's speed while sliding
  double slideWobTransfer = 0.7; // share of the set WOB reaching the bit while sliding
  double surveyOffset = 15.0;    // survey sensor above the bit
  double casedFriction = 0.2;
  double openHoleFriction = 0.3;
  double sideForceFactor = 0.25; // side force per weight in a vertical hole (tortuosity)
};

struct Hole {
  double shoeDepth = 1500.0;
  double casingId = 0.2205;      // 9 5/8 in 47 lb/ft
  double openHoleDiameter = 0.0; // 0: the bit's size
};

struct Mud {
  double density = 1200.0;
  double plasticViscosity = 0.020;  // Pa.s (20 cP)
  double yieldPoint = 8.0;          // Pa
  double temperatureIn = 30.0;
};

struct Pumps {
  int count = 2;
  double liner = 0.1651;         // 6 1/2 in
  double stroke = 0.3048;        // 12 in
  double efficiency = 0.95;
  double rampSeconds = 15.0;     // from stopped to the set flow
};

struct Rig {
  double blockWeight = 150.0e3;
  double standLength = 28.5;
  double hookloadLimit = 3.5e6;
  double torqueLimit = 50.0e3;
  double surfaceLineLength = 120.0;  // standpipe, hose and top drive as an equivalent length of pipe
  double surfaceLineId = 0.0972;     // 3.826 in
};

struct Surface {
  double activePit = 60.0;         // at the start
  double tripTank = 4.0;           // its size; it starts half full
  double flowLineSeconds = 8.0;
  double flowOutFullScale = 4000.0e-3 / 60.0;  // paddle at 100 %
};

struct Geothermal {
  double surfaceTemperature = 15.0;
  double gradient = 0.03;        // degC per m of vertical depth
  double mudHeating = 0.35;      // share of the bottom's excess temperature the returns carry
  double returnsTimeConstant = 1200.0;  // s, the slow warming and cooling of the returns
};

struct PlanStation {
  double depth = 0.0;            // measured depth
  double inclination = 0.0;      // deg
  double azimuth = 0.0;          // deg
};

// The sensor of one channel: coloured noise (a first-order process) of a standard deviation and a
// correlation time, the reading's resolution and rare spikes.
struct SensorSpec {
  double std = 0.0;              // SI
  double tau = 1.0;              // s
  double resolution = 0.0;       // SI, 0: none
  double spikesPerHour = 0.0;
};

struct Sensors {
  bool enabled = true;           // "realistic"; false for "none"
  std::array<SensorSpec, kChannelCount> channel = DefaultSensorSpecs();
  double sppRipple = 0.01;       // share of SPP, at three times each pump's stroke rate
  double pitSlosh = 0.08;        // m3 at full flow, with an 8 s period
  double surveyInclinationStd = 0.1;  // deg
  double surveyAzimuthStd = 0.5;      // deg

  [[nodiscard]] static std::array<SensorSpec, kChannelCount> DefaultSensorSpecs();
};

struct Well {
  std::string name = "Well";
  UnitSystem units = UnitSystem::Metric;
  uint64_t seed = 1;
  double startDepth = 2000.0;
  std::vector<Formation> formations = {Formation{}};
  Bit bit;
  DrillString string;
  Hole hole;
  Mud mud;
  Pumps pumps;
  Rig rig;
  Surface surface;
  Geothermal geothermal;
  std::vector<PlanStation> plan;  // empty: vertical
  Sensors sensors;

  [[nodiscard]] double OpenHoleDiameter() const {
    return hole.openHoleDiameter > 0.0 ? hole.openHoleDiameter : bit.size;
  }
  // The formation at a measured depth: the last whose top is at or above it.
  [[nodiscard]] const Formation& FormationAt(double depth) const;
};

}  // namespace vorn::well
