// PROVISIONAL placeholder: frames out and in join with the WITS exchange work.
#include "engine/RigSim.h"

void CRigSim::DoWitsOut() {}
void CRigSim::CommsReceiverIF_OnReceive(std::vector<uint8_t>, int32_t) {}
