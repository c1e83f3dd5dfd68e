#pragma once

#include <array>
#include <cstddef>

namespace vorn::well {

// What the mud carries from the bit to the surface.
struct Returns {
  double gas = 0.0;          // %
  double density = 0.0;      // kg/m3
  double temperature = 0.0;  // degC the returns would have at the flow line
  double depth = 0.0;        // measured depth the mud left the bit at
};

// The annulus as a delay line in pumped volume: mud that leaves the bit when the pumps have pumped V
// reaches the surface when they have pumped V plus the annular volume. Time does not enter: with the
// pumps stopped nothing moves. The mud is kept in parcels of a small share of the annulus, each the
// average of what entered it.
class LagLine {
 public:
  static constexpr std::size_t kCapacity = 1024;  // parcels in flight at most
  static constexpr double kParcelsPerAnnulus = 400.0;

  // Fills the annulus with mud that carries `returns` everywhere.
  void Reset(const Returns& returns);
  // `pumped` m3 left the bit carrying `atBit` while the annulus holds `annularVolume` m3.
  void Pump(double pumped, const Returns& atBit, double annularVolume);
  // What reaches the surface now.
  [[nodiscard]] const Returns& AtSurface() const { return m_surface; }
  [[nodiscard]] double PumpedVolume() const { return m_pumped; }

 private:
  struct Parcel {
    double due;  // pumped volume at which it reaches the surface
    Returns returns;
  };
  void Close(double annularVolume);

  std::array<Parcel, kCapacity> m_parcels{};
  std::size_t m_head = 0;  // oldest
  std::size_t m_count = 0;
  double m_pumped = 0.0;
  Returns m_surface;
  Returns m_filling;       // sums of the parcel being filled, weighted by volume
  double m_fillingVolume = 0.0;
};

}  // namespace vorn::well
