#include "well/WellChannels.h"

namespace vorn::well {

namespace {

constexpr double kHuge = 1.0e12;

constexpr std::array<ChannelInfo, kChannelCount> kChannels = {{
    {"DEPTH", Quantity::Length, 0.0, 2.0e4},
    {"HOLE_DEPTH", Quantity::Length, 0.0, 2.0e4},
    {"BLOCK_HEIGHT", Quantity::Length, -1.0e3, 1.0e3},
    {"ROP", Quantity::Speed, 0.0, 1.0},
    {"HOOKLOAD", Quantity::Force, 0.0, 2.0e7},
    {"RPM", Quantity::Rotation, 0.0, 1000.0},
    {"FLOW", Quantity::Flow, 0.0, 1.0},
    {"SPP", Quantity::Pressure, 0.0, 1.0e9},
    {"SPM1", Quantity::StrokeRate, 0.0, 1000.0},
    {"SPM2", Quantity::StrokeRate, 0.0, 1000.0},
    {"WOB", Quantity::Force, 0.0, 2.0e7},
    {"TORQ", Quantity::Torque, 0.0, 1.0e7},
    {"HOOKLOAD_MAX", Quantity::Force, 0.0, 2.0e7},
    {"WOB_MAX", Quantity::Force, 0.0, 2.0e7},
    {"TORQ_MAX", Quantity::Torque, 0.0, 1.0e7},
    {"CASING_PRESSURE", Quantity::Pressure, 0.0, 1.0e9},
    {"PIT_VOLUME", Quantity::Volume, 0.0, 1.0e5},
    {"PIT_CHANGE", Quantity::Volume, -1.0e5, 1.0e5},
    {"FLOW_OUT_PCT", Quantity::Percent, 0.0, 100.0},
    {"FLOW_OUT", Quantity::Flow, 0.0, 1.0},
    {"MUD_DENSITY_IN", Quantity::Density, 0.0, 5000.0},
    {"MUD_DENSITY_OUT", Quantity::Density, 0.0, 5000.0},
    {"MUD_TEMP_IN", Quantity::Temperature, -50.0, 400.0},
    {"MUD_TEMP_OUT", Quantity::Temperature, -50.0, 400.0},
    {"STROKES_TOTAL", Quantity::Strokes, 0.0, kHuge},
    {"LAG_STROKES", Quantity::Strokes, 0.0, kHuge},
    {"LAG_DEPTH", Quantity::Length, 0.0, 2.0e4},
    {"GAS", Quantity::Percent, 0.0, 100.0},
    {"ECD", Quantity::Density, 0.0, 5000.0},
    {"MSE", Quantity::Pressure, 0.0, kHuge},
    {"DXC", Quantity::None, 0.0, 10.0},
    {"TRIP_TANK", Quantity::Volume, 0.0, 1.0e4},
    {"BIT_TVD", Quantity::Length, -1.0e3, 2.0e4},
    {"HOLE_TVD", Quantity::Length, -1.0e3, 2.0e4},
    {"SURVEY_DEPTH", Quantity::Length, 0.0, 2.0e4},
    {"SURVEY_TVD", Quantity::Length, -1.0e3, 2.0e4},
    {"SURVEY_INC", Quantity::Angle, 0.0, 180.0},
    {"SURVEY_AZI", Quantity::Angle, 0.0, 360.0},
}};

}  // namespace

const ChannelInfo& Info(Channel channel) { return kChannels[Index(channel)]; }

}  // namespace vorn::well
