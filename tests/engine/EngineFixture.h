#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/RigSim.h"
#include "support/DataRoot.h"
#include "support/Text.h"
#include "tests/common/TestEnvironment.h"
#include "tests/engine/ManualClocks.h"

namespace vorn::test {

inline std::string RawBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

inline std::vector<std::string> Lines(const std::string& path) {
  std::string text = RawBytes(path);
  std::vector<std::string> lines;
  vorn::SplitText(text, "\n", lines);
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::string& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

// Each test gets its own data root, so file names that share a second never meet.
class EngineInOwnRootTest : public ::testing::Test {
 protected:
  EngineInOwnRootTest() {
    m_oldRoot = vorn::DataRootFolder();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    setenv("VORN_RIG_SIM_ROOT", vorn::test::MakeScratchFolder(info->name()).c_str(), 1);
    vorn::CreateDataFolders();
    engine = std::make_unique<CRigSim>(clocks.Make());
    engine->m_pumpsMessage = nullptr;
  }
  ~EngineInOwnRootTest() override { setenv("VORN_RIG_SIM_ROOT", m_oldRoot.c_str(), 1); }

  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      clocks.Advance(100);
      engine->OnTick();
    }
  }

  vorn::test::ManualClocks clocks;
  std::unique_ptr<CRigSim> engine;

 private:
  std::string m_oldRoot;
};

}  // namespace vorn::test
