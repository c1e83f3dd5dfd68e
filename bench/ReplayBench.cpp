// Reading recorded wells: LAS and CSV rows from files of about 64 MiB (the goal is 100 MB/s of data
// lines), and the cost a replay adds to an engine tick.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "BenchClocks.h"
#include "engine/RigSim.h"
#include "replay/ReplayPlayer.h"
#include "replay/RowReader.h"
#include "support/DataRoot.h"
#include "support/Numbers.h"

namespace {

constexpr std::size_t kFileBytes = 64u << 20;

struct MadeFile {
  std::string path;
  uint64_t dataBytes = 0;
};

// A time-indexed well of 12 curves, a row a second, written once per process.
MadeFile MakeFile(bool las) {
  MadeFile file;
  file.path = (std::filesystem::temp_directory_path() / (las ? "vorn_bench_well.las" : "vorn_bench_well.csv")).string();
  std::ofstream out(file.path, std::ios::binary);
  const char* curves[] = {"HKLD", "SPPA", "RPM", "TORQ", "WOB", "ROPA", "FLOW", "SPM1", "SPM2", "PITS", "MWIN", "GAS"};
  std::string header;
  if (las) {
    header = "~V\nVERS. 2.0 :\nWRAP. NO :\n~W\nNULL. -999.25 :\n~C\nTIME.S :\n";
    for (const char* curve : curves) header += std::string(curve) + ".x :\n";
    header += "~A\n";
  } else {
    header = "TIME";
    for (const char* curve : curves) header += std::string(",") + curve;
    header += "\n";
  }
  out << header;
  std::mt19937 random(1);
  std::string line;
  for (uint64_t row = 0; file.dataBytes < kFileBytes; ++row) {
    line = std::to_string(row);
    for (std::size_t c = 0; c < std::size(curves); ++c) {
      line += las ? ' ' : ',';
      line += vorn::FormatG(static_cast<double>(random() % 1000000) / 100.0);
    }
    line += '\n';
    file.dataBytes += line.size();
    out << line;
  }
  return file;
}

void ReadWhole(benchmark::State& state, bool las) {
  static const MadeFile lasFile = MakeFile(true);
  static const MadeFile csvFile = MakeFile(false);
  const MadeFile& file = las ? lasFile : csvFile;
  uint64_t rows = 0;
  for (auto _ : state) {
    std::string error;
    auto reader = OpenRowReader(file.path, error);
    if (!reader) state.SkipWithError(error.c_str());
    ReplayRow row;
    while (reader && reader->Next(row)) ++rows;
    benchmark::DoNotOptimize(row);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.dataBytes));
  state.counters["rows"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}

void BM_ReadLas(benchmark::State& state) { ReadWhole(state, true); }
BENCHMARK(BM_ReadLas)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadCsv(benchmark::State& state) { ReadWhole(state, false); }
BENCHMARK(BM_ReadCsv)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One engine tick with a LAS replay at 1000 times its pace, so a new row comes at every tick, every
// item is evaluated and a frame goes out (to a link with no receiver), against the same tick simulated.
void BM_ReplayTick(benchmark::State& state) {
  static const MadeFile file = MakeFile(true);
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  engine.m_strDataRoot = (std::filesystem::temp_directory_path() / "vorn_bench_replay_root").string();
  vorn::CreateDataFolders(engine.m_strDataRoot);
  engine.m_settings.m_fCalcOutputInterval = 0.0;
  engine.m_settings.m_fWitsOutInterval = 0.0;
  engine.m_settings.m_fWriteFileInterval = 1e9;
  std::unique_ptr<CReplayPlayer> player;
  if (state.range(0) == 1) {
    ReplayOptions options;
    options.path = file.path;
    options.speed = 1000.0;
    std::string error;
    player = CReplayPlayer::Open(options, 0.1, error);
    if (!player) state.SkipWithError(error.c_str());
    engine.m_pReplay = player.get();
  }
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    clocks.ms += 100;
    clocks.seconds += 0.1;
    engine.OnTick();
  }
  engine.StopRun();
  state.SetLabel(state.range(0) == 1 ? "replay" : "simulated");
}
BENCHMARK(BM_ReplayTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
