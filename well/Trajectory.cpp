#include "well/Trajectory.h"

#include <algorithm>
#include <cmath>

namespace vorn::well {

namespace {

constexpr double kDeg = M_PI / 180.0;

struct Vector {
  double x, y, z;  // north, east, down
};

Vector Tangent(double inc, double azi) {
  return {std::sin(inc) * std::cos(azi), std::sin(inc) * std::sin(azi), std::cos(inc)};
}

double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The dogleg angle between two directions.
double Dogleg(const Vector& a, const Vector& b) { return std::acos(std::clamp(Dot(a, b), -1.0, 1.0)); }

// The tangent a share s of the way along the arc from a to b (slerp).
Vector Along(const Vector& a, const Vector& b, double dogleg, double s) {
  if (dogleg < 1e-9) return {a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.z + (b.z - a.z) * s};
  const double wa = std::sin((1.0 - s) * dogleg) / std::sin(dogleg);
  const double wb = std::sin(s * dogleg) / std::sin(dogleg);
  return {a.x * wa + b.x * wb, a.y * wa + b.y * wb, a.z * wa + b.z * wb};
}

// Minimum curvature's ratio factor: the displacement along a course of length L is
// L/2 (t1 + t2) RF, RF = tan(dl/2) / (dl/2).
double RatioFactor(double dogleg) { return dogleg < 1e-9 ? 1.0 : std::tan(dogleg / 2.0) / (dogleg / 2.0); }

double Inclination(const Vector& t) { return std::acos(std::clamp(t.z, -1.0, 1.0)); }
double Azimuth(const Vector& t) {
  const double azi = std::atan2(t.y, t.x);
  return azi < 0.0 ? azi + 2.0 * M_PI : azi;
}

}  // namespace

Trajectory::Trajectory(const std::vector<PlanStation>& plan) {
  m_stations.push_back({0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0});
  for (const PlanStation& given : plan) {
    const Station& last = m_stations.back();
    Station next{given.depth, given.inclination * kDeg, given.azimuth * kDeg, 0, 0, 0, 0};
    if (next.md <= last.md) {  // a station at the surface replaces the vertical start
      m_stations.back().inc = next.inc;
      m_stations.back().azi = next.azi;
      continue;
    }
    const double length = next.md - last.md;
    const Vector t1 = Tangent(last.inc, last.azi), t2 = Tangent(next.inc, next.azi);
    const double rf = RatioFactor(Dogleg(t1, t2)) * length / 2.0;
    next.north = last.north + rf * (t1.x + t2.x);
    next.east = last.east + rf * (t1.y + t2.y);
    next.tvd = last.tvd + rf * (t1.z + t2.z);
    // Simpson's rule over the arc; the inclination along an arc is smooth, so three points serve.
    const Vector mid = Along(t1, t2, Dogleg(t1, t2), 0.5);
    const double r = std::sqrt(Dot(mid, mid));
    const double sinMid = std::sin(Inclination({mid.x / r, mid.y / r, mid.z / r}));
    next.lowSide = last.lowSide + length / 6.0 * (std::sin(last.inc) + 4.0 * sinMid + std::sin(next.inc));
    m_stations.push_back(next);
  }
}

std::size_t Trajectory::Below(double depth) const {
  const auto after = std::upper_bound(m_stations.begin(), m_stations.end(), depth,
                                      [](double d, const Station& s) { return d < s.md; });
  return static_cast<std::size_t>(std::distance(m_stations.begin(), after)) - 1;
}

Trajectory::Point Trajectory::At(double depth) const {
  depth = std::max(depth, 0.0);
  const std::size_t i = Below(depth);
  const Station& a = m_stations[i];
  const Vector ta = Tangent(a.inc, a.azi);
  if (i + 1 == m_stations.size()) {
    return {a.tvd + (depth - a.md) * ta.z, a.inc / kDeg, a.azi / kDeg};
  }
  const Station& b = m_stations[i + 1];
  const Vector tb = Tangent(b.inc, b.azi);
  const double dogleg = Dogleg(ta, tb);
  const double s = (depth - a.md) / (b.md - a.md);
  // The part of the arc from a to the depth: its own minimum-curvature course.
  const Vector t = Along(ta, tb, dogleg, s);
  const double r = std::sqrt(Dot(t, t));
  const Vector unit{t.x / r, t.y / r, t.z / r};
  const double rf = RatioFactor(dogleg * s) * (depth - a.md) / 2.0;
  return {a.tvd + rf * (ta.z + unit.z), Inclination(unit) / kDeg, Azimuth(unit) / kDeg};
}

double Trajectory::LowSideLength(double depth) const {
  depth = std::max(depth, 0.0);
  const std::size_t i = Below(depth);
  const Station& a = m_stations[i];
  // Between stations the sine is taken as linear in depth: the error is far below the drag's own.
  const double sinA = std::sin(a.inc);
  if (i + 1 == m_stations.size()) return a.lowSide + (depth - a.md) * sinA;
  const Station& b = m_stations[i + 1];
  const double s = (depth - a.md) / (b.md - a.md);
  const double sinAt = sinA + (std::sin(b.inc) - sinA) * s;
  return a.lowSide + (depth - a.md) * (sinA + sinAt) / 2.0;
}

}  // namespace vorn::well
