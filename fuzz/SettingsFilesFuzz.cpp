// The three settings loaders on arbitrary text: never a crash, and whatever a load leaves in the
// records saves as a file that loads back to the same records.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzEngine.h"
#include "persist/SettingsFiles.h"

namespace {

template <typename Text, typename Apply>
void CheckRoundTrip(Text text, Apply apply) {
  CRigSim& loaded = FuzzEngine(0);
  CRigSim& again = FuzzEngine(1);
  const std::string saved = text(loaded);
  apply(again, saved);
  if (text(again) != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CRigSim& engine = FuzzEngine(0);
  engine.m_settings = CSimSettings();
  engine.m_outputItems.clear();
  ApplySimSettingsText(engine, input);
  CheckRoundTrip(SimSettingsText, ApplySimSettingsText);
  ApplyWitsCommSettingsText(engine, input);
  CheckRoundTrip(WitsCommSettingsText, ApplyWitsCommSettingsText);
  ApplySimStateText(engine, input);
  (void)SimStateText(engine);
  return 0;
}
