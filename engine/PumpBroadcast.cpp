#include "engine/PumpBroadcast.h"

#include "support/Console.h"

// PROVISIONAL: only the console line; the desktop broadcast joins with the X11 work.
void SendExternalPumpsMessage(bool pumpsOn) {
  vorn::Console() << " SendExternalPumpsMessage " << (pumpsOn ? 1 : 0) << std::endl;
}
