// The WITS exchange: reading a stream of received frames, building and sending outgoing frames (with
// and without the wire between the engine and the link), the loopback round trip of one frame from the
// engine to a client, and to several clients of one link.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "BenchClocks.h"
#include "command/RigController.h"
#include "engine/RigSim.h"
#include "wits/WitsFrame.h"

namespace {

constexpr size_t kChunk = 32 * 1024;

// 4 MiB of 22-item frames, as a receiving system would send them.
const std::string& FrameStream() {
  static const std::string stream = [] {
    std::vector<std::string> lines;
    for (int i = 0; i < 22; ++i) lines.push_back(FormatWitsDataLine(1, 8 + i, "1234.56"));
    const std::string frame = BuildWitsFrame(lines);
    std::string text;
    while (text.size() < (4u << 20)) text += frame;
    return text;
  }();
  return stream;
}

// ParseWitsFrames over the stream in 32 KiB chunks.
void BM_ParseWitsFrames(benchmark::State& state) {
  const std::string& stream = FrameStream();
  size_t lines = 0;
  for (auto _ : state) {
    std::string buffer;
    for (size_t at = 0; at < stream.size(); at += kChunk) {
      buffer.append(stream, at, kChunk);
      lines += ParseWitsFrames(buffer).size();
    }
  }
  benchmark::DoNotOptimize(lines);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_ParseWitsFrames)->Unit(benchmark::kMillisecond);

// The limit for any reader: only finding every "&&" and "!!" in the same chunks.
void BM_ScanFrameMarksOnly(benchmark::State& state) {
  const std::string& stream = FrameStream();
  size_t marks = 0;
  for (auto _ : state) {
    for (size_t at = 0; at < stream.size(); at += kChunk) {
      const std::string_view chunk = std::string_view(stream).substr(at, kChunk);
      for (size_t p = chunk.find("&&"); p != std::string_view::npos; p = chunk.find("&&", p + 2)) ++marks;
      for (size_t p = chunk.find("!!"); p != std::string_view::npos; p = chunk.find("!!", p + 2)) ++marks;
    }
  }
  benchmark::DoNotOptimize(marks);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FrameStream().size()));
}
BENCHMARK(BM_ScanFrameMarksOnly)->Unit(benchmark::kMillisecond);

// Random bytes, zero bytes among them, as a peer that floods the link with garbage sends them.
const std::string& Garbage() {
  static const std::string garbage = [] {
    std::mt19937 random(10);
    std::string bytes(4u << 20, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
  }();
  return garbage;
}

// Garbage arriving on the WITS link in reads of the given size (32 KiB is the client link's read
// size; a socket read gives less when less has come) during a run, as the program takes it: the
// engine's input path with its log, told to the rig controller. The share of a core that a 10 MB/s
// flood costs is 10 MB over the bytes read per second.
void BM_GarbageArrivals(benchmark::State& state) {
  const auto chunk = static_cast<size_t>(state.range(0));
  int argc = 1;
  char name[] = "bench_wits";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);  // the run's timer needs one
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  CRigController controller(engine);
  CWitsCommSettings silent;
  silent.commType = 2;  // a link that opens nothing: only the input path is measured
  engine.SetCommSettings(silent);
  if (!controller.SetRunning(true).IsDone()) state.SkipWithError("the run did not start");
  const std::string& garbage = Garbage();
  size_t at = 0;
  uint64_t received = 0;
  const auto arrive = [&] {
    const auto* first = reinterpret_cast<const uint8_t*>(garbage.data() + at);
    engine.CommsReceiverIF_OnReceive(std::vector<uint8_t>(first, first + chunk), WitsLink);
    at = (at + chunk) % (garbage.size() - chunk);
    received += chunk;
    clocks.ms = static_cast<uint32_t>(1000 + received / 10'000);  // 10 MB/s
  };
  // The WITS log takes the first MiB of a minute, a tenth of a second of the flood: past it, as
  // for the rest of every minute, arrivals are only counted.
  while (received < (2u << 20)) arrive();
  for (auto _ : state) arrive();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(chunk));
  state.counters["core_percent_at_10MBps"] = benchmark::Counter(
      static_cast<double>(chunk) / 1e9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  (void)controller.SetRunning(false);
}
BENCHMARK(BM_GarbageArrivals)->Arg(1024)->Arg(4096)->Arg(32768)->Unit(benchmark::kMicrosecond);

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The whole receive path under a 10 MB/s garbage flood: a run's server link on loopback, its event
// loop reading the receiver's socket (32 KiB reads), the engine's input path and log. The flooding
// receiver is a thread of its own, paced at 64 KiB every 6.5 ms; what is measured is the CPU time of
// the program's one thread over 5 s of the flood, as a share of a core.
void BM_GarbageFloodOverLoopback(benchmark::State& state) {
  int argc = 1;
  char name[] = "bench_wits";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  CRigController controller(engine);
  CWitsCommSettings settings;
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  settings.nTcpIpPort = probe.serverPort();
  probe.close();
  engine.SetCommSettings(settings);
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  const std::string& garbage = Garbage();
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(settings.nTcpIpPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
    constexpr size_t kWrite = 64 * 1024;
    auto due = std::chrono::steady_clock::now();
    for (size_t at = 0; !stop; at = (at + kWrite) % (garbage.size() - kWrite)) {
      for (size_t sent = 0; sent < kWrite && !stop;) {
        const ssize_t n = ::send(fd, garbage.data() + at + sent, kWrite - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<size_t>(n);
      }
      due += std::chrono::microseconds(6554);  // 64 KiB at 10 MB/s
      std::this_thread::sleep_until(due);
    }
    ::close(fd);
  });
  while (!engine.m_witsLink.HasClient()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  for (auto _ : state) {
    // The event loop as the program runs it: asleep until a socket or a timer wakes it.
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&clocks] { clocks.ms += 100; });
    tick.start(100);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const double cpuBefore = ThreadCpuSeconds();
    loop.exec();
    state.counters["core_percent"] = (ThreadCpuSeconds() - cpuBefore) / 5.0 * 100.0;
  }
  stop = true;
  flood.join();
  engine.StopRun();
}
BENCHMARK(BM_GarbageFloodOverLoopback)->Iterations(1)->Unit(benchmark::kSecond);

void FillItems(CRigSim& engine, int64_t count) {
  engine.m_outputItems.clear();
  for (int64_t i = 0; i < count; ++i) {
    engine.m_outputItems.emplace_back(false, true, "I", 0.0, ItemConstant, 1234.5, 0, 0, "", FilterBoth, false, 1,
                                      static_cast<int32_t>(i % 99));
    engine.m_outputItems.back().m_strValue = "1234.5";
  }
}

// One frame of n pending items: building, the write to a link without a channel, and the log entry;
// straight to the link as the engine alone sends, or through the rig controller's wire, which shapes
// the frame by the link's profile, finds no fault armed, writes it and logs it as the engine would.
void DoWitsOutFrames(benchmark::State& state, bool throughWire) {
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  std::optional<CRigController> controller;
  if (throughWire) controller.emplace(engine);
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  FillItems(engine, state.range(0));
  for (auto _ : state) {
    for (COutputItem& item : engine.m_outputItems) item.m_bSendPending = true;
    engine.DoWitsOut();
  }
  engine.StopRun();
}
void BM_DoWitsOut(benchmark::State& state) { DoWitsOutFrames(state, false); }
void BM_DoWitsOut_ThroughWire(benchmark::State& state) { DoWitsOutFrames(state, true); }
BENCHMARK(BM_DoWitsOut)->Arg(22)->Arg(1000);
BENCHMARK(BM_DoWitsOut_ThroughWire)->Arg(22)->Arg(1000);

// A frame of the 22 default items from DoWitsOut until a loopback client has read all of it.
void BM_LoopbackRoundTrip(benchmark::State& state) {
  int argc = 1;
  char name[] = "bench_wits";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  BenchClocks clocks;
  CRigSim engine(clocks.Make());
  engine.m_pumpsMessage = nullptr;
  CWitsCommSettings settings;
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  settings.nTcpIpPort = probe.serverPort();
  probe.close();
  engine.SetCommSettings(settings);
  std::string error;
  if (!engine.StartRun(error)) state.SkipWithError(error.c_str());
  FillItems(engine, 22);
  QTcpSocket client;
  client.connectToHost("127.0.0.1", static_cast<quint16>(settings.nTcpIpPort));
  while (!engine.m_witsLink.HasClient()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  std::vector<std::string> lines;
  for (const COutputItem& item : engine.m_outputItems) {
    lines.push_back(FormatWitsDataLine(item.m_nWitsRecord, item.m_nWitsChannel, item.m_strValue));
  }
  const qint64 frameSize = static_cast<qint64>(BuildWitsFrame(lines).size());
  for (auto _ : state) {
    for (COutputItem& item : engine.m_outputItems) item.m_bSendPending = true;
    engine.DoWitsOut();
    qint64 received = 0;
    while (received < frameSize) {
      QCoreApplication::processEvents();  // the server's socket sends from the event loop
      if (client.bytesAvailable() > 0 || client.waitForReadyRead(1)) received += client.readAll().size();
    }
  }
  engine.StopRun();
}
BENCHMARK(BM_LoopbackRoundTrip)->Unit(benchmark::kMicrosecond);

// A frame of 22 items written to a server link until each of its N loopback receivers has read all
// of it. The receivers are plain sockets read without blocking, so that what is measured is mostly
// the link's side (its write to each client, and Qt's sending from the event loop); the difference
// between N = 2 and N = 3 is the cost of the third receiver.
void BM_FrameToReceivers(benchmark::State& state) {
  const auto receivers = static_cast<int>(state.range(0));
  int argc = 1;
  char name[] = "bench_wits";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  BenchClocks clocks;
  CCommsWrapper link;
  link.SetClocks(clocks.Make());
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  link.m_settings.nTcpIpPort = probe.serverPort();
  probe.close();
  link.m_settings.nMaxClients = receivers;
  link.m_nStopRequest = 0;
  link.Service();
  if (link.m_state != Connected) state.SkipWithError(link.m_strStatus.c_str());
  std::vector<int> sockets;
  for (int i = 0; i < receivers; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(link.m_settings.nTcpIpPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) state.SkipWithError("connect");
    sockets.push_back(fd);
    while (link.ClientCount() < i + 1) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  std::vector<std::string> lines;
  for (int i = 0; i < 22; ++i) lines.push_back(FormatWitsDataLine(1, 8 + i, "1234.56"));
  const std::string text = BuildWitsFrame(lines);
  const std::vector<uint8_t> frame(text.begin(), text.end());
  std::vector<size_t> received(sockets.size());
  char buffer[4096];
  for (auto _ : state) {
    if (link.Write(frame) != LinkWrite::Sent) state.SkipWithError("not sent");
    std::fill(received.begin(), received.end(), 0);
    for (size_t done = 0; done < sockets.size();) {
      QCoreApplication::processEvents();  // the server's sockets send from the event loop
      done = 0;
      for (size_t i = 0; i < sockets.size(); ++i) {
        if (received[i] < frame.size()) {
          const ssize_t count = ::recv(sockets[i], buffer, sizeof buffer, MSG_DONTWAIT);
          if (count > 0) received[i] += static_cast<size_t>(count);
        }
        if (received[i] >= frame.size()) ++done;
      }
    }
  }
  link.Close();
  for (const int fd : sockets) ::close(fd);
  state.counters["receivers"] = receivers;
}
BENCHMARK(BM_FrameToReceivers)->Arg(1)->Arg(2)->Arg(3)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
