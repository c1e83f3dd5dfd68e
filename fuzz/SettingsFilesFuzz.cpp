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
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/TextFile.h"
#include "tests/engine/ManualClocks.h"

namespace {

// A double's place on the number line, counted in units of the last place.
int64_t Ordinal(double value) {
  int64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits < 0 ? INT64_MIN - bits : bits;
}

bool IsNumberChar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E'; }

// Two saved texts hold the same records. The reader takes numbers with its default flags, which may
// bring back the writer's shortest form of a long number up to two units in the last place off; such
// a floating-point number counts as the same, everything else (names, texts, integers, flags, the
// layout) must be the same byte for byte.
bool SameRecords(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  bool inString = false;
  while (i < a.size() && j < b.size()) {
    const char c = a[i];
    if (inString || !(c == '-' || (c >= '0' && c <= '9'))) {
      if (c != b[j]) return false;
      if (c == '"') inString = !inString;
      if (inString && c == '\\') {  // an escape: the next character is taken as it is
        if (++i >= a.size() || ++j >= b.size() || a[i] != b[j]) return false;
      }
      ++i, ++j;
      continue;
    }
    size_t endA = i, endB = j;
    while (endA < a.size() && IsNumberChar(a[endA])) ++endA;
    while (endB < b.size() && IsNumberChar(b[endB])) ++endB;
    const std::string_view numberA = a.substr(i, endA - i), numberB = b.substr(j, endB - j);
    if (numberA.find_first_of(".eE") == std::string_view::npos) {
      if (numberA != numberB) return false;  // an integer comes back exactly
    } else {
      double x = 0.0, y = 0.0;
      std::from_chars(numberA.data(), numberA.data() + numberA.size(), x);
      std::from_chars(numberB.data(), numberB.data() + numberB.size(), y);
      if (std::llabs(Ordinal(x) - Ordinal(y)) > 2) return false;
    }
    i = endA, j = endB;
  }
  return i == a.size() && j == b.size();
}

// Returns the saved text of what the load left.
template <typename Text, typename Apply>
std::string CheckRoundTrip(Text text, Apply apply) {
  CRigSim& loaded = FuzzEngine(0);
  CRigSim& again = FuzzEngine(1);
  std::string saved = text(loaded);
  apply(again, saved);
  if (!SameRecords(text(again), saved)) std::abort();
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
