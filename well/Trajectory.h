#pragma once

#include <vector>

#include "well/WellDescription.h"

namespace vorn::well {

// The well's path from its plan stations by minimum curvature: between two stations the hole is a
// circular arc, so any depth between them has an exact position. Above the first station the hole
// is vertical down to it; below the last it goes on straight.
class Trajectory {
 public:
  explicit Trajectory(const std::vector<PlanStation>& plan);

  struct Point {
    double tvd = 0.0;
    double inclination = 0.0;  // deg
    double azimuth = 0.0;      // deg
  };
  [[nodiscard]] Point At(double depth) const;
  // The integral of sin(inclination) over the measured depth from 0 to `depth`: the part of the
  // string's weight that lies on the low side of the hole.
  [[nodiscard]] double LowSideLength(double depth) const;

 private:
  struct Station {
    double md, inc, azi;  // radians
    double tvd, north, east;
    double lowSide;       // integral of sin(inc) from 0 to md
  };
  [[nodiscard]] std::size_t Below(double depth) const;
  std::vector<Station> m_stations;
};

}  // namespace vorn::well
