#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <string>

#include "support/ProfileSection.h"

class QWidget;

// A top-level window's placement in the stored 44-byte form: show state and the normal (not
// maximised) rectangle of the window's client area in screen coordinates.
namespace vorn {

[[nodiscard]] WindowPlacement PlacementOf(const QWidget& window);

// Whether a stored placement describes a window that can stand on this desktop. Its edges are taken in
// 64 bits, so no values overflow; it is sane when its width and height are each 1 to 32767 pixels (X11
// keeps window sizes and places in 16 bits) and its rectangle overlaps at least one of the screens, so
// the operator can reach the window. A damaged profile value (edges swapped, absurd sizes, a place far
// off every screen) is none of these.
[[nodiscard]] bool IsSanePlacement(const WindowPlacement& placement, const QList<QRect>& screens);

// Moves and sizes the window to the stored rectangle and maximises it when it was maximised. A stored
// minimised state opens normally; a placement that is not sane on the present screens changes nothing.
void ApplyPlacement(QWidget& window, const WindowPlacement& placement);

}  // namespace vorn

// Keeps a top-level window's placement in a profile entry: puts the window where the entry says when
// made (a stored value of another size than 44 bytes is ignored), and writes the entry again after
// every move, resize or change of show state. It lives as the window's child.
class CPlacementKeeper : public QObject {
 public:
  CPlacementKeeper(QWidget& window, vorn::CProfileSection section, std::string entry);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& m_window;
  vorn::CProfileSection m_section;
  std::string m_entry;
};
