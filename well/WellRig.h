#pragma once

#include <cstdint>

#include "engine/WellModelIF.h"
#include "well/WellModel.h"

namespace vorn::well {

// The well model as the engine sees it: the activity and the channels converted between the well's
// units and the model's SI at this edge.
class CWellRig : public CWellModelIF {
 public:
  CWellRig(const Well& well, uint64_t rigSeed = 0);

  void OnTick(const CRigActivity& activity) override;
  [[nodiscard]] double DrillingRop() const override;
  [[nodiscard]] std::size_t ChannelCount() const override { return kChannelCount; }
  [[nodiscard]] CWellChannel Channel(std::size_t index) const override;
  [[nodiscard]] std::string_view LengthUnit() const override;
  [[nodiscard]] std::string FormationAtBit() const override { return m_model.FormationAtBit(); }
  [[nodiscard]] double StartDepth() const override;
  void OnItemsEvaluated() override { m_model.ResetMaxima(); }

  [[nodiscard]] const WellModel& Model() const { return m_model; }

 private:
  WellModel m_model;
  UnitSystem m_units;
};

}  // namespace vorn::well
