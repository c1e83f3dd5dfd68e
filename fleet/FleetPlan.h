#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "comms/WitsCommSettings.h"

// What makes the rigs of a fleet differ: their folders and links always, and with a fleet seed their
// starting position, mode and start moment. Pure functions of the root's settings, the rig's number
// (1..N) and the seed, so the same seed gives the same fleet on every machine.

// Seeded start offsets are whole ticks (100 ms), so that every rig of a fleet ticks in one phase and
// the fleet's timer wakes ten times a second, however many rigs there are: each wake-up polls every
// socket of the process, and it is the wake-ups, not the rigs' work, that a large fleet pays for.
inline constexpr uint32_t kFleetSlotMs = 100;

// <root>/Fleet/Rig<k>.
[[nodiscard]] std::string FleetRigRoot(const std::string& root, int rig);

// Why the root's link cannot serve rigs first..first+count-1, or nothing when it can: a serial link
// (one port, one rig), a server whose last rig's port would pass 65535, a skid link (its port is the
// next rig's).
[[nodiscard]] std::optional<std::string> FleetLinkRefusal(const CWitsCommSettings& root, int count, bool skidLink,
                                                          int first = 1);

// Rig k's link: the root's, a server listening on the root's port plus k-1, a client connecting where
// the root's does.
[[nodiscard]] CWitsCommSettings FleetRigLink(const CWitsCommSettings& root, int rig);

// A seeded rig's start: its mode, hole depth and bit depth (on bottom when drilling or idle, part way
// up the hole when tripping).
struct FleetRigStart {
  int32_t mode = 0;
  double holeDepth = 0.0;
  double bitDepth = 0.0;
};
[[nodiscard]] FleetRigStart SeededRigStart(uint64_t seed, int rig);

// A seeded rig's run starts this long after the fleet's: a multiple of kFleetSlotMs below the
// rig's WITS output interval, so that the rigs' frames spread over the ticks of the interval.
[[nodiscard]] uint32_t SeededStartOffsetMs(uint64_t seed, int rig, double witsIntervalSeconds);
