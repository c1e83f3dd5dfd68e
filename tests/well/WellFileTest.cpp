#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "support/TextFile.h"
#include "well/WellFile.h"

namespace {

using namespace vorn::well;

std::string ErrorOf(const std::string& text) {
  const WellRead read = ReadWell(text);
  EXPECT_FALSE(read.ok()) << text;
  return read.error;
}

std::string Example(const char* name) {
  return vorn::ReadTextFile(std::string(VORN_SOURCE_DIR) + "/examples/wells/" + name);
}

TEST(ReadWell, AnEmptyObjectIsAWellOfDefaults) {
  const WellRead read = ReadWell("{}");
  ASSERT_TRUE(read.ok()) << read.error;
  const Well defaults;
  EXPECT_EQ(read.well->name, defaults.name);
  EXPECT_EQ(read.well->units, UnitSystem::Metric);
  EXPECT_TRUE(read.well->sensors.enabled);
  ASSERT_EQ(read.well->formations.size(), 1u);
  EXPECT_DOUBLE_EQ(read.well->startDepth, defaults.startDepth);
  EXPECT_DOUBLE_EQ(read.well->bit.size, defaults.bit.size);
}

TEST(ReadWell, NumbersAreInTheWellsUnits) {
  const WellRead us = ReadWell(R"({"units": "us", "startDepth": 10000, "mud": {"density": 10, "temperatureIn": 212},
      "rig": {"blockWeight": 100}, "bit": {"size": 12.25}, "surface": {"activePit": 100},
      "sensors": "none", "seed": 99,
      "formations": [{"name": "A", "top": 0}, {"name": "B", "top": 5000, "porePressure": 9}]})");
  ASSERT_TRUE(us.ok()) << us.error;
  EXPECT_NEAR(us.well->startDepth, 3048.0, 1e-9);
  EXPECT_NEAR(us.well->mud.density, 1198.26, 0.01);
  EXPECT_NEAR(us.well->mud.temperatureIn, 100.0, 1e-9);
  EXPECT_NEAR(us.well->rig.blockWeight, 444822.16, 0.01);
  EXPECT_NEAR(us.well->bit.size, 0.31115, 1e-9);
  EXPECT_NEAR(us.well->surface.activePit, 15.8987, 1e-4);
  EXPECT_NEAR(us.well->formations[1].top, 1524.0, 1e-9);
  EXPECT_NEAR(us.well->formations[1].poreDensity, 1078.44, 0.01);
  EXPECT_FALSE(us.well->sensors.enabled);
  EXPECT_EQ(us.well->seed, 99u);

  const WellRead metric = ReadWell(R"({"rig": {"blockWeight": 15, "torqueLimit": 40}, "pumps": {"rampSeconds": 0},
      "sensorNoise": {"HOOKLOAD": {"std": 0.5, "tau": 3}}, "bit": {"nozzles": [16, 16, 16]}})");
  ASSERT_TRUE(metric.ok()) << metric.error;
  EXPECT_DOUBLE_EQ(metric.well->rig.blockWeight, 150000.0);
  EXPECT_DOUBLE_EQ(metric.well->rig.torqueLimit, 40000.0);
  EXPECT_DOUBLE_EQ(metric.well->sensors.channel[Index(Channel::Hookload)].std, 5000.0);
  EXPECT_DOUBLE_EQ(metric.well->sensors.channel[Index(Channel::Hookload)].tau, 3.0);
  EXPECT_NEAR(metric.well->bit.flowArea, 3 * M_PI / 4 * std::pow(0.5 * 0.0254, 2), 1e-12);
}

TEST(ReadWell, BadInputIsRefusedNamingTheMember) {
  EXPECT_NE(ErrorOf("{\"name\": ").find("not JSON"), std::string::npos);
  EXPECT_NE(ErrorOf("[1, 2]").find("object"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"units": "imperial"})").find("\"units\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"sensors": true})").find("\"sensors\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"seed": -1})").find("\"seed\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"bit": {"size": "big"}})").find("\"bit.size\" must be a number"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"bit": {"size": -8.5}})").find("\"bit.size\" must be from"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"bit": {"tfa": 0.6, "nozzles": [12]}})").find("\"bit.nozzles\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"mud": {"density": 5000}})").find("\"mud.density\" must be from 800 to 2600 kg/m3"),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"units": "us", "mud": {"density": 30}})").find("ppg"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"formations": [{"name": "A", "top": 100}, {"name": "B", "top": 50}]})")
                .find("\"formations[1].top\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"formations": [{"top": 0}]})").find("\"formations[0].name\" must be given"),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"formations": []})").find("\"formations\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"formations": [{"name": "A", "top": 0, "porePressure": 1500, "fractureGradient": 1400}]})")
                .find("\"formations[0].fractureGradient\""),
            std::string::npos);
  EXPECT_NE(ErrorOf(R"({"string": {"pipeOd": 5, "pipeId": 5.5}})").find("\"string.pipeId\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"string": {"bhaOd": 9}})").find("\"string.bhaOd\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"mud": {"densty": 1200}})").find("\"mud.densty\" is not a member"), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"plan": [{"depth": 500}, {"depth": 400}]})").find("\"plan[1].depth\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"sensorNoise": {"NOPE": {}}})").find("\"sensorNoise.NOPE\""), std::string::npos);
  EXPECT_NE(ErrorOf(R"({"pumps": {"count": 1.5}})").find("\"pumps.count\""), std::string::npos);
  EXPECT_NE(ErrorOf(std::string(kMaxWellFileBytes + 1, ' ')).find("larger"), std::string::npos);
}

TEST(ReadWell, TheShippedWellsRead) {
  for (const char* name : {"land-metric.json", "offshore-us.json"}) {
    const std::string text = Example(name);
    ASSERT_FALSE(text.empty()) << name;
    const WellRead read = ReadWell(text);
    ASSERT_TRUE(read.ok()) << name << ": " << read.error;
    EXPECT_GE(read.well->formations.size(), 3u) << name;
  }
  const WellRead land = ReadWell(Example("land-metric.json"));
  EXPECT_NEAR(land.well->bit.size, 8.5 * 0.0254, 1e-12);
  EXPECT_GE(land.well->startDepth, 2000.0);
  const WellRead offshore = ReadWell(Example("offshore-us.json"));
  EXPECT_EQ(offshore.well->units, UnitSystem::Us);
  EXPECT_NEAR(offshore.well->bit.size, 12.25 * 0.0254, 1e-12);
}

}  // namespace
