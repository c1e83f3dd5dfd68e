#pragma once

#include <vector>

// Which of the marks' names to show when each takes `extent` pixels along the time axis, ending at
// its mark's pixel, so that no two overlap: first the marks that come first (`first`, the modes),
// newest first, each that keeps clear of those kept; then the others the same way.
// `pixels` are the marks' places on the time axis, oldest first (either way along the axis).
[[nodiscard]] std::vector<bool> MarkNamesShown(const std::vector<double>& pixels, const std::vector<bool>& first,
                                               double extent);
