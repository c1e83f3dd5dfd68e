#include "well/WellFile.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <limits>
#include <set>

#include "support/DepthLimitedJson.h"

namespace vorn::well {

namespace {

constexpr double kMaxDepth = 15000.0;  // m
constexpr std::size_t kMaxFormations = 200;
constexpr std::size_t kMaxStations = 2000;
constexpr std::size_t kMaxNameLength = 64;

// The one place a well's text is parsed, so a depth-bounded parse can take its place.
bool ParseJson(rapidjson::Document& document, std::string_view text, std::string& error) {
  const vorn::JsonParseResult parsed = vorn::ParseJsonWithinDepth(document, text);
  if (parsed) return true;
  error = "the well file is not JSON: " + parsed.message + " (at byte " + std::to_string(parsed.offset) + ")";
  return false;
}

std::string Format(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Reads the members of one object into the well, in the well's units, failing on the first fault.
class Reader {
 public:
  Reader(const rapidjson::Value& object, std::string path, UnitSystem units, std::string& error)
      : m_object(object), m_path(std::move(path)), m_units(units), m_error(error) {}

  [[nodiscard]] bool ok() const { return m_error.empty(); }
  [[nodiscard]] std::string Path(std::string_view key) const {
    return m_path.empty() ? std::string(key) : m_path + "." + std::string(key);
  }
  bool Fail(std::string_view key, const std::string& what) {
    if (m_error.empty()) m_error = "\"" + Path(key) + "\" " + what;
    return false;
  }
  [[nodiscard]] const rapidjson::Value* Find(const char* key) const {
    const auto member = m_object.FindMember(key);
    return member == m_object.MemberEnd() ? nullptr : &member->value;
  }

  // Refuses members not in the list, which are most often misspelt ones.
  bool Only(std::initializer_list<const char*> keys) {
    for (auto member = m_object.MemberBegin(); member != m_object.MemberEnd(); ++member) {
      const std::string_view name(member->name.GetString(), member->name.GetStringLength());
      bool known = false;
      for (const char* key : keys) known = known || name == key;
      if (!known) return Fail(name, "is not a member of a well file");
    }
    return ok();
  }

  // A number given in the well's unit of `quantity`, kept when within [low, high] (in that unit).
  bool Number(const char* key, Quantity quantity, double& field, double low, double high) {
    if (!ok()) return false;
    const rapidjson::Value* value = Find(key);
    if (value == nullptr) return true;
    if (!value->IsNumber()) return Fail(key, "must be a number");
    const double given = value->GetDouble();
    if (!std::isfinite(given) || given < low || given > high) {
      const std::string_view unit = UnitName(quantity, m_units);
      return Fail(key, "must be from " + Format(low) + " to " + Format(high) + (unit.empty() ? "" : " ") +
                           std::string(unit));
    }
    field = ToSi(quantity, m_units, given);
    return true;
  }
  // The same, with the range given in SI and shown in the well's unit.
  bool NumberSi(const char* key, Quantity quantity, double& field, double lowSi, double highSi) {
    return Number(key, quantity, field, Round(FromSi(quantity, m_units, lowSi)),
                  Round(FromSi(quantity, m_units, highSi)));
  }
  bool Text(const char* key, std::string& field) {
    if (!ok()) return false;
    const rapidjson::Value* value = Find(key);
    if (value == nullptr) return true;
    if (!value->IsString()) return Fail(key, "must be a text");
    if (value->GetStringLength() == 0 || value->GetStringLength() > kMaxNameLength) {
      return Fail(key, "must hold 1 to " + std::to_string(kMaxNameLength) + " characters");
    }
    field.assign(value->GetString(), value->GetStringLength());
    return true;
  }
  // An object member handed to `read`; absent leaves the defaults.
  bool Object(const char* key, const std::function<void(Reader&)>& read) {
    if (!ok()) return false;
    const rapidjson::Value* value = Find(key);
    if (value == nullptr) return true;
    if (!value->IsObject()) return Fail(key, "must be an object");
    Reader inner(*value, Path(key), m_units, m_error);
    read(inner);
    return ok();
  }
  // An array of objects, each handed to `read` with its index.
  bool Objects(const char* key, std::size_t maxCount, const std::function<void(Reader&, std::size_t)>& read,
               const rapidjson::Value** array = nullptr) {
    if (!ok()) return false;
    const rapidjson::Value* value = Find(key);
    if (array != nullptr) *array = value;
    if (value == nullptr) return true;
    if (!value->IsArray()) return Fail(key, "must be a list");
    if (value->Size() > maxCount) return Fail(key, "must hold at most " + std::to_string(maxCount) + " entries");
    for (rapidjson::SizeType i = 0; i < value->Size() && ok(); ++i) {
      const std::string path = std::string(key) + "[" + std::to_string(i) + "]";
      if (!(*value)[i].IsObject()) return Fail(path, "must be an object");
      Reader inner((*value)[i], Path(path), m_units, m_error);
      read(inner, i);
    }
    return ok();
  }
  [[nodiscard]] UnitSystem Units() const { return m_units; }
  [[nodiscard]] const rapidjson::Value& Value() const { return m_object; }

 private:
  static double Round(double value) { return std::round(value * 1000.0) / 1000.0; }

  const rapidjson::Value& m_object;
  std::string m_path;
  UnitSystem m_units;
  std::string& m_error;
};

constexpr double kInf = std::numeric_limits<double>::max();

void ReadFormation(Reader& r, Formation& f) {
  r.Only({"name", "top", "drillability", "compaction", "overbalanceExponent", "wobExponent", "rpmExponent",
          "wearExponent", "thresholdWob", "abrasiveness", "porePressure", "fractureGradient", "backgroundGas",
          "connectionGas", "tripGas"});
  r.Text("name", f.name);
  r.NumberSi("top", Quantity::Length, f.top, 0.0, kMaxDepth);
  r.Number("drillability", Quantity::None, f.drillability, -5.0, 10.0);
  r.Number("compaction", Quantity::None, f.compaction, 0.0, 0.001);
  r.Number("overbalanceExponent", Quantity::None, f.overbalanceExponent, 0.0, 0.001);
  r.Number("wobExponent", Quantity::None, f.wobExponent, 0.0, 3.0);
  r.Number("rpmExponent", Quantity::None, f.rpmExponent, 0.0, 2.0);
  r.Number("wearExponent", Quantity::None, f.wearExponent, 0.0, 3.0);
  r.Number("thresholdWob", Quantity::None, f.thresholdWob, 0.0, 3.5);
  r.Number("abrasiveness", Quantity::None, f.abrasiveness, 0.0, 100.0);
  r.NumberSi("porePressure", Quantity::Density, f.poreDensity, 500.0, 3000.0);
  r.NumberSi("fractureGradient", Quantity::Density, f.fractureDensity, 500.0, 3500.0);
  r.Number("backgroundGas", Quantity::Percent, f.backgroundGas, 0.0, 100.0);
  r.Number("connectionGas", Quantity::Percent, f.connectionGas, 0.0, 100.0);
  r.Number("tripGas", Quantity::Percent, f.tripGas, 0.0, 100.0);
  if (r.ok() && f.fractureDensity <= f.poreDensity) r.Fail("fractureGradient", "must be above the pore pressure");
}

void ReadBit(Reader& r, Bit& bit) {
  r.Only({"size", "tfa", "nozzles", "wear", "wearRate", "torqueFactor"});
  r.Number("size", Quantity::Diameter, bit.size, 2.0, 40.0);
  r.Number("tfa", Quantity::Area, bit.flowArea, 0.01, 10.0);
  r.Number("wear", Quantity::None, bit.wear, 0.0, 1.0);
  r.Number("wearRate", Quantity::None, bit.wearRate, 0.0, 1.0);
  r.Number("torqueFactor", Quantity::None, bit.torqueFactor, 0.0, 2.0);
  if (!r.ok()) return;
  const rapidjson::Value* nozzles = r.Find("nozzles");
  if (nozzles == nullptr) return;
  if (r.Find("tfa") != nullptr) {
    r.Fail("nozzles", "and \"" + r.Path("tfa") + "\" cannot both be given");
    return;
  }
  if (!nozzles->IsArray() || nozzles->Empty() || nozzles->Size() > 16) {
    r.Fail("nozzles", "must be a list of 1 to 16 nozzle sizes in 32nds of an inch");
    return;
  }
  double area = 0.0;
  for (const auto& nozzle : nozzles->GetArray()) {
    if (!nozzle.IsNumber() || !(nozzle.GetDouble() >= 6.0 && nozzle.GetDouble() <= 32.0)) {
      r.Fail("nozzles", "must hold nozzle sizes from 6 to 32 (32nds of an inch)");
      return;
    }
    const double diameter = nozzle.GetDouble() / 32.0 * 0.0254;
    area += M_PI / 4.0 * diameter * diameter;
  }
  bit.flowArea = area;
}

void ReadString(Reader& r, DrillString& s) {
  r.Only({"pipeOd", "pipeId", "pipeWeight", "bhaLength", "bhaOd", "bhaId", "bhaWeight", "motorRpm",
          "slideWobTransfer", "surveyOffset", "casedFriction", "openHoleFriction", "sideForceFactor"});
  r.Number("pipeOd", Quantity::Diameter, s.pipeOd, 1.0, 10.0);
  r.Number("pipeId", Quantity::Diameter, s.pipeId, 0.5, 9.5);
  r.NumberSi("pipeWeight", Quantity::LinearWeight, s.pipeWeight, 1.0, 500.0);
  r.NumberSi("bhaLength", Quantity::Length, s.bhaLength, 0.0, 3000.0);
  r.Number("bhaOd", Quantity::Diameter, s.bhaOd, 1.0, 20.0);
  r.Number("bhaId", Quantity::Diameter, s.bhaId, 0.5, 19.0);
  r.NumberSi("bhaWeight", Quantity::LinearWeight, s.bhaWeight, 1.0, 2000.0);
  r.Number("motorRpm", Quantity::Rotation, s.motorRpm, 0.0, 500.0);
  r.Number("slideWobTransfer", Quantity::None, s.slideWobTransfer, 0.0, 1.0);
  r.NumberSi("surveyOffset", Quantity::Length, s.surveyOffset, 0.0, 200.0);
  r.Number("casedFriction", Quantity::None, s.casedFriction, 0.0, 1.0);
  r.Number("openHoleFriction", Quantity::None, s.openHoleFriction, 0.0, 1.0);
  r.Number("sideForceFactor", Quantity::None, s.sideForceFactor, 0.0, 2.0);
  if (r.ok() && s.pipeId >= s.pipeOd) r.Fail("pipeId", "must be less than the pipe's OD");
  if (r.ok() && s.bhaId >= s.bhaOd) r.Fail("bhaId", "must be less than the BHA's OD");
}

void ReadHole(Reader& r, Hole& h) {
  r.Only({"shoeDepth", "casingId", "openHoleDiameter"});
  r.NumberSi("shoeDepth", Quantity::Length, h.shoeDepth, 0.0, kMaxDepth);
  r.Number("casingId", Quantity::Diameter, h.casingId, 2.0, 60.0);
  r.Number("openHoleDiameter", Quantity::Diameter, h.openHoleDiameter, 2.0, 60.0);
}

void ReadMud(Reader& r, Mud& m) {
  r.Only({"density", "pv", "yp", "temperatureIn"});
  r.NumberSi("density", Quantity::Density, m.density, 800.0, 2600.0);
  r.Number("pv", Quantity::Viscosity, m.plasticViscosity, 1.0, 200.0);
  r.NumberSi("yp", Quantity::YieldStress, m.yieldPoint, 0.0, 100.0);
  r.NumberSi("temperatureIn", Quantity::Temperature, m.temperatureIn, -20.0, 100.0);
}

void ReadPumps(Reader& r, Pumps& p) {
  r.Only({"count", "liner", "stroke", "efficiency", "rampSeconds"});
  double count = p.count;
  r.Number("count", Quantity::None, count, 1.0, 2.0);
  if (r.ok() && count != std::floor(count)) r.Fail("count", "must be 1 or 2");
  p.count = static_cast<int>(count);
  r.Number("liner", Quantity::Diameter, p.liner, 3.0, 10.0);
  r.Number("stroke", Quantity::Diameter, p.stroke, 4.0, 20.0);
  r.Number("efficiency", Quantity::None, p.efficiency, 0.5, 1.0);
  r.Number("rampSeconds", Quantity::Seconds, p.rampSeconds, 0.0, 300.0);
}

void ReadRig(Reader& r, Rig& rig) {
  r.Only({"blockWeight", "standLength", "hookloadLimit", "torqueLimit", "surfaceLineLength", "surfaceLineId"});
  r.NumberSi("blockWeight", Quantity::Force, rig.blockWeight, 0.0, 2.0e6);
  r.NumberSi("standLength", Quantity::Length, rig.standLength, 5.0, 50.0);
  r.NumberSi("hookloadLimit", Quantity::Force, rig.hookloadLimit, 1.0e5, 2.0e7);
  r.NumberSi("torqueLimit", Quantity::Torque, rig.torqueLimit, 1.0e3, 1.0e6);
  r.NumberSi("surfaceLineLength", Quantity::Length, rig.surfaceLineLength, 0.0, 1000.0);
  r.Number("surfaceLineId", Quantity::Diameter, rig.surfaceLineId, 1.0, 12.0);
}

void ReadSurface(Reader& r, Surface& s) {
  r.Only({"activePit", "tripTank", "flowLineSeconds", "flowOutFullScale"});
  r.NumberSi("activePit", Quantity::Volume, s.activePit, 1.0, 1.0e4);
  r.NumberSi("tripTank", Quantity::Volume, s.tripTank, 0.1, 1.0e3);
  r.Number("flowLineSeconds", Quantity::Seconds, s.flowLineSeconds, 0.0, 120.0);
  r.NumberSi("flowOutFullScale", Quantity::Flow, s.flowOutFullScale, 1.0e-3, 1.0);
}

void ReadGeothermal(Reader& r, Geothermal& g) {
  r.Only({"surfaceTemperature", "gradient", "mudHeating", "returnsTimeConstant"});
  r.NumberSi("surfaceTemperature", Quantity::Temperature, g.surfaceTemperature, -30.0, 60.0);
  r.NumberSi("gradient", Quantity::TempGradient, g.gradient, 0.0, 0.1);
  r.Number("mudHeating", Quantity::None, g.mudHeating, 0.0, 1.0);
  r.Number("returnsTimeConstant", Quantity::Seconds, g.returnsTimeConstant, 10.0, 1.0e5);
}

void ReadStation(Reader& r, PlanStation& s) {
  r.Only({"depth", "inclination", "azimuth"});
  r.NumberSi("depth", Quantity::Length, s.depth, 0.0, kMaxDepth);
  r.Number("inclination", Quantity::Angle, s.inclination, 0.0, 180.0);
  r.Number("azimuth", Quantity::Angle, s.azimuth, 0.0, 360.0);
}

void ReadSensorNoise(Reader& r, Sensors& sensors) {
  if (!r.ok()) return;
  for (auto member = r.Value().MemberBegin(); member != r.Value().MemberEnd() && r.ok(); ++member) {
    const std::string name(member->name.GetString(), member->name.GetStringLength());
    std::size_t found = kChannelCount;
    for (std::size_t i = 0; i < kChannelCount; ++i) {
      if (Info(static_cast<Channel>(i)).mnemonic == name) found = i;
    }
    if (found == kChannelCount) {
      r.Fail(name, "is not a channel with a sensor");
      return;
    }
    const ChannelInfo& info = Info(static_cast<Channel>(found));
    SensorSpec& spec = sensors.channel[found];
    r.Object(name.c_str(), [&](Reader& c) {
      c.Only({"std", "tau", "resolution", "spikesPerHour"});
      const double span = info.maxSi - info.minSi;
      c.NumberSi("std", info.quantity, spec.std, 0.0, span);
      c.Number("tau", Quantity::Seconds, spec.tau, 0.01, 3600.0);
      c.NumberSi("resolution", info.quantity, spec.resolution, 0.0, span);
      c.Number("spikesPerHour", Quantity::None, spec.spikesPerHour, 0.0, 3600.0);
    });
  }
}

void ReadSensorEffects(Reader& r, Sensors& sensors) {
  r.Only({"sppRipple", "pitSlosh", "surveyInclination", "surveyAzimuth"});
  double ripple = sensors.sppRipple * 100.0;
  r.Number("sppRipple", Quantity::Percent, ripple, 0.0, 20.0);
  sensors.sppRipple = ripple / 100.0;
  r.NumberSi("pitSlosh", Quantity::Volume, sensors.pitSlosh, 0.0, 100.0);
  r.Number("surveyInclination", Quantity::Angle, sensors.surveyInclinationStd, 0.0, 10.0);
  r.Number("surveyAzimuth", Quantity::Angle, sensors.surveyAzimuthStd, 0.0, 30.0);
}

// The checks that span members.
void CheckWhole(Reader& r, const Well& well) {
  if (!r.ok()) return;
  const double hole = well.OpenHoleDiameter();
  if (well.string.pipeOd >= hole) r.Fail("string.pipeOd", "must be less than the hole's diameter");
  else if (well.string.bhaOd >= hole) r.Fail("string.bhaOd", "must be less than the hole's diameter");
  else if (well.string.pipeOd >= well.hole.casingId) r.Fail("string.pipeOd", "must be less than the casing's ID");
  else if (well.string.bhaOd >= well.hole.casingId) r.Fail("string.bhaOd", "must be less than the casing's ID");
  else if (well.hole.openHoleDiameter > 0.0 && well.hole.openHoleDiameter < well.bit.size) {
    r.Fail("hole.openHoleDiameter", "must be at least the bit's size");
  }
}

}  // namespace

WellRead ReadWell(std::string_view text) {
  WellRead read;
  if (text.size() > kMaxWellFileBytes) {
    read.error = "the well file is larger than " + std::to_string(kMaxWellFileBytes / 1024) + " KiB";
    return read;
  }
  rapidjson::Document document;
  if (!ParseJson(document, text, read.error)) return read;
  if (!document.IsObject()) {
    read.error = "the well file must hold a JSON object";
    return read;
  }
  Well well;
  std::string& error = read.error;
  {
    const auto units = document.FindMember("units");
    if (units != document.MemberEnd()) {
      const std::string_view name = units->value.IsString() ? units->value.GetString() : "";
      if (name == "us") well.units = UnitSystem::Us;
      else if (name != "metric") error = "\"units\" must be \"metric\" or \"us\"";
    }
    const auto sensors = document.FindMember("sensors");
    if (error.empty() && sensors != document.MemberEnd()) {
      const std::string_view name = sensors->value.IsString() ? sensors->value.GetString() : "";
      if (name == "none") well.sensors.enabled = false;
      else if (name != "realistic") error = "\"sensors\" must be \"realistic\" or \"none\"";
    }
    const auto seed = document.FindMember("seed");
    if (error.empty() && seed != document.MemberEnd()) {
      if (seed->value.IsUint64()) well.seed = seed->value.GetUint64();
      else error = "\"seed\" must be a whole number from 0";
    }
  }
  if (!error.empty()) return read;

  Reader r(document, "", well.units, error);
  r.Only({"name", "units", "seed", "sensors", "startDepth", "formations", "bit", "string", "hole", "mud", "pumps",
          "rig", "surface", "geothermal", "plan", "sensorNoise", "sensorEffects"});
  r.Text("name", well.name);
  r.NumberSi("startDepth", Quantity::Length, well.startDepth, 0.0, kMaxDepth);
  const rapidjson::Value* formations = nullptr;
  std::vector<Formation> readFormations;
  r.Objects("formations", kMaxFormations, [&](Reader& f, std::size_t i) {
    readFormations.emplace_back();
    for (const char* key : {"top", "name"}) {
      if (f.Find(key) == nullptr) f.Fail(key, "must be given");
    }
    ReadFormation(f, readFormations.back());
    if (f.ok() && i > 0 && readFormations[i].top <= readFormations[i - 1].top) {
      f.Fail("top", "must be deeper than the top of the formation before it");
    }
  }, &formations);
  if (r.ok() && formations != nullptr) {
    if (readFormations.empty()) r.Fail("formations", "must hold at least one formation");
    else well.formations = std::move(readFormations);
  }
  r.Object("bit", [&](Reader& o) { ReadBit(o, well.bit); });
  r.Object("string", [&](Reader& o) { ReadString(o, well.string); });
  r.Object("hole", [&](Reader& o) { ReadHole(o, well.hole); });
  r.Object("mud", [&](Reader& o) { ReadMud(o, well.mud); });
  r.Object("pumps", [&](Reader& o) { ReadPumps(o, well.pumps); });
  r.Object("rig", [&](Reader& o) { ReadRig(o, well.rig); });
  r.Object("surface", [&](Reader& o) { ReadSurface(o, well.surface); });
  r.Object("geothermal", [&](Reader& o) { ReadGeothermal(o, well.geothermal); });
  r.Objects("plan", kMaxStations, [&](Reader& s, std::size_t i) {
    well.plan.emplace_back();
    ReadStation(s, well.plan.back());
    if (s.ok() && i > 0 && well.plan[i].depth <= well.plan[i - 1].depth) {
      s.Fail("depth", "must be deeper than the station before it");
    }
  });
  r.Object("sensorNoise", [&](Reader& o) { ReadSensorNoise(o, well.sensors); });
  r.Object("sensorEffects", [&](Reader& o) { ReadSensorEffects(o, well.sensors); });
  CheckWhole(r, well);
  if (r.ok()) read.well = std::move(well);
  return read;
}

}  // namespace vorn::well
