// The WITS exchange: one outgoing frame of the default items (written to a link without a channel
// and to the log), and the reading of received frames into the table.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchClocks.h"
#include "engine/RigSim.h"
#include "wits/WitsFrame.h"

namespace {

void BM_DoWitsOut(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    for (COutputItem& item : engine.m_outputItems) item.m_bSendPending = true;
    engine.DoWitsOut();
  }
  engine.StopRun();
}
BENCHMARK(BM_DoWitsOut);

// A frame of 22 lines, arriving whole or in pieces of 16 bytes.
void BM_ReceiveFrame(benchmark::State& state) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  std::vector<std::string> lines;
  for (int i = 0; i < 22; ++i) lines.push_back(FormatWitsDataLine(1, 8 + i, "1234.5"));
  const std::string frame = BuildWitsFrame(lines);
  const size_t piece = static_cast<size_t>(state.range(0));
  for (auto _ : state) {
    for (size_t at = 0; at < frame.size(); at += piece) {
      const std::string part = frame.substr(at, piece);
      engine.CommsReceiverIF_OnReceive(std::vector<uint8_t>(part.begin(), part.end()), WitsLink);
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(frame.size()));
}
BENCHMARK(BM_ReceiveFrame)->Arg(16)->Arg(1 << 20);

}  // namespace
