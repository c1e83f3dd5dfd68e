#include "control/Routes.h"

#include <array>
#include <charconv>

namespace vorn::control {

namespace {

struct Entry {
  std::string_view endpoint;
  std::string_view method;
  Action action;
};

constexpr std::array kEntries = {
    Entry{"status", "GET", Action::GetStatus},
    Entry{"channels", "GET", Action::GetChannels},
    Entry{"items", "GET", Action::GetItems},
    Entry{"items", "PUT", Action::PutItems},
    Entry{"items/defaults", "POST", Action::PostItemDefaults},
    Entry{"received", "GET", Action::GetReceived},
    Entry{"settings", "GET", Action::GetSettings},
    Entry{"settings", "PUT", Action::PutSettings},
    Entry{"link", "GET", Action::GetLink},
    Entry{"link", "PUT", Action::PutLink},
    Entry{"history", "GET", Action::GetHistory},
    Entry{"events", "GET", Action::GetEvents},
    Entry{"run", "POST", Action::PostRun},
    Entry{"ten-times", "POST", Action::PostTenTimes},
    Entry{"mode", "POST", Action::PostMode},
    Entry{"bit-depth", "POST", Action::PostBitDepth},
    Entry{"hole-depth", "POST", Action::PostHoleDepth},
    Entry{"default-start-state", "POST", Action::PostDefaultStartState},
    Entry{"gain", "POST", Action::PostGain},
    Entry{"faults", "GET", Action::GetFaults},
    Entry{"faults", "POST", Action::PostFaults},
    Entry{"fault-plan", "PUT", Action::PutFaultPlan},
    Entry{"fault-plan", "DELETE", Action::DeleteFaultPlan},
    Entry{"well", "GET", Action::GetWell},
    Entry{"well", "PUT", Action::PutWell},
    Entry{"well", "DELETE", Action::DeleteWell},
};

constexpr std::string_view kPrefix = "/api/v1/";
constexpr std::string_view kRigs = "rigs/";

}  // namespace

RouteResult ResolveRoute(std::string_view method, std::string_view path) {
  RouteResult result;
  result.status = 404;
  if (!path.starts_with(kPrefix)) return result;
  path.remove_prefix(kPrefix.size());
  int rig = 0;
  if (path.starts_with(kRigs)) {
    path.remove_prefix(kRigs.size());
    const size_t slash = path.find('/');
    if (slash == std::string_view::npos || slash == 0 || slash > 6 || path[0] < '0' || path[0] > '9') return result;
    const auto [end, error] = std::from_chars(path.data(), path.data() + slash, rig);
    if (error != std::errc() || end != path.data() + slash) return result;
    path.remove_prefix(slash + 1);
  }
  for (const Entry& entry : kEntries) {
    if (entry.endpoint != path) continue;
    if (entry.method == method) return {Route{rig, entry.action}, 0, {}};
    result.status = 405;
    if (!result.allow.empty()) result.allow += ", ";
    result.allow += entry.method;
  }
  return result;
}

}  // namespace vorn::control
