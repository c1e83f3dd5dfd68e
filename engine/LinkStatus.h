#pragma once

#include <string>

#include "comms/CommsWrapper.h"

// The name of a link state: "Trying to Connect", "Connected", "Closed"; empty for any other value.
[[nodiscard]] std::string LinkStateText(int state);

// A TCP server link that is listening (its clients come and go while it stays connected).
[[nodiscard]] bool IsListeningServer(const CCommsWrapper& link);

// The link's status text as the operator sees it: a listening server link also says whether a
// client is attached, or how many when there are several (" - 3 Clients Connected").
[[nodiscard]] std::string LinkMessageText(const CCommsWrapper& link);
