#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <memory>

#include "control/RigJson.h"
#include "engine/RigSim.h"
#include "well/WellRig.h"

namespace {

TEST(ChannelsJson, AWellAddsItsChannelsTheFormationUnitsAndTrueValues) {
  CRigSim engine;
  engine.m_pumpsMessage = nullptr;
  rapidjson::Document plain;
  plain.Parse(vorn::control::ChannelsJson(engine).c_str());
  ASSERT_TRUE(plain.IsObject());
  EXPECT_EQ(plain.MemberCount(), 14u);

  vorn::well::Well well;
  well.units = vorn::well::UnitSystem::Us;
  engine.SetWellModel(std::make_unique<vorn::well::CWellRig>(well));
  rapidjson::Document json;
  json.Parse(vorn::control::ChannelsJson(engine).c_str());
  ASSERT_TRUE(json.IsObject());
  for (const std::string& name : WellChannelNames()) EXPECT_TRUE(json.HasMember(name.c_str())) << name;
  EXPECT_STREQ(json["FORMATION"].GetString(), "Formation");
  EXPECT_STREQ(json["units"]["HOOKLOAD"].GetString(), "klbf");
  EXPECT_STREQ(json["units"]["PIT_VOLUME"].GetString(), "bbl");
  EXPECT_TRUE(json["true"]["SPP"].IsNumber());
}

}  // namespace
