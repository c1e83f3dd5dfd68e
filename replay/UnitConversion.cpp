#include "replay/UnitConversion.h"

#include <array>
#include <string>

#include "replay/FieldText.h"

namespace vorn::replay {

namespace {

enum class Kind { Length, Speed, Force, Torque, Pressure, Flow, Volume, Density, Temperature, Rate };

struct Unit {
  const char* name;
  Kind kind;
  double factor;  // base units per unit
  double offset = 0.0;
};

// Base units: m, m/h, kN, kN.m, kPa, L/min, m3, kg/m3, degC, per minute.
constexpr std::array kUnits = {
    Unit{"M", Kind::Length, 1.0},          Unit{"FT", Kind::Length, 0.3048},      Unit{"F", Kind::Length, 0.3048},
    Unit{"FEET", Kind::Length, 0.3048},    Unit{"METERS", Kind::Length, 1.0},     Unit{"METRES", Kind::Length, 1.0},
    Unit{"M/HR", Kind::Speed, 1.0},        Unit{"M/H", Kind::Speed, 1.0},         Unit{"FT/HR", Kind::Speed, 0.3048},
    Unit{"F/HR", Kind::Speed, 0.3048},     Unit{"FT/H", Kind::Speed, 0.3048},     Unit{"FPH", Kind::Speed, 0.3048},
    Unit{"KN", Kind::Force, 1.0},          Unit{"KDN", Kind::Force, 10.0},        Unit{"KDAN", Kind::Force, 10.0},
    Unit{"KLB", Kind::Force, 4.4482216},   Unit{"KLBS", Kind::Force, 4.4482216},  Unit{"KLBF", Kind::Force, 4.4482216},
    Unit{"T", Kind::Force, 9.80665},       Unit{"TON", Kind::Force, 9.80665},     Unit{"TONNE", Kind::Force, 9.80665},
    Unit{"LBF", Kind::Force, 0.0044482216}, Unit{"N", Kind::Force, 0.001},        Unit{"DAN", Kind::Force, 0.01},
    Unit{"KNM", Kind::Torque, 1.0},        Unit{"KN.M", Kind::Torque, 1.0},       Unit{"N.M", Kind::Torque, 0.001},
    Unit{"NM", Kind::Torque, 0.001},       Unit{"KFLB", Kind::Torque, 1.3558179}, Unit{"KFT.LBF", Kind::Torque, 1.3558179},
    Unit{"KFTLB", Kind::Torque, 1.3558179}, Unit{"KFT.LB", Kind::Torque, 1.3558179}, Unit{"FT.LBF", Kind::Torque, 0.0013558179},
    Unit{"FTLB", Kind::Torque, 0.0013558179},
    Unit{"KPA", Kind::Pressure, 1.0},      Unit{"PA", Kind::Pressure, 0.001},     Unit{"MPA", Kind::Pressure, 1000.0},
    Unit{"BAR", Kind::Pressure, 100.0},    Unit{"PSI", Kind::Pressure, 6.8947573}, Unit{"PSIG", Kind::Pressure, 6.8947573},
    Unit{"L/M", Kind::Flow, 1.0},          Unit{"L/MIN", Kind::Flow, 1.0},        Unit{"LPM", Kind::Flow, 1.0},
    Unit{"GPM", Kind::Flow, 3.7854118},    Unit{"GAL/MIN", Kind::Flow, 3.7854118}, Unit{"M3/MIN", Kind::Flow, 1000.0},
    Unit{"M3/S", Kind::Flow, 60000.0},     Unit{"BBL/MIN", Kind::Flow, 158.98729}, Unit{"BPM", Kind::Flow, 158.98729},
    Unit{"M3", Kind::Volume, 1.0},         Unit{"BBL", Kind::Volume, 0.15898729}, Unit{"L", Kind::Volume, 0.001},
    Unit{"GAL", Kind::Volume, 0.0037854118},
    Unit{"KGM3", Kind::Density, 1.0},      Unit{"KG/M3", Kind::Density, 1.0},     Unit{"G/CC", Kind::Density, 1000.0},
    Unit{"G/CM3", Kind::Density, 1000.0},  Unit{"SG", Kind::Density, 1000.0},     Unit{"PPG", Kind::Density, 119.82643},
    Unit{"LB/GAL", Kind::Density, 119.82643},
    Unit{"DEGC", Kind::Temperature, 1.0},  Unit{"C", Kind::Temperature, 1.0},     Unit{"DEGF", Kind::Temperature, 5.0 / 9.0, -32.0 * 5.0 / 9.0},
    Unit{"SPM", Kind::Rate, 1.0},          Unit{"RPM", Kind::Rate, 1.0},          Unit{"1/MIN", Kind::Rate, 1.0},
};

std::optional<Unit> Find(std::string_view text) {
  std::string name = Upper(Trim(text));
  std::erase(name, ' ');
  if (name.starts_with("\xC2\xB0")) name = "DEG" + name.substr(2);  // a degree sign
  for (const Unit& unit : kUnits) {
    if (name == unit.name) return unit;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> ConvertUnit(double value, std::string_view from, std::string_view to) {
  const auto source = Find(from);
  const auto target = Find(to);
  if (!source || !target || source->kind != target->kind) return std::nullopt;
  const double base = value * source->factor + source->offset;
  return (base - target->offset) / target->factor;
}

bool IsKnownUnit(std::string_view unit) { return Find(unit).has_value(); }

}  // namespace vorn::replay
