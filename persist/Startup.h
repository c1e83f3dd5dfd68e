#pragma once

class CRigSim;
class CSimStateFile;
struct RunHooks;

// The start-up of a rig, after its engine is built (the window and the headless mode alike): the
// link settings, the data folders, then the settings and the saved state.
void LoadEngineAtStartup(CRigSim& engine);

// The run loop loads the saved state before each run (unless its last save failed) and saves it at
// each stop.
void AttachStateFiles(RunHooks& hooks, CSimStateFile& state);

// After a change of the mode: both files that hold the mode and the position.
void SaveAfterModeChange(CSimStateFile& state);
