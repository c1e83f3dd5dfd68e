// The engine with a well behind it: the activity goes to the well model at each tick, and its
// channels come back in place of the settings' fixed values.
#include <cmath>
#include <limits>

#include "engine/RigMode.h"
#include "engine/RigSim.h"
#include "support/Numbers.h"

namespace {

constexpr const char* kOwnChannels[] = {"ROP", "HOOKLOAD", "RPM", "FLOW", "SPP", "SPM1", "SPM2", "WOB", "TORQ"};

std::size_t FindChannel(const CWellModelIF& model, std::string_view name) {
  for (std::size_t i = 0; i < model.ChannelCount(); ++i) {
    if (model.Channel(i).name == name) return i;
  }
  return model.ChannelCount();
}

}  // namespace

const std::vector<std::string>& WellChannelNames() {
  static const std::vector<std::string> names = {
      "HOOKLOAD_MAX", "WOB_MAX", "TORQ_MAX", "CASING_PRESSURE", "PIT_VOLUME", "PIT_CHANGE", "FLOW_OUT_PCT",
      "FLOW_OUT", "MUD_DENSITY_IN", "MUD_DENSITY_OUT", "MUD_TEMP_IN", "MUD_TEMP_OUT", "STROKES_TOTAL",
      "LAG_STROKES", "LAG_DEPTH", "GAS", "ECD", "MSE", "DXC", "TRIP_TANK", "BIT_TVD", "HOLE_TVD",
      "SURVEY_DEPTH", "SURVEY_TVD", "SURVEY_INC", "SURVEY_AZI"};
  return names;
}

void CRigSim::SetWellModel(std::unique_ptr<CWellModelIF> model) {
  m_well = std::move(model);
  m_wellChannels.clear();
  if (!m_well) return;
  for (const std::string& name : WellChannelNames()) m_wellChannels.push_back(FindChannel(*m_well, name));
  for (std::size_t i = 0; i < m_wellOwn.size(); ++i) m_wellOwn[i] = FindChannel(*m_well, kOwnChannels[i]);
}

double CRigSim::WellChannelValue(std::size_t wellChannel) const {
  if (!m_well || wellChannel >= m_wellChannels.size() || m_wellChannels[wellChannel] >= m_well->ChannelCount()) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return m_well->Channel(m_wellChannels[wellChannel]).value;
}

void CRigSim::TickWell(const TickTimes& times) {
  const int mode = m_settings.m_mode;
  const int32_t drillState = m_subState[Drill];
  CRigActivity a;
  a.dtSeconds = times.dtH * 3600.0;
  a.bitDepth = m_fDepth;
  a.holeDepth = m_fHoleDepth;
  a.blockHeight = m_fBlockHeight_;
  a.inSlips = m_bInSlips;
  a.pumpsOn = m_bPumpsOn;
  a.rotating = m_bRotating;
  a.drilling = mode == Drill && (drillState == DrillingSliding || drillState == DrillingRotating);
  a.connection = mode == Drill && m_bInSlips;
  a.setFlow = m_settings.m_nFlowSPPGain * m_settings.m_fFlowRate / 100.0;
  a.setWob = m_settings.m_fWOB;
  a.setRpm = m_settings.m_fRPM;
  m_well->OnTick(a);
  double* own[] = {&m_fROP, &m_fHookLoad, &m_fRPM, &m_fFlow, &m_fSPP, &m_fSPM1, &m_fSPM2, &m_fWOB, &m_fTorq};
  for (std::size_t i = 0; i < m_wellOwn.size(); ++i) {
    if (m_wellOwn[i] < m_well->ChannelCount()) *own[i] = m_well->Channel(m_wellOwn[i]).value;
  }
}

std::vector<std::pair<std::string, std::string>> CRigSim::WellStateValues() const {
  std::vector<std::pair<std::string, std::string>> values;
  const auto number = [](double value) { return vorn::FormatFixed(value, 2); };
  const auto flag = [](bool on) { return std::string(on ? "TRUE" : "FALSE"); };
  // The engine's fourteen, each with its unit, then the well's own.
  const auto unitOf = [this](std::string_view name) -> std::string {
    if (name == "DEPTH" || name == "HOLE_DEPTH" || name == "BLOCK_HEIGHT") return std::string(m_well->LengthUnit());
    const std::size_t i = FindChannel(*m_well, name);
    return i < m_well->ChannelCount() ? std::string(m_well->Channel(i).unit) : std::string();
  };
  const auto named = [&unitOf](std::string_view name) {
    const std::string unit = unitOf(name);
    return unit.empty() ? std::string(name) : std::string(name) + " (" + unit + ")";
  };
  const std::pair<const char*, double> numbers[] = {
      {"DEPTH", m_fDepth}, {"HOLE_DEPTH", m_fHoleDepth}, {"BLOCK_HEIGHT", m_fBlockHeight_}, {"ROP", m_fROP},
      {"HOOKLOAD", m_fHookLoad}};
  for (const auto& [name, value] : numbers) values.emplace_back(named(name), number(value));
  values.emplace_back("SLIPS", flag(m_bInSlips));
  values.emplace_back("ON_BOTTOM", flag(m_bOnBottom));
  const std::pair<const char*, double> more[] = {{"RPM", m_fRPM}, {"FLOW", m_fFlow}, {"SPP", m_fSPP},
                                                 {"SPM1", m_fSPM1}, {"SPM2", m_fSPM2}, {"WOB", m_fWOB},
                                                 {"TORQ", m_fTorq}};
  for (const auto& [name, value] : more) values.emplace_back(named(name), number(value));
  for (std::size_t i = 0; i < WellChannelNames().size(); ++i) {
    values.emplace_back(named(WellChannelNames()[i]), number(WellChannelValue(i)));
  }
  values.emplace_back("FORMATION", m_well->FormationAtBit());
  return values;
}
