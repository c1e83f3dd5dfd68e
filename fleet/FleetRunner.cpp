#include "fleet/FleetRunner.h"

#include <QCoreApplication>
#include <filesystem>
#include <ostream>
#include <vector>

#include "fleet/FleetCapacity.h"
#include "fleet/FleetPlan.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/DescriptorReserve.h"
#include "support/Text.h"
#include "support/Time.h"

namespace fs = std::filesystem;

namespace {

std::string Milliseconds(std::chrono::nanoseconds duration) {
  return vorn::Sprintf("%.2f ms", static_cast<double>(duration.count()) / 1e6);
}

std::string LinkPlan(const CWitsCommSettings& link, int count, int first) {
  if (link.tcpIpType == Master) {
    return "TCP servers on ports " + std::to_string(FleetRigLink(link, first).nTcpIpPort) + " to " +
           std::to_string(FleetRigLink(link, first + count - 1).nTcpIpPort);
  }
  return "TCP clients to " + link.strIpAddress + ":" + std::to_string(link.nTcpIpPort);
}

// The root's settings files a rig lacks, copied into its Settings folder; what could not be copied.
std::vector<std::string> CopyRootFiles(const std::string& rigRoot) {
  std::error_code error;
  fs::create_directories(vorn::SettingsFolder(rigRoot), error);
  const std::pair<std::string, std::string> files[] = {
      {SimSettingsPath(), SimSettingsPath(rigRoot)},
      {SimStatePath(), SimStatePath(rigRoot)},
      {WitsCommSettingsPath(), WitsCommSettingsPath(rigRoot)},
  };
  std::vector<std::string> failures;
  for (const auto& [from, to] : files) {
    if (!fs::exists(from, error) || fs::exists(to, error)) continue;
    if (!fs::copy_file(from, to, error)) failures.push_back(from + " not copied to " + to + ": " + error.message());
  }
  return failures;
}

}  // namespace

CFleetRunner::CFleetRunner(FleetOptions options, std::ostream& status, vorn::Clocks clocks)
    : m_options(std::move(options)), m_status(status), m_clocks(std::move(clocks)), m_ticker(m_clocks.milliseconds) {
  m_ticker.SetAfterWake([this] { AfterWake(); });
}

// The rigs go before the ticker that ticks them (members end in reverse order).
CFleetRunner::~CFleetRunner() { m_ticker.SetAfterWake(nullptr); }

bool CFleetRunner::Start() {
  CWitsCommSettings link;
  bool skidLink = false;
  {
    // The root's link and skid switch decide what the fleet can be.
    CRigSim root(m_clocks);
    LoadWitsCommSettings(root);
    link = root.m_witsLink.m_settings;
    skidLink = root.SkidLinkEnabled();
  }
  const auto refuse = [this](const std::string& reason) {
    Print("fleet", reason);
    m_exitCode = 1;
    return false;
  };
  if (const auto refusal = FleetLinkRefusal(link, m_options.count, skidLink, m_options.first)) return refuse(*refusal);
  const uint64_t openFiles = RaiseOpenFileLimit();
  const uint64_t servable = RigsServable(openFiles, link);
  if (static_cast<uint64_t>(m_options.count) > servable) {
    return refuse(vorn::Sprintf(
        "A fleet of %d rigs needs up to %llu open files for its links, and this process may open %llu: it can "
        "serve %llu rigs. Raise the hard limit of open files (ulimit -Hn, LimitNOFILE=) or run fewer rigs.",
        m_options.count, static_cast<unsigned long long>(DescriptorsPerRig(link) * m_options.count),
        static_cast<unsigned long long>(openFiles), static_cast<unsigned long long>(servable)));
  }
  vorn::CreateDataFolders();
  if (const auto overlap =
          m_sliceLock.Claim(vorn::DataRootFolder() + "/Fleet", m_options.first, m_options.first + m_options.count - 1)) {
    return refuse(*overlap);
  }
  const std::string slice = m_options.first == 1 ? std::string()
                                                 : " (rigs " + std::to_string(m_options.first) + " to " +
                                                       std::to_string(m_options.first + m_options.count - 1) + ")";
  Print("fleet", "Fleet of " + std::to_string(m_options.count) + " rigs" + slice + " under " + vorn::DataRootFolder() +
        "/Fleet: " + LinkPlan(link, m_options.count, m_options.first) + "; " +
        (m_options.seed ? "fleet seed " + std::to_string(*m_options.seed)
                        : std::string("no fleet seed: every rig starts from the root's state")) +
        "; open-file limit " + std::to_string(openFiles));

  for (int i = 0; i < m_options.count; ++i) m_rigs.push_back(MakeRig(m_options.first + i, link));
  StartRuns();
  if (m_ticker.TickingCount() == 0 && m_startsPending == 0) return refuse("Fleet stopped: no rig's run started.");
  return true;
}

std::unique_ptr<CFleetRig> CFleetRunner::MakeRig(int number, const CWitsCommSettings& rootLink) {
  const std::string rigRoot = FleetRigRoot(vorn::DataRootFolder(), number);
  std::error_code error;
  const bool firstRun = !fs::is_directory(vorn::SettingsFolder(rigRoot), error);
  const std::vector<std::string> copyFailures = CopyRootFiles(rigRoot);
  auto rig = std::make_unique<CFleetRig>(number, rigRoot, m_clocks, [this](const vorn::StatusLine& line) { PrintLine(line); });
  for (const std::string& failure : copyFailures) rig->Print("message", failure);
  CRigController& controller = rig->Controller();
  const CWitsCommSettings rigLink = FleetRigLink(rootLink, number);
  if (!(rig->Engine().m_witsLink.m_settings == rigLink)) (void)controller.SetLinkSettings(rigLink);
  if (m_options.seed && firstRun) {
    const FleetRigStart start = SeededRigStart(*m_options.seed, number);
    (void)controller.SetMode(start.mode);
    (void)controller.SetHoleDepth(start.holeDepth);
    (void)controller.SetBitDepth(start.bitDepth);
  }
  (void)controller.SetTenTimes(m_options.tenTimes);
  if (m_options.setUpRig) m_options.setUpRig(controller);
  controller.SetTickSource(&m_ticker);
  return rig;
}

void CFleetRunner::StartRuns() {
  m_startMs = m_lastStatusMs = m_clocks.milliseconds();
  m_runTime.CountFrom(m_startMs);
  for (auto& rig : m_rigs) {
    const double interval = rig->Engine().m_settings.m_fWitsOutInterval;
    const uint32_t offset = m_options.seed ? SeededStartOffsetMs(*m_options.seed, rig->Number(), interval) : 0;
    if (offset == 0) {
      StartRig(*rig, m_startMs);
      continue;
    }
    ++m_startsPending;
    m_ticker.CallAt(m_startMs + offset, [this, &delayed = *rig, anchor = m_startMs + offset] {
      --m_startsPending;
      if (!m_stopped) StartRig(delayed, anchor);
    });
  }
}

void CFleetRunner::StartRig(CFleetRig& rig, uint32_t meantAtMs) {
  m_ticker.SetPhaseAnchor(meantAtMs);
  const CommandResult started = rig.Controller().SetRunning(true);
  m_ticker.SetPhaseAnchor(std::nullopt);
  if (!started.IsDone()) rig.Print("run", started.message);
}

void CFleetRunner::Stop(int exitCode) {
  if (m_stopped) return;
  m_stopped = true;
  m_exitCode = exitCode;
  vorn::ReleaseDescriptorReserve();  // the states' saves open files even when connections took the rest
  std::size_t unsaved = 0;
  for (auto& rig : m_rigs) {
    rig->Controller().Close();
    if (rig->Controller().StateSaveFailed()) ++unsaved;
  }
  Print("fleet", unsaved == 0 ? "Fleet stopped: the state of every rig saved."
                     : vorn::Sprintf("Fleet stopped: the state of %zu of %zu rigs could not be saved.", unsaved,
                                     m_rigs.size()));
  if (m_exitCode == 0 && unsaved > 0) m_exitCode = 1;
  QCoreApplication::exit(m_exitCode);
}

CRigController* CFleetRunner::Controller(int rig) {
  const int64_t index = static_cast<int64_t>(rig) - m_options.first;
  if (index < 0 || static_cast<std::size_t>(index) >= m_rigs.size()) return nullptr;
  return &m_rigs[static_cast<std::size_t>(index)]->Controller();
}

std::string CFleetRunner::TakeStatusLine() {
  std::size_t running = 0;
  std::size_t connected = 0;
  std::size_t trying = 0;
  uint64_t frames = 0;
  for (auto& rig : m_rigs) {
    running += rig->Controller().IsRunning() ? 1 : 0;
    connected += rig->LinkHasPeer() ? 1 : 0;
    trying += rig->Engine().m_witsLink.m_state == TryingToConnect ? 1 : 0;
    frames += rig->TakeFramesSent();
  }
  const CFleetTicker::Slowest slowest = m_ticker.TakeSlowest();
  return vorn::Sprintf("Fleet: %zu of %zu rigs running, %zu links connected, %zu trying to connect, %llu frames "
                       "sent in the last %u s, slowest tick %s (slowest wake-up %s)",
                       running, m_rigs.size(), connected, trying, static_cast<unsigned long long>(frames),
                       static_cast<unsigned>(kStatusIntervalMs / 1000), Milliseconds(slowest.tick).c_str(),
                       Milliseconds(slowest.wake).c_str());
}

void CFleetRunner::AfterWake() {
  const uint32_t now = m_clocks.milliseconds();
  const uint64_t runMs = m_runTime.Add(now);
  if (vorn::ElapsedMs(now, m_lastStatusMs) >= static_cast<int32_t>(kStatusIntervalMs)) {
    m_lastStatusMs = now;
    Print("fleet", TakeStatusLine());
  }
  if (m_options.durationSeconds && static_cast<double>(runMs) >= *m_options.durationSeconds * 1000.0) Stop(0);
}

void CFleetRunner::Print(std::string_view kind, const std::string& line) { PrintLine({kind, std::nullopt, line}); }

void CFleetRunner::PrintLine(const vorn::StatusLine& line) {
  m_status << vorn::FormatStatusLine(m_options.logFormat, m_clocks.nowSeconds(), line) << std::endl;
}
