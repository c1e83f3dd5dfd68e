// The stored window placement, whatever the profile holds: the input is stored as the main window's
// placement value, then a window is placed from it as the main window is at start, and its keeper
// writes the placement back on the window's first move. Never a crash or undefined behaviour, and
// what is written back is a whole placement of a window with an area.
#include <QByteArray>
#include <QCoreApplication>
#include <QMoveEvent>
#include <QSettings>
#include <QWidget>
#include <cstdint>
#include <cstdlib>

#include "FuzzApplication.h"
#include "FuzzFolders.h"
#include "support/ProfileSection.h"
#include "ui/WidgetPlacement.h"

namespace {

constexpr const char* kSection = "VornRigSim";
constexpr const char* kEntry = "WindowPlacment";

// The bytes as any program (or an older build) may have left them in the profile.
void StoreRawValue(const uint8_t* data, size_t size) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, "VornRigSim", "VornRigSim");
  store.setValue(QString("%1/%2").arg(kSection, kEntry),
                 QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  store.sync();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PrepareFuzzFolders();
  FuzzApplication();
  StoreRawValue(data, size);

  const vorn::CProfileSection profile(kSection, "");
  {
    QWidget window;
    new CPlacementKeeper(window, profile, kEntry);
    // The move the window system reports once the window is up. Showing the window for real would
    // make each input several times slower and reach no other code of ours.
    QMoveEvent moved(window.pos(), window.pos());
    QCoreApplication::sendEvent(&window, &moved);
  }

  vorn::WindowPlacement written;
  if (!profile.GetPlacement(kEntry, written)) return 0;  // the keeper may refuse what it read
  if (written.length != 44) std::abort();
  if (written.right <= written.left || written.bottom <= written.top) std::abort();
  return 0;
}
