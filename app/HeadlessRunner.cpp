#include "app/HeadlessRunner.h"

#include <QCoreApplication>
#include <algorithm>
#include <ostream>

#include "engine/LinkStatus.h"
#include "persist/Startup.h"
#include "support/Clock.h"
#include "support/Text.h"
#include "support/Time.h"

namespace {

RunHooks MakeHooks(CSimStateFile& state, std::function<void()> afterTick,
                   std::function<void(const std::string&)> reportFailure) {
  RunHooks hooks;
  AttachStateFiles(hooks, state);
  hooks.afterTick = std::move(afterTick);
  hooks.reportFailure = std::move(reportFailure);
  return hooks;
}

}  // namespace

CHeadlessRunner::CHeadlessRunner(const CommandLineOptions& options, std::ostream& status, vorn::Clocks clocks)
    : m_options(options),
      m_status(status),
      m_engine(std::move(clocks)),
      m_stateFile(m_engine, [this](const std::string& line) { Print(line); }),
      m_run(m_engine,
            MakeHooks(m_stateFile,
                      [this] {
                        ReportChanges();
                        EndWhenDurationPassed();
                      },
                      [this](const std::string& message) {
                        Print(message);
                        m_exitCode = 1;
                      })) {
  m_engine.m_pCallback = this;
  LoadEngineAtStartup(m_engine);
  m_engine.SetTenTimesSpeed(options.tenTimes);
}

bool CHeadlessRunner::Start() {
  if (!m_engine.DictionaryError().empty()) Print(m_engine.DictionaryError());
  m_run.BeginRun();
  if (m_run.RunFlag() != 1) return false;
  Print("Run started. CSV file: " + m_engine.m_strCsvPath + "  WITS log: " + m_engine.m_strWitsLogPath);
  // Read after the line's time stamp, so the run never ends before the duration from that line.
  m_lastTickMs = m_engine.Clocks().milliseconds();
  ReportChanges();
  return true;
}

void CHeadlessRunner::Stop(int exitCode) {
  if (m_stopped) return;
  m_stopped = true;
  m_exitCode = exitCode;
  m_run.EndRun();
  ReportChanges();
  Print("Run stopped. CSV file: " + m_engine.m_strCsvPath + "  WITS log: " + m_engine.m_strWitsLogPath);
  QCoreApplication::exit(exitCode);
}

void CHeadlessRunner::OnModeChanged(int) { SaveAfterModeChange(m_stateFile); }

void CHeadlessRunner::ReportChanges() {
  const CCommsWrapper& link = m_engine.m_witsLink;
  if (const auto line = m_linkLines.Next(link.m_state, LinkMessageText(link), link.OpenAttempts(),
                                         m_engine.Clocks().milliseconds())) {
    Print(*line);
  }
  const int mode = m_engine.m_settings.m_mode;
  if (mode != m_lastMode) {
    m_lastMode = mode;
    Print("Mode " + vorn::NameAt(RigModeNames(), mode, std::to_string(mode)));
  }
  const int subStateIndex = m_engine.GetSubState();
  const std::string subState =
      vorn::NameAt(m_engine.GetSubStateNames(), subStateIndex, std::to_string(subStateIndex));
  if (subState != m_lastSubState) {
    m_lastSubState = subState;
    Print("Sub-state " + subState);
  }
}

void CHeadlessRunner::EndWhenDurationPassed() {
  if (!m_options.durationSeconds) return;
  const uint32_t now = m_engine.Clocks().milliseconds();
  m_runMs += static_cast<uint64_t>(std::max(vorn::ElapsedMs(now, m_lastTickMs), 0));
  m_lastTickMs = now;
  if (static_cast<double>(m_runMs) >= *m_options.durationSeconds * 1000.0) Stop(0);
}

void CHeadlessRunner::Print(const std::string& line) {
  const double now = m_engine.Clocks().nowSeconds();
  m_status << vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(now), " ") << " " << line << std::endl;
}
