#pragma once

#include "support/ProfileSection.h"

class QWidget;

// A top-level window's placement in the stored 44-byte form: show state and the normal (not
// maximised) rectangle of the window's client area in screen coordinates.
namespace vorn {

[[nodiscard]] WindowPlacement PlacementOf(const QWidget& window);
// Moves and sizes the window to the stored rectangle and maximises it when it was maximised. A stored
// minimised state opens normally; an empty rectangle changes nothing.
void ApplyPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace vorn
