#pragma once

#include <string>
#include <vector>

// What the Plots tab shows, as the operator arranged it: kept in the profile as compact JSON text.
struct PlotCurve {
  std::string series;         // a history series name ("DEPTH", "Item DEPTH", "WITS 0108")
  unsigned rgb = 0x0000FF;    // 0xRRGGBB
  bool autoScale = true;      // the scale follows what is visible; else fixed at min..max
  double min = 0.0;
  double max = 100.0;
  // On a scale of its own even beside a curve of its quantity, which it shares one with otherwise.
  bool ownScale = false;

  bool operator==(const PlotCurve&) const = default;
};

struct PlotTrack {
  std::vector<PlotCurve> curves;
  bool bands = false;  // on/off curves drawn as filled bands, one lane each

  bool operator==(const PlotTrack&) const = default;
};

struct PlotLayout {
  std::vector<PlotTrack> tracks;
  bool timeDown = true;        // time runs down the tracks (newest at the bottom), else across
  int windowSeconds = 3600;    // the span shown, 60 to 86400

  bool operator==(const PlotLayout&) const = default;

  static constexpr int kMinWindow = 60;
  static constexpr int kMaxWindow = 86400;
};

// Bit and hole depth; hookload and weight on bit; flow and standpipe pressure; rotary speed and
// torque; pump strokes 1 and 2; slips and on-bottom as bands. Time down, one hour.
[[nodiscard]] PlotLayout DefaultPlotLayout();
// A colour for the n-th curve of a track that has no colour chosen yet.
[[nodiscard]] unsigned CurveColour(size_t n);

[[nodiscard]] std::string PlotLayoutToJson(const PlotLayout& layout);
// False (and the layout untouched) when the text is not a layout (or nested deeper than outside JSON
// may be); members that are missing or of
// another type keep their defaults, values out of range are brought into it.
bool PlotLayoutFromJson(const std::string& text, PlotLayout& layout);
