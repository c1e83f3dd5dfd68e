#pragma once

#include "well/WellDescription.h"

namespace vorn::well {

// The hole and the string as areas, volumes and pressure-loss coefficients, worked out once per well.
// The BHA hangs at the bottom of the string; the casing reaches down to the shoe.
class WellGeometry {
 public:
  explicit WellGeometry(const Well& well);

  [[nodiscard]] double HoleVolume(double holeDepth) const;
  // Steel of the string down to the bit (what running it in pushes out of an open-ended hole).
  [[nodiscard]] double SteelVolume(double bitDepth) const;
  // The annulus from the bit to the surface.
  [[nodiscard]] double AnnularVolume(double bitDepth) const;
  // Air weight of the string down to the bit, N.
  [[nodiscard]] double StringWeight(double bitDepth) const;
  // Axial stiffness of the string, N/m.
  [[nodiscard]] double Stiffness(double bitDepth) const;
  // The friction factor averaged over the string: cased above the shoe, open hole below.
  [[nodiscard]] double Friction(double bitDepth) const;

  // Frictional losses at `flow` m3/s, Pa, before the fluid factor rho^0.8 mu^0.2 (see Hydraulics).
  [[nodiscard]] double SurfaceFactor() const { return m_surface; }
  [[nodiscard]] double StringFactor(double bitDepth) const;
  [[nodiscard]] double AnnulusFactor(double bitDepth) const;
  [[nodiscard]] double BitArea() const { return m_bitArea; }
  [[nodiscard]] double NozzleArea() const { return m_nozzleArea; }

 private:
  // Lengths of [top, bottom] above and below the shoe.
  void Split(double top, double bottom, double& cased, double& open) const;

  double m_shoe, m_bhaLength;
  double m_casingArea, m_openArea;
  double m_pipeOdArea, m_pipeIdArea, m_bhaOdArea, m_bhaIdArea;
  double m_pipeWeight, m_bhaWeight;  // N/m
  double m_casedFriction, m_openFriction;
  double m_surface, m_pipeLoss, m_bhaLoss;  // per length for the string
  double m_annPipeCased, m_annPipeOpen, m_annBhaCased, m_annBhaOpen;
  double m_bitArea, m_nozzleArea;
};

}  // namespace vorn::well
