#include "ui/WidgetPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vorn {
namespace {

constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMinimised = 2;
constexpr int32_t kShowMaximised = 3;
constexpr int64_t kMaxExtent = 32767;  // the widest and highest window X11 can place

}  // namespace

WindowPlacement PlacementOf(const QWidget& window) {
  WindowPlacement placement;
  placement.showCmd = window.isMinimized() ? kShowMinimised : window.isMaximized() ? kShowMaximised : kShowNormal;
  QRect normal = window.geometry();
  if (placement.showCmd != kShowNormal && window.normalGeometry().isValid()) normal = window.normalGeometry();
  placement.left = normal.left();
  placement.top = normal.top();
  placement.right = normal.left() + normal.width();
  placement.bottom = normal.top() + normal.height();
  return placement;
}

bool IsSanePlacement(const WindowPlacement& placement, const QList<QRect>& screens) {
  const int64_t left = placement.left;
  const int64_t top = placement.top;
  const int64_t width = int64_t{placement.right} - left;
  const int64_t height = int64_t{placement.bottom} - top;
  if (width < 1 || height < 1 || width > kMaxExtent || height > kMaxExtent) return false;
  for (const QRect& screen : screens) {
    const bool across = left < int64_t{screen.x()} + screen.width() && screen.x() < left + width;
    const bool down = top < int64_t{screen.y()} + screen.height() && screen.y() < top + height;
    if (across && down) return true;
  }
  return false;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& placement) {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.append(screen->geometry());
  if (!IsSanePlacement(placement, screens)) return;
  // Sane: the sizes, and edges within reach of a screen, fit an int.
  const int width = placement.right - placement.left;
  const int height = placement.bottom - placement.top;
  window.setGeometry(placement.left, placement.top, width, height);
  if (placement.showCmd == kShowMaximised) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

}  // namespace vorn

CPlacementKeeper::CPlacementKeeper(QWidget& window, vorn::CProfileSection section, std::string entry)
    : QObject(&window), m_window(window), m_section(std::move(section)), m_entry(std::move(entry)) {
  vorn::WindowPlacement placement;
  if (m_section.GetPlacement(m_entry, placement)) vorn::ApplyPlacement(m_window, placement);
  m_window.installEventFilter(this);
}

bool CPlacementKeeper::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == &m_window &&
      (type == QEvent::Move || type == QEvent::Resize || type == QEvent::WindowStateChange)) {
    m_section.WritePlacement(m_entry, vorn::PlacementOf(m_window));
  }
  return false;
}
