#include "ui/WidgetPlacement.h"

#include <QEvent>
#include <QWidget>

namespace vorn {
namespace {

constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMinimised = 2;
constexpr int32_t kShowMaximised = 3;

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

void ApplyPlacement(QWidget& window, const WindowPlacement& placement) {
  const int width = placement.right - placement.left;
  const int height = placement.bottom - placement.top;
  if (width <= 0 || height <= 0) return;
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
