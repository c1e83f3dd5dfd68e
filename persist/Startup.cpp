#include "persist/Startup.h"

#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "persist/SettingsFiles.h"
#include "persist/SimStateFile.h"
#include "support/DataRoot.h"

void LoadEngineAtStartup(CRigSim& engine) {
  LoadWitsCommSettings(engine);
  vorn::CreateDataFolders();
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
