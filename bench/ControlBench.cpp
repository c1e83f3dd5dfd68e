// The control API on loopback: requests answered per second for GET /api/v1/status, one client on a
// kept-alive connection, the server and the client on one event loop; and the metrics of a fleet.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <string>

#include "command/RigController.h"
#include "control/ControlServer.h"
#include "control/ServiceAnswers.h"

namespace {

// Reads one whole answer (head and Content-Length body) from the client socket.
bool ReadAnswer(QTcpSocket& client, std::string& buffer) {
  for (;;) {
    const size_t head = buffer.find("\r\n\r\n");
    if (head != std::string::npos) {
      const size_t at = buffer.find("Content-Length: ");
      const size_t length = std::stoul(buffer.substr(at + 16));
      if (buffer.size() >= head + 4 + length) {
        buffer.erase(0, head + 4 + length);
        return true;
      }
    }
    // The server reads and answers from the event loop; the client takes what came, without waiting.
    QCoreApplication::processEvents();
    buffer += client.readAll().toStdString();
    if (client.state() != QAbstractSocket::ConnectedState) return false;
  }
}

void BM_GetStatus(benchmark::State& state) {
  int argc = 1;
  char name[] = "bench_control";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  CRigSim engine;
  engine.m_pumpsMessage = nullptr;
  CRigController controller(engine);
  vorn::control::CControlServer server([&controller](int rig) { return rig == 0 ? &controller : nullptr; },
                                       {"127.0.0.1", 0, std::string("bench-token"), 0, {}});
  std::string error;
  if (!server.Listen(error)) state.SkipWithError(error.c_str());
  QTcpSocket client;
  client.connectToHost("127.0.0.1", server.Port());
  while (client.state() != QAbstractSocket::ConnectedState) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  const QByteArray request =
      "GET /api/v1/status HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer bench-token\r\n\r\n";
  std::string buffer;
  for (auto _ : state) {
    client.write(request);
    client.flush();
    if (!ReadAnswer(client, buffer)) {
      state.SkipWithError("the connection closed");
      break;
    }
  }
  state.counters["requests/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GetStatus)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The metrics text of a fleet of N rigs with large counts (the answer's size and the time to make it;
// the rigs' samples are taken as given).
void BM_MetricsText(benchmark::State& state) {
  std::vector<vorn::control::RigSample> rigs(static_cast<std::size_t>(state.range(0)));
  for (std::size_t i = 0; i < rigs.size(); ++i) {
    rigs[i].rig = static_cast<int>(i) + 1;
    rigs[i].counts.framesSent = 123456789 + i;
    rigs[i].counts.bytesSent = 123456789012 + i;
    rigs[i].timing.slowest = std::chrono::microseconds(1234 + i);
  }
  const vorn::ProcessStats process = vorn::ReadProcessStats();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = vorn::control::MetricsText(rigs, process);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_MetricsText)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
