#include "control/ServiceAnswers.h"

#include <charconv>
#include <functional>

#include "comms/LinkWrite.h"
#include "support/JsonText.h"

namespace vorn::control {

namespace {

constexpr std::size_t kNamedUnready = 20;

void AppendNumber(std::string& text, uint64_t value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;
  text.append(digits, end);
}

void AppendNumber(std::string& text, double value) {
  char digits[32];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;
  text.append(digits, end);
}

// One metric family: its help and type lines, then one sample a rig.
template <typename Value>
void Family(std::string& text, const std::vector<RigSample>& rigs, std::string_view name, std::string_view type,
            std::string_view help, const Value& value) {
  text.append("# HELP ").append(name).append(" ").append(help).append("\n");
  text.append("# TYPE ").append(name).append(" ").append(type).append("\n");
  for (const RigSample& rig : rigs) {
    text.append(name).append("{rig=\"");
    AppendNumber(text, static_cast<uint64_t>(rig.rig));
    text.append("\"} ");
    AppendNumber(text, value(rig));
    text.append("\n");
  }
}

void ProcessFamily(std::string& text, std::string_view name, std::string_view type, std::string_view help,
                   double value) {
  text.append("# HELP ").append(name).append(" ").append(help).append("\n");
  text.append("# TYPE ").append(name).append(" ").append(type).append("\n");
  text.append(name).append(" ");
  AppendNumber(text, value);
  text.append("\n");
}

bool Ready(const RigSample& rig) { return rig.running && rig.linkOpen; }

}  // namespace

ServiceAnswer HealthAnswer(const std::vector<RigSample>& rigs, bool readiness) {
  std::size_t ready = 0;
  std::vector<int> unready;
  for (const RigSample& rig : rigs) {
    if (Ready(rig)) {
      ++ready;
    } else if (unready.size() < kNamedUnready) {
      unready.push_back(rig.rig);
    }
  }
  const bool allReady = !rigs.empty() && ready == rigs.size();
  CJsonText json;
  json.Begin().Flag("live", true).Flag("ready", allReady);
  json.Integer("rigs", static_cast<int>(rigs.size())).Integer("rigsReady", static_cast<int>(ready));
  if (rigs.size() == 1) {
    json.Flag("running", rigs.front().running).Flag("linkOpen", rigs.front().linkOpen);
    json.Integer("receivers", rigs.front().receivers);
  } else if (!unready.empty()) {
    json.Key("notReady").BeginArray();
    for (int rig : unready) json.Integer(rig);
    json.EndArray();
  }
  json.End();
  return {readiness && !allReady ? 503 : 200, "application/json", json.Take() + "\n"};
}

std::string MetricsText(const std::vector<RigSample>& rigs, const vorn::ProcessStats& process) {
  std::string text;
  text.reserve(256 + rigs.size() * 700);
  const auto count = [](uint64_t RigCounts::*member) {
    return [member](const RigSample& rig) { return rig.counts.*member; };
  };
  Family(text, rigs, "vornrigsim_run_active", "gauge", "1 while the rig's run is active.",
         [](const RigSample& rig) { return uint64_t{rig.running}; });
  Family(text, rigs, "vornrigsim_link_open", "gauge",
         "1 while the WITS link is open (a port open, a server listening, a client connected).",
         [](const RigSample& rig) { return uint64_t{rig.linkOpen}; });
  Family(text, rigs, "vornrigsim_receivers", "gauge", "Receivers attached to the WITS link.",
         [](const RigSample& rig) { return static_cast<uint64_t>(std::max(rig.receivers, 0)); });
  Family(text, rigs, "vornrigsim_frames_sent_total", "counter", "WITS frames the link took.",
         count(&RigCounts::framesSent));
  Family(text, rigs, "vornrigsim_sent_bytes_total", "counter", "Bytes of the WITS frames the link took.",
         count(&RigCounts::bytesSent));
  Family(text, rigs, "vornrigsim_frames_refused_total", "counter",
         "WITS frames the link did not take (no receiver, not open, send buffer full, held back).",
         [](const RigSample& rig) { return rig.counts.FramesNotSent(); });
  Family(text, rigs, "vornrigsim_arrivals_total", "counter", "Arrivals of bytes on the WITS link.",
         count(&RigCounts::arrivals));
  Family(text, rigs, "vornrigsim_received_bytes_total", "counter", "Bytes received on the WITS link.",
         count(&RigCounts::bytesReceived));
  Family(text, rigs, "vornrigsim_reconnects_total", "counter",
         "Times the WITS link found a peer again after losing one.", count(&RigCounts::reconnects));
  Family(text, rigs, "vornrigsim_faults_applied_total", "counter", "Wire faults that took effect.",
         count(&RigCounts::faultsApplied));
  Family(text, rigs, "vornrigsim_ticks_total", "counter", "Ticks of the run loop.",
         [](const RigSample& rig) { return rig.timing.ticks; });
  Family(text, rigs, "vornrigsim_ticks_late_total", "counter",
         "Ticks that began more than 150 ms after the one before.",
         [](const RigSample& rig) { return rig.timing.late; });
  Family(text, rigs, "vornrigsim_tick_seconds_max", "gauge", "The longest tick of the run loop, in seconds.",
         [](const RigSample& rig) { return std::chrono::duration<double>(rig.timing.slowest).count(); });
  ProcessFamily(text, "vornrigsim_rigs", "gauge", "Rigs this process serves.", static_cast<double>(rigs.size()));
  if (process.residentBytes) {
    ProcessFamily(text, "process_resident_memory_bytes", "gauge", "Resident memory size in bytes.",
                  static_cast<double>(*process.residentBytes));
  }
  if (process.openFiles) {
    ProcessFamily(text, "process_open_fds", "gauge", "Number of open file descriptors.",
                  static_cast<double>(*process.openFiles));
  }
  if (process.maxOpenFiles) {
    ProcessFamily(text, "process_max_fds", "gauge", "Maximum number of open file descriptors.",
                  static_cast<double>(*process.maxOpenFiles));
  }
  ProcessFamily(text, "process_cpu_seconds_total", "counter", "Total user and system CPU time spent in seconds.",
                process.cpuSeconds);
  return text;
}

}  // namespace vorn::control
