#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fleet/FleetRig.h"
#include "fleet/FleetSliceLock.h"
#include "fleet/FleetTicker.h"
#include "support/StatusLine.h"

// What a fleet is asked to be.
struct FleetOptions {
  int count = 0;                          // rigs first..first+count-1
  int first = 1;                          // the number of the fleet's first rig (a slice of a larger fleet)
  std::optional<uint64_t> seed;           // rigs differ in start position, mode and start moment
  bool tenTimes = false;                  // every rig's simulated time ten times as fast
  std::optional<double> durationSeconds;  // end after this long on the clock, then exit 0
  vorn::StatusFormat logFormat = vorn::StatusFormat::Text;  // of the status lines
  // Done to each rig's controller once it is set up, before its run starts (the fault options).
  std::function<void(CRigController&)> setUpRig;
};

// Many rigs in one process, without a window: rig k (numbered from the options' first, so that several
// processes may serve slices of one fleet) has its own engine, items, link, CSV file and WITS
// log under <root>/Fleet/Rig<k>, with its own three settings files, made from the root's the first time.
// Its link is the root's (a server on the root's port plus k-1, a client to the root's peer). One timer
// ticks them all; each rig's ticks, frames and files are what one rig alone makes of its settings.
//
// Standard error gets a line when the fleet starts, a status line every 10 s (rigs running, links with
// a peer, links still trying to open or connect, frames sent in those 10 s, the slowest tick), each
// rig's failed run start and messages with its number in front, and a line when it stops.
class CFleetRunner : public QObject {
  Q_OBJECT

 public:
  static constexpr uint32_t kStatusIntervalMs = 10000;

  CFleetRunner(FleetOptions options, std::ostream& status, vorn::Clocks clocks = {});
  ~CFleetRunner() override;
  CFleetRunner(const CFleetRunner&) = delete;
  CFleetRunner& operator=(const CFleetRunner&) = delete;

  // Sets the rigs up and starts their runs (a seeded rig's after its start offset). False when the
  // fleet cannot run (serial link, ports past the last, more rigs than open files allow, no rig
  // started); the reason was printed and the exit code is ExitCode().
  bool Start();
  // Ends every rig's run as closing the window does (state saved, links closed), says whether every
  // state was saved, and leaves the event loop with `exitCode`, or 1 when it is 0 but a state could
  // not be saved.
  void Stop(int exitCode);
  [[nodiscard]] int ExitCode() const { return m_exitCode; }

  // Rig k (first..first+count-1) once set up; none for another number.
  [[nodiscard]] CRigController* Controller(int rig);
  [[nodiscard]] std::size_t RigCount() const { return m_rigs.size(); }
  [[nodiscard]] CFleetTicker& Ticker() { return m_ticker; }
  // The status line as it would be printed now; it takes the counts of the period it ends.
  [[nodiscard]] std::string TakeStatusLine();

 private:
  bool SetUpRigs();
  // Rig `number`: its folder (the root's files copied the first time), its link, a seeded start on its
  // first run, the options of every rig; ticked by the fleet's timer.
  std::unique_ptr<CFleetRig> MakeRig(int number, const CWitsCommSettings& rootLink);
  // Every rig's run, at once or, with a seed, after its start offset.
  void StartRuns();
  // Starts the rig's run; it ticks in the phase of `meantAtMs`, the moment its start was meant for.
  void StartRig(CFleetRig& rig, uint32_t meantAtMs);
  void AfterWake();
  // A line of the fleet's own (no one rig's).
  void Print(std::string_view kind, const std::string& line);
  void PrintLine(const vorn::StatusLine& line);

  FleetOptions m_options;
  std::ostream& m_status;
  vorn::Clocks m_clocks;
  CFleetTicker m_ticker;
  CFleetSliceLock m_sliceLock;
  std::vector<std::unique_ptr<CFleetRig>> m_rigs;
  uint32_t m_startMs = 0;
  uint32_t m_lastStatusMs = 0;
  // The fleet's time since its start, summed wake-up by wake-up (so it may pass the clock's wrap).
  vorn::CElapsedSum m_runTime;
  std::size_t m_startsPending = 0;
  int m_exitCode = 0;
  bool m_stopped = false;
};
