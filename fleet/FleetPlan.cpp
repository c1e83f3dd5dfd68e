#include "fleet/FleetPlan.h"

#include <algorithm>
#include <cmath>

#include "engine/RigMode.h"

namespace {

constexpr int kLastTcpPort = 65535;

// One draw of 64 bits for (seed, rig, what): a fixed mixing function, not a library's engine, so the
// fleet is the same with every standard library.
uint64_t Draw(uint64_t seed, int rig, uint64_t what) {
  uint64_t x = seed ^ (static_cast<uint64_t>(rig) * 0x9E3779B97F4A7C15ULL) ^ (what * 0xD1B54A32D192ED03ULL);
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// In [0, 1).
double Fraction(uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

double Tenths(double value) { return std::round(value * 10.0) / 10.0; }

enum Draws : uint64_t { ModeDraw = 1, HoleDraw = 2, BitDraw = 3, OffsetDraw = 4 };

}  // namespace

std::string FleetRigRoot(const std::string& root, int rig) { return root + "/Fleet/Rig" + std::to_string(rig); }

std::optional<std::string> FleetLinkRefusal(const CWitsCommSettings& root, int count, bool skidLink, int first) {
  if (root.commType != TcpIp) {
    return "A fleet needs a TCP link: the WITS link is set to a serial port, which only one rig can use. "
           "Set a TCP server or client link first.";
  }
  if (skidLink) {
    return "A fleet cannot run with the skid link enabled: each rig's skid port would be the next rig's "
           "WITS port. Set \"Enable Skid Sim Comms\" to 0 first.";
  }
  if (root.tcpIpType == Master) {
    const int64_t firstPort = static_cast<int64_t>(root.nTcpIpPort) + first - 1;
    const int64_t last = firstPort + count - 1;
    if (root.nTcpIpPort < 1 || last > kLastTcpPort) {
      const int64_t fits = root.nTcpIpPort < 1 || firstPort > kLastTcpPort ? 0 : kLastTcpPort - firstPort + 1;
      const std::string rigs = first == 1 ? std::string()
                                          : " (rigs " + std::to_string(first) + " to " +
                                                std::to_string(static_cast<int64_t>(first) + count - 1) + ")";
      return "A fleet of " + std::to_string(count) + " servers" + rigs + " from port " + std::to_string(firstPort) +
             " would pass port 65535; from that port at most " + std::to_string(fits) + " rigs fit.";
    }
  }
  return std::nullopt;
}

CWitsCommSettings FleetRigLink(const CWitsCommSettings& root, int rig) {
  CWitsCommSettings link = root;
  if (root.tcpIpType == Master) link.nTcpIpPort = root.nTcpIpPort + rig - 1;
  return link;
}

FleetRigStart SeededRigStart(uint64_t seed, int rig) {
  FleetRigStart start;
  // Mostly drilling; tripping either way and idle less often, as on a fleet of working rigs.
  const double mode = Fraction(Draw(seed, rig, ModeDraw));
  start.mode = mode < 0.5 ? Drill : mode < 0.7 ? TripIn : mode < 0.9 ? TripOut : Idle;
  start.holeDepth = Tenths(500.0 + 4500.0 * Fraction(Draw(seed, rig, HoleDraw)));
  const bool tripping = start.mode == TripIn || start.mode == TripOut;
  start.bitDepth = tripping ? Tenths(start.holeDepth * (0.1 + 0.8 * Fraction(Draw(seed, rig, BitDraw))))
                            : start.holeDepth;
  return start;
}

uint32_t SeededStartOffsetMs(uint64_t seed, int rig, double witsIntervalSeconds) {
  const double intervalMs = std::isfinite(witsIntervalSeconds) ? witsIntervalSeconds * 1000.0 : 0.0;
  // A day at most: a longer interval would only keep rigs from starting.
  const double slotCount = std::floor(std::min(intervalMs, 86400000.0) / kFleetSlotMs);
  if (slotCount < 1.0) return 0;
  const auto slot = static_cast<uint32_t>(Fraction(Draw(seed, rig, OffsetDraw)) * slotCount);
  return slot * kFleetSlotMs;
}
