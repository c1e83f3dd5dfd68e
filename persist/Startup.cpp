#include "persist/Startup.h"

#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "persist/AtomicFile.h"
#include "persist/SettingsFiles.h"
#include "persist/SimStateFile.h"
#include "support/DataRoot.h"

void LoadEngineAtStartup(CRigSim& engine) {
  LoadWitsCommSettings(engine);
  vorn::CreateDataFolders(engine.m_strDataRoot);
  // A save killed before its rename left its temporary file; nothing else would ever remove it.
  for (const std::string& path : {SimSettingsPath(engine.m_strDataRoot), SimStatePath(engine.m_strDataRoot),
                                 WitsCommSettingsPath(engine.m_strDataRoot)}) {
    vorn::RemoveSaveLeftovers(path);
  }
  LoadSimSettings(engine);
  LoadSimState(engine);
}

void AttachStateFiles(RunHooks& hooks, CSimStateFile& state) {
  hooks.loadState = [&state] { state.LoadUnlessSaveFailed(); };
  hooks.saveState = [&state] { state.Save(); };
}

void SaveAfterModeChange(CSimStateFile& state) {
  SaveSimSettings(state.Engine());
  state.Save();
}
