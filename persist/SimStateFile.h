#pragma once

#include <functional>
#include <string>

class CRigSim;

// "SimState.json" as the running program keeps it. Every save of the engine's state goes through
// here, so this is the one place that knows whether the last save failed. A load that follows a
// failed save would put the rig back to an older position than the engine holds, so it is skipped:
// the engine's own state is kept until a save succeeds again.
class CSimStateFile {
 public:
  // Gets one line for each failed save and each load skipped for it; the diagnostic console when empty.
  using Reporter = std::function<void(const std::string& line)>;

  explicit CSimStateFile(CRigSim& engine, Reporter report = {});

  // Writes the engine's state. False when the file could not be written; that is remembered and
  // reported. A successful save forgets an earlier failure.
  bool Save();
  // Restores the saved state into the engine, unless the last save failed (reported): false then.
  bool LoadUnlessSaveFailed();
  [[nodiscard]] bool LastSaveFailed() const { return m_lastSaveFailed; }
  [[nodiscard]] CRigSim& Engine() { return m_engine; }

 private:
  void Report(const std::string& line) const;

  CRigSim& m_engine;
  Reporter m_report;
  bool m_lastSaveFailed = false;
};
