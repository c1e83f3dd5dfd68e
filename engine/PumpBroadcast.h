#pragma once

// Tells cooperating desktop programs that the simulated pumps started (true) or stopped (false).
void SendExternalPumpsMessage(bool pumpsOn);
