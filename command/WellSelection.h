#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "command/CommandResult.h"

class CRigSim;

// Choosing the well behind a rig. A well that reads replaces the one in use, is remembered in the
// settings file (saved at once) and, in a data root that has saved no state or no item list yet,
// puts the bit at the well's start depth and the standard record 1 items in the list. A text or
// file that does not read changes nothing and says why, naming the member at fault.
CommandResult UseWellText(CRigSim& engine, std::string_view text, const std::string& path, uint64_t rigSeed = 0);
CommandResult UseWellFile(CRigSim& engine, const std::string& path, uint64_t rigSeed = 0);
// No well: the rig of the settings' fixed values again, and the settings file without one.
void ClearWell(CRigSim& engine);
// At start-up, the well the settings file remembers; a file that no longer reads leaves none and
// says why (empty when all went well or there was none).
[[nodiscard]] std::string RestoreWell(CRigSim& engine, uint64_t rigSeed = 0);
// Empties the item list and puts in the standard WITS record 1 items of a well's channels.
void BuildWellDefaultItems(CRigSim& engine);
