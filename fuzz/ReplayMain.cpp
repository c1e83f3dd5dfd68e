// Stand-in for libFuzzer's driver when the compiler has none: feeds the target every file of the
// folders and files named on the command line, then a fixed series of generated inputs (random bytes
// and mutations of the seeds), so the same inputs are tried on every run.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Run(const std::vector<uint8_t>& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::vector<uint8_t>> seeds;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec)) {
        if (entry.is_regular_file()) seeds.push_back(ReadAll(entry.path()));
      }
    } else if (std::filesystem::is_regular_file(arg, ec)) {
      seeds.push_back(ReadAll(arg));
    }
  }
  seeds.push_back({});
  for (const auto& seed : seeds) Run(seed);
  const size_t replayed = seeds.size();

  // Only short seeds are mutated: a seed as long as a whole buffer bound takes a good part of a
  // second a run, and thousands of its variants would make the replay take many minutes.
  constexpr size_t kMaxMutatedSeedBytes = 16 * 1024;
  std::erase_if(seeds, [](const std::vector<uint8_t>& seed) { return seed.size() > kMaxMutatedSeedBytes; });

  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  constexpr int kGenerated = 20000;
  for (int n = 0; n < kGenerated; ++n) {
    std::vector<uint8_t> input = seeds[static_cast<size_t>(n) % seeds.size()];
    const int edits = 1 + n % 8;
    for (int e = 0; e < edits; ++e) {
      const int kind = byte(rng) % 4;
      if (kind == 0 || input.empty()) {
        input.insert(input.begin() + static_cast<long>(input.empty() ? 0 : rng() % input.size()),
                     static_cast<uint8_t>(byte(rng)));
      } else if (kind == 1) {
        input[rng() % input.size()] = static_cast<uint8_t>(byte(rng));
      } else if (kind == 2) {
        input.erase(input.begin() + static_cast<long>(rng() % input.size()));
      } else {
        const size_t from = rng() % input.size();
        const size_t len = std::min<size_t>(input.size() - from, 1 + rng() % 16);
        std::vector<uint8_t> piece(input.begin() + static_cast<long>(from),
                                   input.begin() + static_cast<long>(from + len));
        input.insert(input.begin() + static_cast<long>(rng() % input.size()), piece.begin(), piece.end());
      }
    }
    Run(input);
  }
  std::cout << "replayed " << replayed << " seeds and " << kGenerated << " generated inputs\n";
  return 0;
}
