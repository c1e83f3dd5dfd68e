#include "app/HeadlessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <ostream>

#include "engine/LinkStatus.h"
#include "history/HistoryCsv.h"
#include "support/Clock.h"
#include "support/StatusLine.h"
#include "support/DescriptorReserve.h"
#include "support/Text.h"

CHeadlessRunner::CHeadlessRunner(const CommandLineOptions& options, std::ostream& status, vorn::Clocks clocks)
    : m_options(options), m_status(status), m_engine(std::move(clocks)) {
  if (options.historyCsv || options.control) {
    m_history = std::make_unique<CHistoryRecorder>(m_engine);
    m_controller.AddView(*m_history);
  }
  m_controller.AddView(*this);
  m_controller.LoadAtStartup();
  (void)m_controller.SetTenTimes(options.tenTimes);  // always done
  ApplyFaultOptions(m_controller, options);
}

void ApplyFaultOptions(CRigController& controller, const CommandLineOptions& options) {
  // All were checked when the command line was read: each command is done. A seed given on the command
  // line wins over the plan's.
  if (options.faultPlan) (void)controller.SetFaultPlan(*options.faultPlan);
  if (options.seed) (void)controller.SetFaultSeed(*options.seed);
  for (const FaultOrder& fault : options.faults) (void)controller.InjectFault(fault);
}

bool ApplyReplayOption(CRigController& controller, const CommandLineOptions& options,
                       const std::function<void(const std::string&)>& print) {
  if (!options.replay) return true;
  controller.Replay().SetListener([print](ReplayEvent, const std::string& line) { print("Replay: " + line); });
  const CommandResult loaded = controller.Replay().Load(*options.replay, controller.IsRunning());
  if (!loaded.IsDone()) print("Replay: " + loaded.message);
  return loaded.IsDone();
}

bool ApplyWellOption(CRigController& controller, const CommandLineOptions& options, std::ostream& status,
                     uint64_t rigSeed) {
  if (!options.wellFile) return true;
  const CommandResult used = controller.UseWellFile(*options.wellFile, rigSeed);
  if (!used.IsDone()) status << vorn::StampedLine(controller.Engine().Clocks().nowSeconds(), used.message) << std::endl;
  return used.IsDone();
}

CHeadlessRunner::~CHeadlessRunner() {
  m_controller.RemoveView(*this);
  if (m_history) m_controller.RemoveView(*m_history);
}

bool CHeadlessRunner::Start() {
  if (!m_engine.DictionaryError().empty()) Print("message", m_engine.DictionaryError());
  if (!m_controller.WellRestoreError().empty()) Print("message", m_controller.WellRestoreError());
  if (m_options.wellFile && !ApplyWellOption(m_controller, m_options, m_status)) {
    m_exitCode = 2;
    return false;
  }
  if (!ApplyReplayOption(m_controller, m_options, [this](const std::string& line) { Print("replay", line); })) {
    m_exitCode = 1;
    return false;
  }
  const CommandResult started = m_controller.SetRunning(true);
  if (started.IsDone()) return true;
  Print("run", started.message);
  m_exitCode = 1;
  return false;
}

void CHeadlessRunner::Stop(int exitCode) {
  if (m_stopped) return;
  m_stopped = true;
  m_exitCode = exitCode;
  vorn::ReleaseDescriptorReserve();  // the state's save opens files even when connections took the rest
  m_controller.Close();              // "Run stopped." comes as the controller tells of it
  if (m_exitCode == 0 && m_controller.StateSaveFailed()) m_exitCode = 1;  // said by "State not saved: ..."
  QCoreApplication::exit(m_exitCode);
}

void CHeadlessRunner::OnRunChanged(bool running) {
  if (!running) {
    ReportChanges();
    Print("run", "Run stopped. CSV file: " + m_engine.m_strCsvPath + "  WITS log: " + m_engine.m_strWitsLogPath);
    WriteHistoryCsv();
    return;
  }
  Print("run", "Run started. CSV file: " + m_engine.m_strCsvPath + "  WITS log: " + m_engine.m_strWitsLogPath);
  // Read after the line's time stamp, so the run never ends before the duration from that line.
  m_runTime.CountFrom(m_engine.Clocks().milliseconds());
  ReportChanges();
}

void CHeadlessRunner::WriteHistoryCsv() {
  if (!m_options.historyCsv || !m_history) return;
  const CHistoryStore& store = m_history->Store();
  const std::string text = HistoryCsv(store, AllSeries(store), 0.0, store.Latest(), m_history->StartWallSeconds());
  QFile file(QString::fromStdString(*m_options.historyCsv));
  const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                       file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
  Print("history", written ? "History CSV: " + *m_options.historyCsv
                : "History CSV not written: " + *m_options.historyCsv + ": " + file.errorString().toStdString());
}

void CHeadlessRunner::OnModeChanged(int, bool) { ReportChanges(); }

void CHeadlessRunner::OnSubStateChanged(int) { ReportChanges(); }

void CHeadlessRunner::OnLinkChanged(const RigLinkStatus&) { ReportChanges(); }

void CHeadlessRunner::OnMessage(const std::string& line) { Print("message", line); }

void CHeadlessRunner::OnFault(const FaultReport& report) {
  Print("fault", std::string(report.fromPlan ? "Fault (plan) " : "Fault ") + report.text);
}

void CHeadlessRunner::OnAfterTick() {
  ReportChanges();
  EndWhenDurationPassed();
}

void CHeadlessRunner::ReportChanges() {
  const CCommsWrapper& link = m_engine.m_witsLink;
  if (const auto line = m_linkLines.Next(link.m_state, LinkMessageText(link), link.OpenAttempts(),
                                         m_engine.Clocks().milliseconds())) {
    Print("link", *line);
  }
  const int mode = m_engine.m_settings.m_mode;
  if (mode != m_lastMode) {
    m_lastMode = mode;
    Print("mode", "Mode " + vorn::NameAt(RigModeNames(), mode, std::to_string(mode)));
  }
  const int subStateIndex = m_engine.GetSubState();
  const std::string subState =
      vorn::NameAt(m_engine.GetSubStateNames(), subStateIndex, std::to_string(subStateIndex));
  if (subState != m_lastSubState) {
    m_lastSubState = subState;
    Print("sub-state", "Sub-state " + subState);
  }
}

void CHeadlessRunner::EndWhenDurationPassed() {
  if (!m_options.durationSeconds) return;
  const uint32_t now = m_engine.Clocks().milliseconds();
  if (static_cast<double>(m_runTime.Add(now)) >= *m_options.durationSeconds * 1000.0) Stop(0);
}

void CHeadlessRunner::Print(std::string_view kind, const std::string& line) {
  const double now = m_engine.Clocks().nowSeconds();
  m_status << vorn::FormatStatusLine(m_options.logFormat, now, {kind, 0, line}) << std::endl;
}
