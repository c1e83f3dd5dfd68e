#include "persist/SimStateFile.h"

#include <ostream>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/Console.h"

CSimStateFile::CSimStateFile(CRigSim& engine, Reporter report) : m_engine(engine), m_report(std::move(report)) {}

bool CSimStateFile::Save() {
  m_lastSaveFailed = !SaveSimState(m_engine);
  if (m_lastSaveFailed) Report("State not saved: unable to write " + SimStatePath(m_engine.m_strDataRoot));
  return !m_lastSaveFailed;
}

bool CSimStateFile::LoadUnlessSaveFailed() {
  if (m_lastSaveFailed) {
    Report("State not loaded: the last save of " + SimStatePath(m_engine.m_strDataRoot) +
           " failed; the run goes on from the state in memory");
    return false;
  }
  LoadSimState(m_engine);
  return true;
}

void CSimStateFile::Report(const std::string& line) const {
  if (m_report) {
    m_report(line);
  } else {
    vorn::Console() << line << std::endl;
  }
}
