#pragma once

#include <string>

class CRigController;
class CRigSim;
struct RigLinkStatus;

namespace vorn {
class CJsonText;
}

// The answers of the control API's reads, as JSON texts, from what the controller last told its views
// and from the engine.
namespace vorn::control {

// The names the window shows; the number itself for one outside the lists.
[[nodiscard]] std::string ModeName(int mode);
[[nodiscard]] std::string SubStateName(int mode, int subState);
// The WITS link's members, as the status and the link event give them.
void LinkMembers(CJsonText& json, const RigLinkStatus& link);

// Version, run, ten-times, mode and sub-state, both links, pumps, gain and the data files.
[[nodiscard]] std::string StatusJson(const CRigController& controller);
// The fourteen channels in the window's order: numbers, and the two flags as true/false.
[[nodiscard]] std::string ChannelsJson(const CRigSim& engine);
// The output items: their stored fields as the settings file holds them, the value text and whether
// the value waits to be sent.
[[nodiscard]] std::string ItemsJson(const CRigSim& engine);
// The age of a received value in seconds, to the millisecond.
[[nodiscard]] double AgeSeconds(double now, double timeReceived);
// The received items: record, item, description, value text and age in seconds (AgeSeconds).
[[nodiscard]] std::string ReceivedJson(const CRigSim& engine);
// The faults: {"seed": "N", "active": [texts], "plan": [texts]}; the seed as text, since it may not fit
// a JSON reader's double.
[[nodiscard]] std::string FaultsJson(const CRigController& controller);

}  // namespace vorn::control
