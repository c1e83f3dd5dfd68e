// One wake-up of a fleet's timer with N rigs due, for N = 1, 10, 100, 1000: each rig's whole tick
// through its controller (items, CSV rows and WITS frames at their default intervals), on a link that
// opens nothing, so the figure is the rigs' own work. "per_rig_tick" is the wake-up's time shared
// out: flat when a rig costs the same in a fleet of any size. The process's whole cost, sockets and
// receivers included, is measured by bench/fleet-cpu.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <memory>
#include <string>
#include <vector>

#include "BenchClocks.h"
#include "command/RigController.h"
#include "fleet/FleetPlan.h"
#include "fleet/FleetTicker.h"
#include "support/DataRoot.h"

namespace {

struct BenchRig {
  BenchRig(BenchClocks& clocks, const std::string& root) : engine(clocks.Make()) {
    engine.m_pumpsMessage = nullptr;
    engine.m_strDataRoot = root;
    controller.LoadAtStartup();
    CWitsCommSettings silent;
    silent.commType = 2;
    (void)controller.SetLinkSettings(silent);
  }
  CRigSim engine;
  CRigController controller{engine};
};

void BM_FleetWake(benchmark::State& state) {
  int argc = 1;
  char name[] = "bench_fleet";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);  // the ticker's timer needs one, though it never waits on it
  const int count = static_cast<int>(state.range(0));
  BenchClocks clocks;
  CFleetTicker ticker([&clocks] { return clocks.ms; });
  std::vector<std::unique_ptr<BenchRig>> rigs;
  for (int rig = 1; rig <= count; ++rig) {
    rigs.push_back(std::make_unique<BenchRig>(clocks, FleetRigRoot(vorn::DataRootFolder(), rig)));
    rigs.back()->controller.SetTickSource(&ticker);
    (void)rigs.back()->controller.SetRunning(true);
  }
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    ticker.Service();
  }
  state.counters["per_rig_tick"] = benchmark::Counter(
      static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  for (auto& rig : rigs) rig->controller.Close();
}
BENCHMARK(BM_FleetWake)->Arg(1)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
