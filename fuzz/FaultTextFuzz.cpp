// The fault text of --fault and the fault plan file on arbitrary input: never a crash; a fault that
// reads writes itself back as text that reads as the same fault; a plan that reads runs through the
// wire's stages (on a link that is not open) without harm, every random choice from its seed.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "comms/CommsWrapper.h"
#include "faults/FaultOrder.h"
#include "faults/WitsWire.h"

namespace {

void CheckText(std::string_view text) {
  const Parsed<FaultOrder> fault = ParseFaultText(text);
  if (fault.ok() != fault.error.empty()) std::abort();  // a value or an error, never both
  if (!fault.ok()) return;
  const Parsed<FaultOrder> again = ParseFaultText(FaultText(*fault.value));
  if (!again.ok() || !(*again.value == *fault.value)) std::abort();
}

void RunPlan(std::string_view json) {
  const Parsed<FaultPlan> plan = ParseFaultPlan(json);
  if (plan.ok() != plan.error.empty()) std::abort();
  if (!plan.ok()) return;
  uint32_t now = 1000;
  CCommsWrapper link;  // closed: every write is refused, so nothing leaves the process
  CWitsWire wire(link, [&now] { return now; });
  wire.SetPlan(*plan.value);
  wire.RunStarted();
  static const std::vector<WitsOutLine> lines = {{1, 8, "1000.5"}, {1, 10, "20"}, {11, 2, ""}};
  for (int i = 0; i < 8; ++i) {
    wire.SendFrame(lines, i % 3 == 0 ? FrameGrouping::OnePerRecord : FrameGrouping::AsConfigured);
    now += 5000;
    wire.Service();
  }
  wire.RunStopped();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckText(input);
  RunPlan(input);
  return 0;
}
