#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where a control API request goes: its rig and its action, or why it goes nowhere. A path is
// /api/v1/<endpoint>, for the program's rig, or /api/v1/rigs/<k>/<endpoint> for rig k.
namespace vorn::control {

enum class Action {
  GetStatus,
  GetChannels,
  GetItems,
  GetReceived,
  GetSettings,
  GetLink,
  GetHistory,
  GetFaults,
  GetWell,
  GetEvents,
  PostRun,
  PostTenTimes,
  PostMode,
  PostBitDepth,
  PostHoleDepth,
  PostDefaultStartState,
  PostGain,
  PutSettings,
  PutItems,
  PostItemDefaults,
  PutLink,
  PostFaults,
  PutFaultPlan,
  DeleteFaultPlan,
  PutWell,
  DeleteWell,
};

struct Route {
  int rig = 0;
  Action action = Action::GetStatus;
};

struct RouteResult {
  std::optional<Route> route;
  int status = 0;     // 404 or 405 when there is no route
  std::string allow;  // for 405: the methods the endpoint takes, "GET, PUT"
};

[[nodiscard]] RouteResult ResolveRoute(std::string_view method, std::string_view path);

}  // namespace vorn::control
