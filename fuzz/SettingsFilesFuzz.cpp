// The three settings loaders on arbitrary text: never a crash; whatever a load leaves in the records
// saves as a file that loads back to the same records; and an engine run on what was loaded puts only
// finite numbers into its frames and CSV rows.
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <string>
#include <string_view>

#include "FuzzEngine.h"
#include "SameRecords.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/TextFile.h"
#include "tests/engine/ManualClocks.h"

namespace {

// Returns the saved text of what the load left.
template <typename Text, typename Apply>
std::string CheckRoundTrip(Text text, Apply apply) {
  CRigSim& loaded = FuzzEngine(0);
  CRigSim& again = FuzzEngine(1);
  std::string saved = text(loaded);
  apply(again, saved);
  if (!fuzz::SameRecords(text(again), saved)) std::abort();
  return saved;
}

// An engine on clocks of its own, for short runs whose rows and frames land in files of its own.
struct RunEngine {
  RunEngine() : engine(clocks.Make()) {
    engine.m_pumpsMessage = nullptr;
    vorn::CreateDataFolders();
    engine.m_strCsvPath = vorn::OutputFilesFolder() + "/fuzz.csv";
    engine.m_strWitsLogPath = vorn::WitsLogFilesFolder() + "/fuzz.txt";
  }
  bool prepared = (FuzzEngine(0), true);  // this process's data root and profile first
  vorn::test::ManualClocks clocks;
  CRigSim engine;
};

bool HoldsNoNumberText(const std::string& text) {
  return text.find("nan") != std::string::npos || text.find("inf") != std::string::npos;
}

// Loads the input into a fresh start, runs a few ticks and one more frame, and checks that no
// generator put the text of a value that is not a finite number into a CSV row or a frame. A text
// item may carry such letters on purpose; an input with one is not checked.
void CheckRunOnWhatWasLoaded(std::string_view input) {
  static RunEngine run;
  CRigSim& engine = run.engine;
  run.clocks = vorn::test::ManualClocks();
  engine.m_settings = CSimSettings();
  engine.SetDefaultStartState();
  engine.m_subState.fill(0);
  engine.m_subStatePrev.fill(0);
  engine.BuildDefaultItems();
  ApplySimSettingsText(engine, input);
  ApplySimStateText(engine, input);
  std::remove(engine.m_strCsvPath.c_str());
  std::remove(engine.m_strWitsLogPath.c_str());
  for (int tick = 0; tick < 4; ++tick) {
    run.clocks.Advance(5000);
    engine.OnTick();
  }
  engine.DoWitsOut();

  for (const COutputItem& item : engine.m_outputItems) {
    if (item.m_type == ItemText && HoldsNoNumberText(item.m_strD)) return;
  }
  if (HoldsNoNumberText(vorn::ReadTextFile(engine.m_strCsvPath))) std::abort();
  if (HoldsNoNumberText(vorn::ReadTextFile(engine.m_strWitsLogPath))) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CRigSim& engine = FuzzEngine(0);
  engine.m_settings = CSimSettings();
  engine.m_outputItems.clear();
  engine.SetCommSettings(CWitsCommSettings());
  engine.SetSimState(CSimState());
  static const std::string nothingLoaded = SimSettingsText(engine) + SimStateText(engine);
  ApplySimSettingsText(engine, input);
  const std::string settings = CheckRoundTrip(SimSettingsText, ApplySimSettingsText);
  ApplyWitsCommSettingsText(engine, input);
  CheckRoundTrip(WitsCommSettingsText, ApplyWitsCommSettingsText);
  ApplySimStateText(engine, input);
  const std::string state = CheckRoundTrip(SimStateText, ApplySimStateText);
  // A run on what was loaded; when the input loaded nothing, that run has been checked already.
  if (settings + state != nothingLoaded) CheckRunOnWhatWasLoaded(input);
  return 0;
}
