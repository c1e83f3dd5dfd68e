#include "well/WellGeometry.h"

#include <algorithm>
#include <cmath>

namespace vorn::well {

namespace {

constexpr double kGravity = 9.80665;
constexpr double kSteelModulus = 2.07e11;

double Area(double d) { return M_PI / 4.0 * d * d; }

// Turbulent loss per length with the smooth-pipe friction factor f = 0.046 Re^-0.2: in a pipe of
// inner diameter d, dp/L = 0.092 (4/pi)^1.8 rho^0.8 mu^0.2 Q^1.8 / d^4.8.
double PipeLoss(double d) { return 0.092 * std::pow(4.0 / M_PI, 1.8) / std::pow(d, 4.8); }

// The same in an annulus, with the flow's mean velocity Q/A and the hydraulic diameter Dh = D - d:
// dp/L = 0.092 rho^0.8 mu^0.2 Q^1.8 / (A^1.8 Dh^1.2).
double AnnulusLoss(double hole, double pipe) {
  return 0.092 / (std::pow(Area(hole) - Area(pipe), 1.8) * std::pow(hole - pipe, 1.2));
}

}  // namespace

WellGeometry::WellGeometry(const Well& well) {
  const DrillString& s = well.string;
  const double openHole = well.OpenHoleDiameter();
  m_shoe = well.hole.shoeDepth;
  m_bhaLength = s.bhaLength;
  m_casingArea = Area(well.hole.casingId);
  m_openArea = Area(openHole);
  m_pipeOdArea = Area(s.pipeOd);
  m_pipeIdArea = Area(s.pipeId);
  m_bhaOdArea = Area(s.bhaOd);
  m_bhaIdArea = Area(s.bhaId);
  m_pipeWeight = s.pipeWeight * kGravity;
  m_bhaWeight = s.bhaWeight * kGravity;
  m_casedFriction = s.casedFriction;
  m_openFriction = s.openHoleFriction;
  m_surface = PipeLoss(well.rig.surfaceLineId) * well.rig.surfaceLineLength;
  m_pipeLoss = PipeLoss(s.pipeId);
  m_bhaLoss = PipeLoss(s.bhaId);
  m_annPipeCased = AnnulusLoss(well.hole.casingId, s.pipeOd);
  m_annPipeOpen = AnnulusLoss(openHole, s.pipeOd);
  m_annBhaCased = AnnulusLoss(well.hole.casingId, s.bhaOd);
  m_annBhaOpen = AnnulusLoss(openHole, s.bhaOd);
  m_bitArea = Area(well.bit.size);
  m_nozzleArea = well.bit.flowArea;
}

void WellGeometry::Split(double top, double bottom, double& cased, double& open) const {
  cased = std::max(0.0, std::min(bottom, m_shoe) - top);
  open = std::max(0.0, bottom - std::max(top, m_shoe));
}

double WellGeometry::HoleVolume(double holeDepth) const {
  double cased, open;
  Split(0.0, std::max(holeDepth, 0.0), cased, open);
  return m_casingArea * cased + m_openArea * open;
}

double WellGeometry::SteelVolume(double bitDepth) const {
  const double bit = std::max(bitDepth, 0.0);
  const double bha = std::min(bit, m_bhaLength);
  return (m_pipeOdArea - m_pipeIdArea) * (bit - bha) + (m_bhaOdArea - m_bhaIdArea) * bha;
}

double WellGeometry::AnnularVolume(double bitDepth) const {
  const double bit = std::max(bitDepth, 0.0);
  const double bha = std::min(bit, m_bhaLength);
  return HoleVolume(bit) - m_pipeOdArea * (bit - bha) - m_bhaOdArea * bha;
}

double WellGeometry::StringWeight(double bitDepth) const {
  const double bit = std::max(bitDepth, 0.0);
  const double bha = std::min(bit, m_bhaLength);
  return m_pipeWeight * (bit - bha) + m_bhaWeight * bha;
}

double WellGeometry::Stiffness(double bitDepth) const {
  return kSteelModulus * (m_pipeOdArea - m_pipeIdArea) / std::max(bitDepth, 1.0);
}

double WellGeometry::Friction(double bitDepth) const {
  if (bitDepth <= 0.0) return m_casedFriction;
  double cased, open;
  Split(0.0, bitDepth, cased, open);
  return (m_casedFriction * cased + m_openFriction * open) / bitDepth;
}

double WellGeometry::StringFactor(double bitDepth) const {
  const double bit = std::max(bitDepth, 0.0);
  const double bha = std::min(bit, m_bhaLength);
  return m_pipeLoss * (bit - bha) + m_bhaLoss * bha;
}

double WellGeometry::AnnulusFactor(double bitDepth) const {
  const double bit = std::max(bitDepth, 0.0);
  const double bhaTop = bit - std::min(bit, m_bhaLength);
  double pipeCased, pipeOpen, bhaCased, bhaOpen;
  Split(0.0, bhaTop, pipeCased, pipeOpen);
  Split(bhaTop, bit, bhaCased, bhaOpen);
  return m_annPipeCased * pipeCased + m_annPipeOpen * pipeOpen + m_annBhaCased * bhaCased +
         m_annBhaOpen * bhaOpen;
}

}  // namespace vorn::well
