// The Plots tab's layout comes from the profile, a file the user may edit: whatever it holds, a layout
// read from it is within range and reads back as it is written.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/plots/PlotLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  PlotLayout layout = DefaultPlotLayout();
  if (!PlotLayoutFromJson(text, layout)) {
    if (!(layout == DefaultPlotLayout())) std::abort();  // a text that is no layout leaves it
    return 0;
  }
  if (layout.windowSeconds < PlotLayout::kMinWindow || layout.windowSeconds > PlotLayout::kMaxWindow) std::abort();
  for (const PlotTrack& track : layout.tracks) {
    for (const PlotCurve& curve : track.curves) {
      if (curve.rgb > 0xFFFFFF) std::abort();
      if (!curve.autoScale && !(std::isfinite(curve.min) && std::isfinite(curve.max) && curve.min < curve.max)) {
        std::abort();
      }
    }
  }
  PlotLayout again;
  if (!PlotLayoutFromJson(PlotLayoutToJson(layout), again) || !(again == layout)) std::abort();
  return 0;
}
