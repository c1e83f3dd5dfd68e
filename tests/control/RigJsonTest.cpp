// The control API's reads as JSON texts.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include <cstdint>
#include <random>
#include <string>

#include "control/RigJson.h"
#include "engine/RigSim.h"
#include "tests/engine/ManualClocks.h"

namespace {

// The received items' ages come to the millisecond, whatever the noise of subtracting two times of
// the size of seconds since 2000.
TEST(ReceivedJson, AgesAreWholeMilliseconds) {
  vorn::test::ManualClocks clocks;
  CRigSim engine{clocks.Make()};
  engine.m_pumpsMessage = nullptr;
  std::mt19937_64 draw(12);
  for (int round = 0; round < 2000; ++round) {
    const int64_t nowMs = 700'000'000'000 + static_cast<int64_t>(draw() % 200'000'000'000);
    const int64_t ageMs = round == 0 ? 4300 : static_cast<int64_t>(draw() % 86'400'000);
    clocks.seconds = static_cast<double>(nowMs) / 1000.0;
    engine.m_witsInItems.clear();
    engine.m_witsInItems[WitsItemKey{1, 8}].timeReceived = static_cast<double>(nowMs - ageMs) / 1000.0;
    const std::string json = vorn::control::ReceivedJson(engine);
    rapidjson::Document document;
    document.Parse(json.c_str());
    ASSERT_TRUE(document.IsArray() && document.Size() == 1) << json;
    EXPECT_EQ(document[0]["ageSeconds"].GetDouble(), static_cast<double>(ageMs) / 1000.0) << json;
    if (round == 0) {
      EXPECT_NE(json.find(R"("ageSeconds":4.3})"), std::string::npos) << json;
    }
  }
}

}  // namespace
