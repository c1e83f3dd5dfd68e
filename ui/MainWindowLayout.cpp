#include "ui/MainWindowLayout.h"

#include <algorithm>

namespace mainlayout {
namespace {

// A rectangle from its four edges, the right and bottom edges lying just outside it.
QRect FromEdges(int left, int top, int right, int bottom) { return {left, top, right - left, bottom - top}; }

}  // namespace

int Nearest(double v) { return static_cast<int>(v + 0.5); }

int GridWidth(int dpi) { return Nearest(Nearest(1.75 * dpi) * dpi / 96.0); }

int SliderWidth(int dpi) { return Nearest(Nearest(0.26 * dpi) * dpi / 96.0); }

int MinimumSize(int dpi) { return Nearest(300.0 * dpi / 96.0); }

int Scaled(int pixelsAt96, int dpiY) { return static_cast<int>(pixelsAt96 * dpiY / 96.0 + 0.5); }

Placement LayoutControls(const QRect& client, int dpi, const Tops& tops, const GridWidths& least) {
  const int left = client.left();
  const int right = client.left() + client.width();
  const int bottom = client.top() + client.height();
  const int channelWidth = std::max(GridWidth(dpi), least.channelGrid);
  const int stateWidth = std::max(GridWidth(dpi), least.stateGrid);

  Placement placed;
  placed.tab = FromEdges(left + 4, tops.tab, right - 4, bottom - 4);
  const int channelLeft = left + 8;
  placed.channelGrid = FromEdges(channelLeft, tops.channelGrid, channelLeft + channelWidth, bottom - 8);
  const int stateLeft = channelLeft + channelWidth + 4;
  placed.stateGrid = FromEdges(stateLeft, tops.stateGrid, stateLeft + stateWidth, bottom - 8);
  const int sliderLeft = stateLeft + stateWidth + 4;
  placed.slider = FromEdges(sliderLeft, tops.slider, sliderLeft + SliderWidth(dpi), bottom - 8);
  placed.outputGrid = FromEdges(left + 8, tops.outputGrid, right - 8, bottom - 8);
  placed.witsInGrid = FromEdges(left + 8, tops.witsInGrid, right - 8, bottom - 8);
  return placed;
}

}  // namespace mainlayout
