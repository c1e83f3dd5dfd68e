#include "well/WellUnits.h"

namespace vorn::well {

namespace {

constexpr double kFoot = 0.3048;
constexpr double kInch = 0.0254;
constexpr double kPoundForce = 4.4482216152605;
constexpr double kPound = 0.45359237;
constexpr double kUsGallon = 3.785411784e-3;
constexpr double kBarrel = 0.158987294928;
constexpr double kPsi = 6894.757293168;

// SI value of one unit: SI = value * scale (temperatures also carry an offset, handled apart).
double Scale(Quantity quantity, UnitSystem system) {
  const bool us = system == UnitSystem::Us;
  switch (quantity) {
    case Quantity::None: return 1.0;
    case Quantity::Length: return us ? kFoot : 1.0;
    case Quantity::Speed: return (us ? kFoot : 1.0) / 3600.0;
    case Quantity::Force: return us ? 1000.0 * kPoundForce : 1.0e4;
    case Quantity::Torque: return us ? 1000.0 * kPoundForce * kFoot : 1000.0;
    case Quantity::Pressure: return us ? kPsi : 1000.0;
    case Quantity::Flow: return (us ? kUsGallon : 1.0e-3) / 60.0;
    case Quantity::Density: return us ? kPound / kUsGallon : 1.0;
    case Quantity::Volume: return us ? kBarrel : 1.0;
    case Quantity::Temperature: return us ? 5.0 / 9.0 : 1.0;
    case Quantity::TempGradient: return us ? (5.0 / 9.0) / (100.0 * kFoot) : 1.0 / 100.0;
    case Quantity::Diameter: return kInch;
    case Quantity::Area: return kInch * kInch;
    case Quantity::LinearWeight: return us ? kPound / kFoot : 1.0;
    case Quantity::YieldStress: return us ? kPoundForce / (100.0 * kFoot * kFoot) : 1.0;
    case Quantity::Viscosity: return 1.0e-3;
    case Quantity::Percent: return 1.0;
    case Quantity::Rotation: return 1.0;
    case Quantity::StrokeRate: return 1.0;
    case Quantity::Strokes: return 1.0;
    case Quantity::Seconds: return 1.0;
    case Quantity::Angle: return 1.0;
  }
  return 1.0;
}

double Offset(Quantity quantity, UnitSystem system) {
  return quantity == Quantity::Temperature && system == UnitSystem::Us ? 32.0 : 0.0;
}

}  // namespace

double ToSi(Quantity quantity, UnitSystem system, double value) {
  return (value - Offset(quantity, system)) * Scale(quantity, system);
}

double FromSi(Quantity quantity, UnitSystem system, double value) {
  return value / Scale(quantity, system) + Offset(quantity, system);
}

std::string_view UnitName(Quantity quantity, UnitSystem system) {
  const bool us = system == UnitSystem::Us;
  switch (quantity) {
    case Quantity::None: return "";
    case Quantity::Length: return us ? "ft" : "m";
    case Quantity::Speed: return us ? "ft/h" : "m/h";
    case Quantity::Force: return us ? "klbf" : "kdaN";
    case Quantity::Torque: return us ? "kft.lbf" : "kN.m";
    case Quantity::Pressure: return us ? "psi" : "kPa";
    case Quantity::Flow: return us ? "gpm" : "L/min";
    case Quantity::Density: return us ? "ppg" : "kg/m3";
    case Quantity::Volume: return us ? "bbl" : "m3";
    case Quantity::Temperature: return us ? "degF" : "degC";
    case Quantity::TempGradient: return us ? "degF/100ft" : "degC/100m";
    case Quantity::Diameter: return "in";
    case Quantity::Area: return "in2";
    case Quantity::LinearWeight: return us ? "lb/ft" : "kg/m";
    case Quantity::YieldStress: return us ? "lbf/100ft2" : "Pa";
    case Quantity::Viscosity: return "cP";
    case Quantity::Percent: return "%";
    case Quantity::Rotation: return "rpm";
    case Quantity::StrokeRate: return "spm";
    case Quantity::Strokes: return "strokes";
    case Quantity::Seconds: return "s";
    case Quantity::Angle: return "deg";
  }
  return "";
}

}  // namespace vorn::well
