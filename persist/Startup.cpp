#include "persist/Startup.h"

#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"

void LoadEngineAtStartup(CRigSim& engine) {
  LoadWitsCommSettings(engine);
  vorn::CreateDataFolders();
  LoadSimSettings(engine);
  LoadSimState(engine);
}

void AttachStateFiles(RunHooks& hooks, CRigSim& engine) {
  hooks.loadState = [&engine] { LoadSimState(engine); };
  hooks.saveState = [&engine] { SaveSimState(engine); };
}

void SaveAfterModeChange(const CRigSim& engine) {
  SaveSimSettings(engine);
  SaveSimState(engine);
}
