#pragma once

#include <string>

#include "comms/CommsWrapper.h"

// The name of a link state: "Trying to Connect", "Connected", "Closed"; empty for any other value.
[[nodiscard]] std::string LinkStateText(int state);

// The link's status text as the operator sees it: a listening server link also says whether a
// client is attached.
[[nodiscard]] std::string LinkMessageText(const CCommsWrapper& link);
