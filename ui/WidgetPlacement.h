#pragma once

#include <QObject>
#include <string>

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
