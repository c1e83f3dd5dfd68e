#include "well/WellRig.h"

namespace vorn::well {

CWellRig::CWellRig(const Well& well, uint64_t rigSeed) : m_model(well, rigSeed), m_units(well.units) {}

void CWellRig::OnTick(const CRigActivity& a) {
  const auto length = [this](double value) { return ToSi(Quantity::Length, m_units, value); };
  WellActivity activity;
  activity.dt = a.dtSeconds;
  activity.bitDepth = length(a.bitDepth);
  activity.holeDepth = length(a.holeDepth);
  activity.blockHeight = length(a.blockHeight);
  activity.inSlips = a.inSlips;
  activity.pumpsOn = a.pumpsOn;
  activity.rotating = a.rotating;
  activity.drilling = a.drilling;
  activity.connection = a.connection;
  activity.setFlow = std::max(ToSi(Quantity::Flow, m_units, a.setFlow), 0.0);
  activity.setWob = std::max(ToSi(Quantity::Force, m_units, a.setWob), 0.0);
  activity.setRpm = std::max(a.setRpm, 0.0);
  m_model.Tick(activity);
}

double CWellRig::DrillingRop() const { return FromSi(Quantity::Speed, m_units, m_model.Rop()); }

CWellChannel CWellRig::Channel(std::size_t index) const {
  const auto channel = static_cast<vorn::well::Channel>(index);
  const ChannelInfo& info = Info(channel);
  return {info.mnemonic, UnitName(info.quantity, m_units), FromSi(info.quantity, m_units, m_model.Measured(channel)),
          FromSi(info.quantity, m_units, m_model.Truth(channel))};
}

std::string_view CWellRig::LengthUnit() const { return UnitName(Quantity::Length, m_units); }

double CWellRig::StartDepth() const {
  return FromSi(Quantity::Length, m_units, m_model.Description().startDepth);
}

}  // namespace vorn::well
