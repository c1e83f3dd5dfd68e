// Received link bytes in arrivals of 1 to 32768 bytes, handed to the engine as the links hand them:
// never a crash; the input buffer stays within its bound and holds no complete frame after an
// arrival; a stream that fits the buffer gives the same received items whole and cut into arrivals;
// the skid link takes any pieces, and a whole command still sets the gain.
//
// Input: byte 0 chooses ping mode (bit 0), a WITS log file (bit 4; without one the log entries are
// still made) and, with bits 1 and 2 set, makes the stream pass the input buffer's bound so that its
// drop rules run: bit 3 set repeats the whole stream, clear repeats its last byte. Bytes 1-4 seed
// the arrival sizes and clock steps; the rest is the stream.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzEngine.h"
#include "support/DataRoot.h"
#include "wits/WitsFrame.h"

namespace {

constexpr size_t kHeaderBytes = 5;
constexpr size_t kMaxArrival = 32768;
// The skid link keeps no state, so the start of a long stream tells as much as all of it.
constexpr size_t kMaxSkidStream = 4096;

// Reproducible choices from the input's seed bytes.
class Draw {
 public:
  explicit Draw(uint32_t seed) : m_state(0x9E3779B97F4A7C15ull ^ seed) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 7;
    m_state ^= m_state << 17;
    return static_cast<uint32_t>(m_state >> 32);
  }
  // 1 to 32768 bytes. Mostly, each power of two is as likely a bound as the next, so small arrivals
  // are common; `large` draws every size alike, so that a stream past the buffer's bound passes in a
  // few arrivals.
  size_t ArrivalSize(bool large) { return 1 + Next() % (large ? kMaxArrival : kMaxArrival >> Next() % 16); }

 private:
  uint64_t m_state;
};

struct FuzzClock {
  uint32_t ms = 0;
  double seconds = 800'000'000.0;
};

FuzzClock g_clock;

// Two engines on the hand-driven clock: one takes each stream whole, the other cut into arrivals.
CRigSim& Engine(int which) {
  (void)FuzzEngine();  // points the data root and the profile store at this process's own folder
  static const vorn::Clocks clocks{[] { return g_clock.ms; }, [] { return g_clock.seconds; }};
  static CRigSim whole(clocks);
  static CRigSim cut(clocks);
  return which == 0 ? whole : cut;
}

void Prepare(CRigSim& engine, bool ping, const std::string& logPath) {
  engine.m_pumpsMessage = nullptr;
  engine.m_witsInItems.clear();
  engine.m_strWitsInBuffer.clear();
  engine.m_settings.m_bRequiresPing = ping;
  engine.m_strWitsLogPath = logPath;
}

void Deliver(CRigSim& engine, std::string_view bytes, int32_t link) {
  engine.CommsReceiverIF_OnReceive(std::vector<uint8_t>(bytes.begin(), bytes.end()), link);
}

bool SameItems(const WitsInItems& a, const WitsInItems& b) {
  if (a.size() != b.size()) return false;
  for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
    if (i->first != j->first || i->second.valueText != j->second.valueText ||
        i->second.description != j->second.description) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kHeaderBytes) return 0;
  const bool ping = (data[0] & 1) != 0;
  const bool pastBound = (data[0] & 0x06) == 0x06;
  const bool repeatWhole = (data[0] & 0x08) != 0;
  const bool logFile = (data[0] & 0x10) != 0;
  Draw draw(static_cast<uint32_t>(data[1]) | static_cast<uint32_t>(data[2]) << 8 |
            static_cast<uint32_t>(data[3]) << 16 | static_cast<uint32_t>(data[4]) << 24);
  std::string stream(reinterpret_cast<const char*>(data) + kHeaderBytes, size - kHeaderBytes);
  if (pastBound && !stream.empty() && stream.size() <= kMaxWitsInBufferBytes) {
    if (repeatWhole) {
      const std::string unit = stream;
      stream.reserve(kMaxWitsInBufferBytes + 2 * unit.size());
      while (stream.size() <= kMaxWitsInBufferBytes) stream += unit;
    } else {
      stream.resize(kMaxWitsInBufferBytes + 1, stream.back());
    }
  }

  CRigSim& whole = Engine(0);
  CRigSim& cut = Engine(1);
  // A log file that has grown large starts again.
  static const std::string logPath = [] {
    std::error_code error;
    std::filesystem::create_directories(vorn::WitsLogFilesFolder(), error);
    return vorn::WitsLogFilesFolder() + "/fuzz.txt";
  }();
  std::error_code error;
  const std::uintmax_t logSize = std::filesystem::file_size(logPath, error);
  if (!error && logSize > (16u << 20)) std::filesystem::remove(logPath, error);
  Prepare(whole, ping, logFile ? logPath : std::string());
  Prepare(cut, ping, logFile ? logPath : std::string());

  for (size_t at = 0; at < stream.size();) {
    const size_t piece = std::min(draw.ArrivalSize(pastBound), stream.size() - at);
    Deliver(cut, std::string_view(stream).substr(at, piece), WitsLink);
    at += piece;
    if (cut.m_strWitsInBuffer.size() > kMaxWitsInBufferBytes) std::abort();
    if (!pastBound || at == stream.size()) {
      std::string rest = cut.m_strWitsInBuffer;
      if (!ParseWitsFrames(rest).empty()) std::abort();
    }
    // Time passes between arrivals; now and then a tick comes between them.
    g_clock.ms += draw.Next() % 4 == 0 ? draw.Next() % 70'000 : draw.Next() % 200;
    if (draw.Next() % 8 == 0) cut.OnTick();
  }
  if (stream.size() <= kMaxWitsInBufferBytes) {
    Deliver(whole, stream, WitsLink);
    if (!SameItems(whole.m_witsInItems, cut.m_witsInItems)) std::abort();
  }

  // The skid link keeps nothing between arrivals: pieces of anything never harm a later command.
  const size_t skidBytes = std::min(stream.size(), kMaxSkidStream);
  for (size_t at = 0; at < skidBytes;) {
    const size_t piece = std::min(draw.ArrivalSize(false), skidBytes - at);
    Deliver(cut, std::string_view(stream).substr(at, piece), SkidLink);
    at += piece;
  }
  const int32_t gain = static_cast<int32_t>(draw.Next() % 1000);
  const std::string command = "&&\r\nDP:" + std::to_string(gain) + "\r\n!!\r\n";
  const size_t split = draw.Next() % (command.size() + 1);
  Deliver(cut, std::string_view(command).substr(0, split), SkidLink);
  Deliver(cut, std::string_view(command).substr(split), SkidLink);
  Deliver(cut, command, SkidLink);
  if (cut.m_settings.m_nFlowSPPGain != gain) std::abort();
  cut.StopRun();
  return 0;
}
