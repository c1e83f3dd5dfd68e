#include "ui/plots/PlotLayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

#include "support/DepthLimitedJson.h"

namespace {

constexpr unsigned kPalette[] = {0x1F5FBF, 0xC0392B, 0x2E8B57, 0x8E44AD, 0xD35400, 0x17A2B8};

PlotTrack Track(std::initializer_list<const char*> series, bool bands = false) {
  PlotTrack track;
  track.bands = bands;
  for (const char* name : series) {
    PlotCurve curve;
    curve.series = name;
    curve.rgb = CurveColour(track.curves.size());
    if (bands) {
      curve.autoScale = false;
      curve.max = 1.0;
    }
    track.curves.push_back(curve);
  }
  return track;
}

}  // namespace

unsigned CurveColour(size_t n) { return kPalette[n % std::size(kPalette)]; }

PlotLayout DefaultPlotLayout() {
  PlotLayout layout;
  layout.tracks = {Track({"DEPTH", "HOLE_DEPTH"}), Track({"HOOKLOAD", "WOB"}), Track({"FLOW", "SPP"}),
                   Track({"RPM", "TORQ"}),         Track({"SPM1", "SPM2"}),    Track({"SLIPS", "ON_BOTTOM"}, true)};
  return layout;
}

std::string PlotLayoutToJson(const PlotLayout& layout) {
  QJsonArray tracks;
  for (const PlotTrack& track : layout.tracks) {
    QJsonArray curves;
    for (const PlotCurve& curve : track.curves) {
      QJsonObject object{{"series", QString::fromStdString(curve.series)},
                         {"rgb", static_cast<int>(curve.rgb & 0xFFFFFF)},
                         {"auto", curve.autoScale}};
      if (!curve.autoScale) {
        object["min"] = curve.min;
        object["max"] = curve.max;
      }
      if (curve.ownScale) object["ownScale"] = true;
      curves.append(object);
    }
    tracks.append(QJsonObject{{"curves", curves}, {"bands", track.bands}});
  }
  const QJsonObject root{{"timeDown", layout.timeDown}, {"window", layout.windowSeconds}, {"tracks", tracks}};
  return QJsonDocument(root).toJson(QJsonDocument::Compact).toStdString();
}

bool PlotLayoutFromJson(const std::string& text, PlotLayout& layout) {
  // Qt's parser recurses up to 1024 levels; a layout is five deep, and outside JSON keeps one limit.
  if (vorn::JsonDepthExceededAt(text) != std::string::npos) return false;
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text));
  if (!document.isObject()) return false;
  const QJsonObject root = document.object();
  PlotLayout read;
  if (root["timeDown"].isBool()) read.timeDown = root["timeDown"].toBool();
  if (root["window"].isDouble()) {
    read.windowSeconds = std::clamp(root["window"].toInt(read.windowSeconds), PlotLayout::kMinWindow,
                                    PlotLayout::kMaxWindow);
  }
  if (!root["tracks"].isArray()) return false;
  for (const QJsonValue& t : root["tracks"].toArray()) {
    if (!t.isObject()) continue;
    PlotTrack track;
    track.bands = t["bands"].toBool(false);
    for (const QJsonValue& c : t["curves"].toArray()) {
      if (!c.isObject() || !c["series"].isString()) continue;
      PlotCurve curve;
      curve.series = c["series"].toString().toStdString();
      if (c["rgb"].isDouble()) curve.rgb = static_cast<unsigned>(c["rgb"].toInt()) & 0xFFFFFF;
      curve.autoScale = c["auto"].toBool(true);
      curve.ownScale = c["ownScale"].toBool(false);
      const double min = c["min"].toDouble(0.0);
      const double max = c["max"].toDouble(100.0);
      if (!curve.autoScale && std::isfinite(min) && std::isfinite(max) && min < max) {
        curve.min = min;
        curve.max = max;
      } else {
        curve.autoScale = true;
      }
      track.curves.push_back(curve);
    }
    read.tracks.push_back(track);
  }
  layout = read;
  return true;
}
