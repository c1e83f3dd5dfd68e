#pragma once

#include <string_view>

// A well speaks one system of units at its edges (its file, its channels); the model computes in SI.
namespace vorn::well {

enum class UnitSystem { Metric, Us };

// What a number measures. Diameters are inches and viscosities centipoise in both systems, as rigs
// quote them.
enum class Quantity {
  None,          // a plain number, a fraction or a count
  Length,        // m | ft
  Speed,         // m/h | ft/h (rate of penetration, pipe speed)
  Force,         // kdaN | klbf
  Torque,        // kN.m | kft.lbf
  Pressure,      // kPa | psi
  Flow,          // L/min | gpm
  Density,       // kg/m3 | ppg
  Volume,        // m3 | bbl
  Temperature,   // degC | degF
  TempGradient,  // degC/100m | degF/100ft
  Diameter,      // in
  Area,          // in2 (nozzle flow area)
  LinearWeight,  // kg/m | lb/ft
  YieldStress,   // Pa | lbf/100ft2
  Viscosity,     // cP
  Percent,       // %
  Rotation,      // rpm
  StrokeRate,    // spm
  Strokes,       // strokes
  Seconds,       // s
  Angle,         // deg
};

// The SI value of a number given in the system's unit of the quantity, and back.
[[nodiscard]] double ToSi(Quantity quantity, UnitSystem system, double value);
[[nodiscard]] double FromSi(Quantity quantity, UnitSystem system, double value);
// The unit's name as channels and documents show it ("kdaN", "ppg"); empty for None.
[[nodiscard]] std::string_view UnitName(Quantity quantity, UnitSystem system);

}  // namespace vorn::well
