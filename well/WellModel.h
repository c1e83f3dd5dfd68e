#pragma once

#include <cstdint>
#include <string>

#include "well/LagLine.h"
#include "well/Trajectory.h"
#include "well/WellChannels.h"
#include "well/WellDescription.h"
#include "well/WellGeometry.h"
#include "well/WellSensors.h"

namespace vorn::well {

// What the rig is doing, as the engine tells it at each tick (SI).
struct WellActivity {
  double dt = 0.1;             // simulated seconds since the previous tick
  double bitDepth = 0.0;
  double holeDepth = 0.0;
  double blockHeight = 0.0;
  bool inSlips = false;
  bool pumpsOn = false;
  bool rotating = false;
  bool drilling = false;       // the driller is feeding the bit (a drilling sub-state)
  bool connection = false;     // in slips at a connection while drilling (a survey is taken)
  double setFlow = 0.0;        // m3/s, the driller's set points
  double setWob = 0.0;         // N
  double setRpm = 0.0;
};

// A survey taken at a connection; `number` counts them from one.
struct Survey {
  int number = 0;
  double depth = 0.0, tvd = 0.0, inclination = 0.0, azimuth = 0.0;
};

// The volumes of the mud circuit, for its balance: what went in and out of the flow line and the
// transfers between the pits never make or lose mud.
struct MudBalance {
  double pit = 0.0;         // active pit
  double tripTank = 0.0;
  double well = 0.0;        // mud in the hole: the hole less the string's steel
  double flowLine = 0.0;    // mud on its way from the bell nipple to the pit
  double pumpedIn = 0.0;    // total pumped from the pit
  double returned = 0.0;    // total arrived at the pit from the flow line
  double reserveAdded = 0.0;  // mud added to the active pit from reserve
};

// The well's physics, advanced by the engine's ticks: the rig's answers to what the driller does,
// each channel as the sensor reads it and as it truly is.
class WellModel {
 public:
  // rigSeed is added to the well's seed, so that rigs drilling the same well send different noise.
  explicit WellModel(const Well& well, uint64_t rigSeed = 0);

  // Starts afresh at these depths: the annulus full of background mud, the pits at their volumes.
  void Reset(double bitDepth, double holeDepth);
  void Tick(const WellActivity& activity);

  [[nodiscard]] const ChannelValues& Measured() const { return m_measured; }
  [[nodiscard]] const ChannelValues& Truth() const { return m_truth; }
  [[nodiscard]] double Measured(Channel c) const { return m_measured[Index(c)]; }
  [[nodiscard]] double Truth(Channel c) const { return m_truth[Index(c)]; }
  // The true rate of penetration the bit advances at, m/s.
  [[nodiscard]] double Rop() const { return m_truth[Index(Channel::Rop)]; }
  [[nodiscard]] const std::string& FormationAtBit() const { return m_formation->name; }
  [[nodiscard]] const Survey& LastSurvey() const { return m_survey; }
  [[nodiscard]] const MudBalance& Balance() const { return m_balance; }
  [[nodiscard]] const Well& Description() const { return m_well; }
  // Starts the maximums of hookload, WOB and torque over again (at each output interval).
  void ResetMaxima();

 private:
  // The string's weight on the hook and its friction with the hole, before the bit takes weight.
  struct StringForces {
    double axial = 0.0;   // buoyed weight along the hole
    double drag = 0.0;    // axial friction, positive while the pipe goes down
    double torque = 0.0;  // rotary friction
  };
  void Pumps(const WellActivity& a);
  void Hydraulics(double bitDepth, double bitTvd);
  [[nodiscard]] StringForces Forces(const WellActivity& a, double bitTvd, double bitSpeed) const;
  void WeightOnBit(const WellActivity& a, double bitTvd, const StringForces& forces);
  void Loads(const WellActivity& a, const StringForces& forces);
  void MudCircuit(const WellActivity& a);
  void Returns(const WellActivity& a, double bitTvd, double travel);
  void Indicators(ChannelValues& values);
  void TakeSurvey(const WellActivity& a);
  void Transfer(double& from, double& to, double volume);
  [[nodiscard]] double FormationTemperature(double tvd) const;

  Well m_well;
  WellGeometry m_geometry;
  Trajectory m_trajectory;
  WellSensors m_sensors;
  LagLine m_lag;
  const Formation* m_formation;
  ChannelValues m_truth{};
  ChannelValues m_measured{};
  MudBalance m_balance;
  Survey m_survey;

  double m_fluidFactor;          // rho^0.8 mu^0.2 of the mud
  double m_displacement;         // m3 per stroke of one pump
  double m_seconds = 0.0;
  double m_flow = 0.0;           // true pump output, m3/s
  double m_strokes = 0.0;
  double m_strokePhase = 0.0;
  double m_annulusLoss = 0.0;    // Pa
  double m_wob = 0.0;
  double m_bitTorque = 0.0;
  double m_wear;
  double m_prevBit = 0.0;
  bool m_started = false;
  double m_pitReference = 0.0;   // the pit volume its change counts from
  double m_flowOut = 0.0;        // at the flow line's end
  double m_pumpsOffSeconds = 0.0;
  double m_travelWhileOff = 0.0;
  double m_peakGas = 0.0;        // gas still to add to the mud leaving the bit
  double m_peakVolumeLeft = 0.0;
  bool m_wasFlowing = false;
  bool m_wasConnection = false;
  double m_tempOut;
};

}  // namespace vorn::well
