#pragma once

#include "FuzzFolders.h"
#include "engine/RigSim.h"

// Engines for fuzz targets, built once per process, on folders of the process's own.
inline CRigSim& FuzzEngine(int which = 0) {
  PrepareFuzzFolders();
  static CRigSim engines[2];
  return engines[which];
}
