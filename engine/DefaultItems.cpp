// PROVISIONAL placeholder: the default list joins with the output-items work.
#include "engine/RigSim.h"

void CRigSim::BuildDefaultItems() { m_outputItems.clear(); }
