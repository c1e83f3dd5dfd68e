#pragma once

#include <QRect>

// The main window's sizes that follow the display's dots per inch, and the placing of the controls
// that grow with the window. Pure arithmetic, so the numbers can be checked without a screen.
namespace mainlayout {

// The integer part of v + 0.5.
[[nodiscard]] int Nearest(double v);

// Width of the channel and state grids: 1.75 inch, with the dpi entering twice (168 at 96 dpi, 263 at
// 120), as the window has always sized them.
[[nodiscard]] int GridWidth(int dpi);
// Width of the block slider: 0.26 inch, the dpi entering twice (25 at 96 dpi, 39 at 120).
[[nodiscard]] int SliderWidth(int dpi);
// The smallest width and height the window can be given: 300 pixels at 96 dpi.
[[nodiscard]] int MinimumSize(int dpi);
// A grid size given in pixels at 96 dpi, for the display's vertical dpi.
[[nodiscard]] int Scaled(int pixelsAt96, int dpiY);

// The top edges that the grown controls keep from the template, in pixels.
struct Tops {
  int tab = 0;
  int channelGrid = 0;
  int stateGrid = 0;
  int slider = 0;
  int outputGrid = 0;
  int witsInGrid = 0;
};

struct Placement {
  QRect tab;
  QRect channelGrid;
  QRect stateGrid;
  QRect slider;
  QRect outputGrid;
  QRect witsInGrid;
};

// What the channel and state grids need to show their columns whole, in pixels.
struct GridWidths {
  int channelGrid = 0;
  int stateGrid = 0;
};

// The tab control fills the client area but a 4-pixel margin; the output and WITS-input grids fill it
// but 8 pixels; the channel grid, the state grid and the slider stand side by side at the left, each
// grid GridWidth wide or as much wider as its columns need.
[[nodiscard]] Placement LayoutControls(const QRect& client, int dpi, const Tops& tops, const GridWidths& least = {});

}  // namespace mainlayout
