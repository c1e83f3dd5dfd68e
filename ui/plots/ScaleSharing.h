#pragma once

#include <cstddef>
#include <vector>

#include "ui/plots/PlotLayout.h"

// Which curves of a track are drawn on one value scale: a curve shares the scale of the first curve
// before it of the same known quantity when neither keeps a scale of its own and both scales are set
// alike (both automatic, or both fixed at the same ends). Band lanes never share.
// For each curve, the index of the curve whose scale it is drawn on (its own index when it leads).
[[nodiscard]] std::vector<size_t> ScaleLeaders(const PlotTrack& track);
