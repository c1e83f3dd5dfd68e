// The well file on arbitrary input: a message or a well, never both and never a crash; a well that
// reads drives the model through drilling, a connection and a trip with every channel finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "well/WellFile.h"
#include "well/WellModel.h"

namespace {

void Check(const vorn::well::WellModel& model) {
  for (const double value : model.Measured()) {
    if (!std::isfinite(value)) std::abort();
  }
  for (const double value : model.Truth()) {
    if (!std::isfinite(value)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorn::well;
  const WellRead read = ReadWell(std::string_view(reinterpret_cast<const char*>(data), size));
  if (read.ok() != read.error.empty()) std::abort();
  if (!read.ok()) return 0;
  WellModel model(*read.well);
  WellActivity a;
  a.bitDepth = a.holeDepth = read.well->startDepth;
  a.setFlow = 0.03;
  a.setWob = 1.0e5;
  a.setRpm = 120.0;
  for (int i = 0; i < 300; ++i) {
    a.dt = i % 2 == 0 ? 0.1 : 1.0;
    const int phase = i / 50;
    a.pumpsOn = phase != 2 && phase != 4;
    a.drilling = a.rotating = phase < 2;
    a.inSlips = a.connection = phase == 2;
    if (a.drilling) a.bitDepth += model.Rop() * a.dt;
    if (phase == 4) a.bitDepth = std::max(0.0, a.bitDepth - 0.3 * a.dt);
    a.holeDepth = std::max(a.holeDepth, a.bitDepth);
    model.Tick(a);
    Check(model);
  }
  return 0;
}
