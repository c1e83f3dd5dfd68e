#pragma once

#include <cstdint>

#include "comms/WitsCommSettings.h"

// How many rigs one process can serve: each rig's link holds open files (a server its listening socket
// and one per receiver, a client its socket), and the open-file limit bounds them all.

// Descriptors kept aside for the program itself: the standard streams, the event loop, the control
// API and its clients, and the run files a rig opens for a moment to append to them.
inline constexpr uint64_t kFleetReservedDescriptors = 128;

// Raises the soft open-file limit as far as the hard limit allows; the soft limit afterwards.
uint64_t RaiseOpenFileLimit();

// The descriptors one rig's link needs at most.
[[nodiscard]] uint64_t DescriptorsPerRig(const CWitsCommSettings& link);

// The rigs that `openFileLimit` descriptors serve.
[[nodiscard]] uint64_t RigsServable(uint64_t openFileLimit, const CWitsCommSettings& link);
