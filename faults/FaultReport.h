#pragma once

#include <string>

#include "faults/FaultOrder.h"

// A fault the wire has just applied, as its log entry and the views show it.
struct FaultReport {
  FaultKind kind = FaultKind::Silence;
  std::string text;      // the fault in its text form, every parameter spelt out
  bool fromPlan = false;  // a fault plan's entry, not an injected fault
};
