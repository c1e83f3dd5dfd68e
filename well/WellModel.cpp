#include "well/WellModel.h"

#include <algorithm>
#include <cmath>

#include "well/RopModel.h"

namespace vorn::well {

namespace {

constexpr double kGravity = 9.80665;
constexpr double kSteelDensity = 7850.0;
constexpr double kRockDensity = 2600.0;
constexpr double kNozzleCoefficient = 0.95;
constexpr double kReferenceShearRate = 511.0;  // 1/s, a viscometer's 300 rpm reading
constexpr double kWobTimeConstant = 8.0;       // s, the autodriller feeding the string to its set weight
constexpr double kOnBottom = 0.01;             // m
constexpr double kStationarySpeed = 0.005;     // m/s, below which axial friction fades out
constexpr double kJumpSpeed = 20.0;            // m/s: faster is a depth set by hand, not pipe moving
constexpr double kResidualGas = 0.1;           // share of the background while nothing is drilled
constexpr double kReferenceCuttings = 0.005;   // cuttings per volume of mud at which gas is background
constexpr double kPeakVolume = 1.0;            // m3 of mud a connection or trip gas peak is carried in
constexpr double kConnectionPause = 30.0;      // s of pumps off before the bottom mud gathers gas
constexpr double kTripStands = 3.0;            // pipe moved while the pumps were off, in stands: a trip
constexpr double kNormalDensity = 1030.0;      // normal pore pressure, for the corrected d-exponent
constexpr double kTripTankLow = 0.15, kTripTankFill = 0.9, kTripTankHigh = 0.95, kTripTankDrain = 0.5;
constexpr double kPitLow = 0.5;                // share of the active pit at which mud is added from reserve

}  // namespace

WellModel::WellModel(const Well& well, uint64_t rigSeed)
    : m_well(well),
      m_geometry(m_well),
      m_trajectory(m_well.plan),
      m_sensors(m_well.sensors, m_well.seed + rigSeed * 0x9e3779b97f4a7c15ULL),
      m_formation(&m_well.formations.front()),
      m_wear(m_well.bit.wear),
      m_tempOut(m_well.mud.temperatureIn) {
  const double apparentViscosity = m_well.mud.plasticViscosity + m_well.mud.yieldPoint / kReferenceShearRate;
  m_fluidFactor = std::pow(m_well.mud.density, 0.8) * std::pow(apparentViscosity, 0.2);
  m_displacement = 3.0 * M_PI / 4.0 * m_well.pumps.liner * m_well.pumps.liner * m_well.pumps.stroke *
                   m_well.pumps.efficiency;
  Reset(m_well.startDepth, m_well.startDepth);
}

double WellModel::FormationTemperature(double tvd) const {
  return m_well.geothermal.surfaceTemperature + m_well.geothermal.gradient * std::max(tvd, 0.0);
}

void WellModel::Reset(double bitDepth, double holeDepth) {
  m_formation = &m_well.FormationAt(bitDepth);
  const double tvd = m_trajectory.At(bitDepth).tvd;
  const double tempIn = m_well.mud.temperatureIn;
  m_tempOut = tempIn + m_well.geothermal.mudHeating * (FormationTemperature(tvd) - tempIn);
  m_lag.Reset({m_formation->backgroundGas * kResidualGas, m_well.mud.density, m_tempOut, bitDepth});
  m_balance = {};
  m_balance.pit = m_well.surface.activePit;
  m_balance.tripTank = kTripTankDrain * m_well.surface.tripTank;  // the tank's size; it starts half full
  m_balance.well = m_geometry.HoleVolume(holeDepth) - m_geometry.SteelVolume(bitDepth);
  m_pitReference = m_balance.pit;
  m_flow = m_flowOut = m_wob = 0.0;
  m_prevBit = bitDepth;
  m_started = false;
  m_pumpsOffSeconds = m_travelWhileOff = m_peakGas = m_peakVolumeLeft = 0.0;
  m_wasFlowing = m_wasConnection = false;
}

void WellModel::ResetMaxima() {
  for (const Channel c : {Channel::HookloadMax, Channel::WobMax, Channel::TorqueMax}) {
    m_truth[Index(c)] = m_measured[Index(c)] = 0.0;
  }
}

void WellModel::Pumps(const WellActivity& a) {
  const double target = a.pumpsOn ? a.setFlow : 0.0;
  const double ramp = m_well.pumps.rampSeconds;
  if (ramp <= 0.0) {
    m_flow = target;
  } else {
    const double step = std::max(a.setFlow, m_flow) / ramp * a.dt;
    m_flow = m_flow < target ? std::min(m_flow + step, target) : std::max(m_flow - step, target);
  }
  const double strokesPerSecond = m_flow / m_displacement;
  m_strokes += strokesPerSecond * a.dt;
  const double perPump = strokesPerSecond / m_well.pumps.count;
  m_strokePhase = std::fmod(m_strokePhase + 2.0 * M_PI * 3.0 * perPump * a.dt, 2.0 * M_PI);
  m_truth[Index(Channel::Flow)] = m_flow;
  m_truth[Index(Channel::Spm1)] = perPump * 60.0;
  m_truth[Index(Channel::Spm2)] = m_well.pumps.count == 2 ? perPump * 60.0 : 0.0;
  m_truth[Index(Channel::StrokesTotal)] = m_strokes;
}

void WellModel::Hydraulics(double bitDepth, double bitTvd) {
  const double rho = m_well.mud.density;
  double spp = 0.0;
  m_annulusLoss = 0.0;
  if (m_flow > 0.0) {
    const double friction = std::pow(m_flow, 1.8) * m_fluidFactor;
    m_annulusLoss = m_geometry.AnnulusFactor(bitDepth) * friction;
    const double nozzle = kNozzleCoefficient * m_geometry.NozzleArea();
    const double bit = rho * m_flow * m_flow / (2.0 * nozzle * nozzle);
    spp = (m_geometry.SurfaceFactor() + m_geometry.StringFactor(bitDepth)) * friction + m_annulusLoss + bit;
  }
  m_truth[Index(Channel::Spp)] = spp;
  m_truth[Index(Channel::Ecd)] = rho + m_annulusLoss / (kGravity * std::max(bitTvd, 1.0));
}

WellModel::StringForces WellModel::Forces(const WellActivity& a, double bitTvd, double bitSpeed) const {
  StringForces f;
  const double bit = std::max(a.bitDepth, 0.0);
  const double buoyed = m_geometry.StringWeight(bit) * (1.0 - m_well.mud.density / kSteelDensity);
  f.axial = bit > 0.0 ? buoyed * std::clamp(bitTvd / bit, -1.0, 1.0) : 0.0;
  const double perLength = bit > 0.0 ? buoyed / bit : 0.0;
  const double normal = perLength * (m_trajectory.LowSideLength(bit) + m_well.string.sideForceFactor * bit);
  const double friction = m_geometry.Friction(bit) * normal;
  // Friction acts against the pipe's motion at the wall: its axial and rotary parts share it as the
  // axial speed and the surface speed of rotation do.
  const double radius = m_well.string.pipeOd / 2.0;
  const double surfaceSpeed = a.rotating ? a.setRpm * 2.0 * M_PI / 60.0 * radius : 0.0;
  const double speed = std::sqrt(bitSpeed * bitSpeed + surfaceSpeed * surfaceSpeed +
                                 kStationarySpeed * kStationarySpeed);
  f.drag = friction * bitSpeed / speed;
  f.torque = friction * surfaceSpeed / speed * radius;
  return f;
}

void WellModel::WeightOnBit(const WellActivity& a, double bitTvd, const StringForces& forces) {
  const bool onBottom = !a.inSlips && a.bitDepth >= a.holeDepth - kOnBottom;
  // The motor turns the bit whenever mud goes through it; rotating from surface adds to it.
  double bitRpm = a.rotating ? a.setRpm : 0.0;
  if (a.setFlow > 0.0) bitRpm += m_well.string.motorRpm * std::min(m_flow / a.setFlow, 1.0);
  RopConditions at{bitTvd, m_wob, m_well.bit.size, bitRpm, m_wear, m_truth[Index(Channel::Ecd)]};
  double rop = 0.0;
  if (!onBottom) {
    m_wob = 0.0;
  } else if (a.drilling) {
    const double target = a.setWob * (a.rotating ? 1.0 : m_well.string.slideWobTransfer);
    m_wob += (target - m_wob) * (1.0 - std::exp(-a.dt / kWobTimeConstant));
    at.wob = m_wob;
    rop = BourgoyneYoungRop(*m_formation, at);
  } else {  // the block held: the bit drills the string's stretch off
    m_wob = std::max(0.0, m_wob - m_geometry.Stiffness(a.bitDepth) * BourgoyneYoungRop(*m_formation, at) * a.dt);
  }
  // No more weight reaches the bit than the string has to give.
  m_wob = std::min(m_wob, std::max(forces.axial - forces.drag, 0.0));
  if (rop > 0.0) m_wear = std::min(1.0, m_wear + WearRate(m_well.bit, *m_formation, at) * a.dt);
  m_truth[Index(Channel::Wob)] = m_wob;
  m_truth[Index(Channel::Rop)] = rop;
  m_truth[Index(Channel::Rpm)] = a.rotating ? a.setRpm : 0.0;
  m_bitTorque = a.rotating ? m_well.bit.torqueFactor * m_wob * m_well.bit.size / 3.0 : 0.0;
}

void WellModel::Loads(const WellActivity& a, const StringForces& forces) {
  double hookload = m_well.rig.blockWeight;
  double torque = 0.0;
  if (!a.inSlips) {
    hookload += forces.axial - forces.drag - m_wob;
    if (a.rotating) torque = forces.torque + m_bitTorque;
  }
  m_truth[Index(Channel::Hookload)] = std::clamp(hookload, 0.0, m_well.rig.hookloadLimit);
  m_truth[Index(Channel::Torque)] = std::min(torque, m_well.rig.torqueLimit);
}

void WellModel::Transfer(double& from, double& to, double volume) {
  from -= volume;
  to += volume;
}

void WellModel::MudCircuit(const WellActivity& a) {
  MudBalance& b = m_balance;
  const double wellVolume = m_geometry.HoleVolume(a.holeDepth) - m_geometry.SteelVolume(a.bitDepth);
  const double taken = wellVolume - b.well;  // what the hole and the pipe took this tick
  b.well = wellVolume;
  const double pumped = m_flow * a.dt;
  b.pit -= pumped;
  b.pumpedIn += pumped;
  double toBell = pumped - taken;
  if (m_flow <= 0.0 || toBell < 0.0) {  // no returns: the hole is kept full from the trip tank
    b.tripTank -= m_flow <= 0.0 ? taken : -toBell;
    toBell = 0.0;
  }
  // The flow line: a first-order lag, its outflow integrated exactly over the tick.
  const double bell = toBell / a.dt;
  const double tau = m_well.surface.flowLineSeconds;
  double out = toBell;
  double flowOut = bell;
  if (tau > 0.0) {
    flowOut = bell + (m_flowOut - bell) * std::exp(-a.dt / tau);
    out = toBell - (flowOut - m_flowOut) * tau;
  }
  m_flowOut = flowOut;
  b.flowLine += toBell - out;
  b.pit += out;
  b.returned += out;
  // The crew keeps the trip tank in its range from the active pit, and the active pit from reserve.
  const double tank = m_well.surface.tripTank;
  if (b.tripTank < kTripTankLow * tank) {
    const double volume = kTripTankFill * tank - b.tripTank;
    Transfer(b.pit, b.tripTank, volume);
    m_pitReference -= volume;
  } else if (b.tripTank > kTripTankHigh * tank) {
    const double volume = b.tripTank - kTripTankDrain * tank;
    Transfer(b.tripTank, b.pit, volume);
    m_pitReference += volume;
  }
  if (b.pit < kPitLow * m_well.surface.activePit) {
    const double volume = m_well.surface.activePit - b.pit;
    b.pit += volume;
    b.reserveAdded += volume;
    m_pitReference += volume;
  }
  m_truth[Index(Channel::PitVolume)] = std::max(b.pit, 0.0);
  m_truth[Index(Channel::PitChange)] = b.pit - m_pitReference;
  m_truth[Index(Channel::TripTank)] = std::max(b.tripTank, 0.0);
  m_truth[Index(Channel::FlowOut)] = m_flowOut;
  m_truth[Index(Channel::FlowOutPercent)] = std::min(100.0, m_flowOut / m_well.surface.flowOutFullScale * 100.0);
}

void WellModel::Returns(const WellActivity& a, double bitTvd, double travel) {
  const Formation& f = *m_formation;
  const double pumped = m_flow * a.dt;
  const bool flowing = m_flow > 0.0;
  if (!flowing) {
    m_pumpsOffSeconds += a.dt;
    m_travelWhileOff += travel;
  } else if (!m_wasFlowing) {
    // The mud that stood at the bit while the pumps were off comes up with gas: a connection's, or
    // a trip's after the string has moved far.
    if (m_pumpsOffSeconds >= kConnectionPause) {
      m_peakGas = m_travelWhileOff > kTripStands * m_well.rig.standLength ? f.tripGas : f.connectionGas;
      m_peakVolumeLeft = kPeakVolume;
    }
    m_pumpsOffSeconds = m_travelWhileOff = 0.0;
  }
  m_wasFlowing = flowing;
  const double cuttings = flowing ? m_truth[Index(Channel::Rop)] * m_geometry.BitArea() / m_flow : 0.0;
  double gas = f.backgroundGas * (kResidualGas + cuttings / kReferenceCuttings);
  if (m_peakVolumeLeft > 0.0 && flowing) {
    gas += m_peakGas;
    m_peakVolumeLeft -= pumped;
  }
  const double rho = m_well.mud.density;
  const double tempIn = m_well.mud.temperatureIn;
  vorn::well::Returns atBit{std::min(gas, 100.0), rho + cuttings * (kRockDensity - rho),
                            tempIn + m_well.geothermal.mudHeating * (FormationTemperature(bitTvd) - tempIn),
                            a.bitDepth};
  const double annulus = m_geometry.AnnularVolume(a.bitDepth);
  m_lag.Pump(pumped, atBit, annulus);
  const vorn::well::Returns& surface = m_lag.AtSurface();
  // The returns warm and cool the flow line's sensor slowly; standing mud cools towards the pits'.
  const double target = flowing ? surface.temperature : tempIn;
  const double tau = m_well.geothermal.returnsTimeConstant * (flowing ? 1.0 : 3.0);
  m_tempOut += (target - m_tempOut) * (1.0 - std::exp(-a.dt / tau));
  m_truth[Index(Channel::Gas)] = surface.gas;
  m_truth[Index(Channel::DensityOut)] = surface.density;
  m_truth[Index(Channel::LagDepth)] = surface.depth;
  m_truth[Index(Channel::TempOut)] = m_tempOut;
  m_truth[Index(Channel::DensityIn)] = rho;
  m_truth[Index(Channel::TempIn)] = tempIn;
  m_truth[Index(Channel::LagStrokes)] = annulus / m_displacement;
  m_truth[Index(Channel::CasingPressure)] = 0.0;  // the choke is open while drilling
}

void WellModel::TakeSurvey(const WellActivity& a) {
  if (a.connection && !m_wasConnection) {
    Survey s;
    s.number = m_survey.number + 1;
    s.depth = std::max(a.bitDepth - m_well.string.surveyOffset, 0.0);
    const Trajectory::Point point = m_trajectory.At(s.depth);
    s.tvd = point.tvd;
    s.inclination = point.inclination;
    s.azimuth = point.azimuth;
    m_sensors.Survey(s.inclination, s.azimuth);
    m_survey = s;
  }
  m_wasConnection = a.connection;
}

// MSE (Teale) and the corrected d-exponent from one set of channels.
void WellModel::Indicators(ChannelValues& v) {
  const double rop = v[Index(Channel::Rop)], rpm = v[Index(Channel::Rpm)];
  const double wob = v[Index(Channel::Wob)], torque = v[Index(Channel::Torque)];
  double mse = 0.0, dxc = 0.0;
  if (rop > 0.0 && wob > 0.0) {
    const double area = m_geometry.BitArea();
    mse = wob / area + 2.0 * M_PI * (rpm / 60.0) * torque / (area * rop);
    const double x = rop * 3600.0 / 0.3048 / (60.0 * std::max(rpm, 1e-9));
    const double y = 12.0 * (wob / 4.4482216152605) / (1.0e6 * (m_well.bit.size / 0.0254));
    if (rpm > 0.0 && x > 0.0 && x < 1.0 && y > 0.0 && y < 1.0) {
      const double ecd = std::max(v[Index(Channel::Ecd)], 1.0);
      dxc = std::log10(x) / std::log10(y) * kNormalDensity / ecd;
    }
  }
  v[Index(Channel::Mse)] = mse;
  v[Index(Channel::Dxc)] = std::clamp(dxc, 0.0, 10.0);
}

void WellModel::Tick(const WellActivity& input) {
  WellActivity a = input;
  if (!(a.dt > 0.0)) return;
  a.dt = std::min(a.dt, 10.0);
  m_seconds += a.dt;
  double travel = std::abs(a.bitDepth - m_prevBit);
  double bitSpeed = (a.bitDepth - m_prevBit) / a.dt;
  if (!m_started || std::abs(bitSpeed) > kJumpSpeed) {
    // A depth set by hand moves no mud and no string: the hole and the annulus start over from it.
    m_started = true;
    m_balance.well = m_geometry.HoleVolume(a.holeDepth) - m_geometry.SteelVolume(a.bitDepth);
    m_lag.Reset({m_well.FormationAt(a.bitDepth).backgroundGas * kResidualGas, m_well.mud.density, m_tempOut,
                 a.bitDepth});
    m_wob = 0.0;
    bitSpeed = 0.0;
    travel = 0.0;
  }
  m_prevBit = a.bitDepth;
  m_formation = &m_well.FormationAt(a.bitDepth);
  const double bitTvd = m_trajectory.At(a.bitDepth).tvd;
  Pumps(a);
  Hydraulics(a.bitDepth, bitTvd);
  const StringForces forces = Forces(a, bitTvd, bitSpeed);
  WeightOnBit(a, bitTvd, forces);
  Loads(a, forces);
  MudCircuit(a);
  Returns(a, bitTvd, travel);
  TakeSurvey(a);
  m_truth[Index(Channel::BitDepth)] = a.bitDepth;
  m_truth[Index(Channel::HoleDepth)] = a.holeDepth;
  m_truth[Index(Channel::BlockHeight)] = a.blockHeight;
  m_truth[Index(Channel::BitTvd)] = bitTvd;
  m_truth[Index(Channel::HoleTvd)] = m_trajectory.At(a.holeDepth).tvd;
  m_truth[Index(Channel::SurveyDepth)] = m_survey.depth;
  m_truth[Index(Channel::SurveyTvd)] = m_survey.tvd;
  m_truth[Index(Channel::SurveyInc)] = m_survey.inclination;
  m_truth[Index(Channel::SurveyAzi)] = m_survey.azimuth;
  Indicators(m_truth);

  const ChannelValues maxima = m_measured;
  m_sensors.Read(m_truth, m_measured, a.dt, m_strokePhase, m_seconds, m_flow / m_well.surface.flowOutFullScale);
  m_measured[Index(Channel::PitChange)] = m_truth[Index(Channel::PitChange)] +
                                          (m_measured[Index(Channel::PitVolume)] - m_truth[Index(Channel::PitVolume)]);
  m_measured[Index(Channel::SurveyInc)] = m_survey.inclination;
  m_measured[Index(Channel::SurveyAzi)] = m_survey.azimuth;
  Indicators(m_measured);
  const std::pair<Channel, Channel> maximums[] = {
      {Channel::HookloadMax, Channel::Hookload}, {Channel::WobMax, Channel::Wob}, {Channel::TorqueMax, Channel::Torque}};
  for (const auto& [max, of] : maximums) {
    m_truth[Index(max)] = std::max(m_truth[Index(max)], m_truth[Index(of)]);
    m_measured[Index(max)] = std::max(maxima[Index(max)], m_measured[Index(of)]);
  }
}

}  // namespace vorn::well
