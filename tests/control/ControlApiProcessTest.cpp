// The real simulator binary with --control, driven over HTTP on loopback, in a scratch data root.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "tests/app/HeadlessProcess.h"
#include "tests/common/EventWait.h"
#include "tests/common/TestEnvironment.h"
#include "tests/control/HttpClient.h"

namespace {

using vorn::test::CEventReader;
using vorn::test::CHttpClient;
using vorn::test::FreePort;
using vorn::test::HttpAnswer;
using vorn::test::WaitUntil;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Resident memory of a process, in KiB.
long ResidentKiB(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return -1;
}

// The TCP ports a process listens on.
std::set<int> ListeningPorts(qint64 pid) {
  std::set<std::string> inodes;
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  for (const auto& entry : std::filesystem::directory_iterator(fds)) {
    std::error_code ec;
    const std::string target = std::filesystem::read_symlink(entry.path(), ec).string();
    if (target.starts_with("socket:[")) inodes.insert(target.substr(8, target.size() - 9));
  }
  std::set<int> ports;
  for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
      if (state == "0A" && inodes.contains(inode))
        ports.insert(std::stoi(local.substr(local.find(':') + 1), nullptr, 16));
    }
  }
  return ports;
}

class ControlApiProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_oldRoot = vorn::DataRootFolder();
    m_root = vorn::test::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    setenv("VORN_RIG_SIM_ROOT", m_root.c_str(), 1);
    vorn::CreateDataFolders();
    // The WITS link listens on a port of its own, so tests may run side by side.
    CRigSim engine;
    engine.m_pumpsMessage = nullptr;
    CWitsCommSettings link;
    link.nTcpIpPort = m_witsPort;
    engine.SetCommSettings(link);
    SaveWitsCommSettings(engine);
  }
  void TearDown() override {
    unsetenv("VORN_RIG_SIM_TOKEN");
    setenv("VORN_RIG_SIM_ROOT", m_oldRoot.c_str(), 1);
  }
  std::unique_ptr<HeadlessProcess> Start(QStringList arguments) {
    auto process = std::make_unique<HeadlessProcess>(arguments);
    EXPECT_TRUE(process->WaitForStarted());
    EXPECT_TRUE(process->WaitForStatus("Run started", 20000)) << process->Status();
    return process;
  }

  std::string m_oldRoot;
  std::string m_root;
  uint16_t m_witsPort = FreePort();
  uint16_t m_apiPort = FreePort();
};

TEST_F(ControlApiProcessTest, ServesEveryEndpointAndStreamsTheModeTheEngineChanges) {
  auto sim = Start({"--control", QString::number(m_apiPort), "--ten-times"});
  EXPECT_TRUE(Has(sim->Status(), "Control API on http://127.0.0.1:" + std::to_string(m_apiPort) + "/api/v1/"));
  CHttpClient api(m_apiPort);
  for (const char* path : {"/api/v1/status", "/api/v1/channels", "/api/v1/items", "/api/v1/received",
                           "/api/v1/settings", "/api/v1/link"}) {
    EXPECT_EQ(api.Get(path).status, 200) << path;
  }
  // What a receiver sends shows in the received items and on the stream.
  CEventReader events(m_apiPort);
  ASSERT_TRUE(events.WaitOpen());
  QTcpSocket receiver;
  receiver.connectToHost("127.0.0.1", m_witsPort);
  ASSERT_TRUE(WaitUntil([&] { return receiver.state() == QAbstractSocket::ConnectedState; }, 10000));
  receiver.write("&&\r\n0108123.5\r\n!!\r\n");
  EXPECT_FALSE(events.WaitFor({R"("event":"arrival","text":"&&\r\n0108123.5\r\n!!\r\n")"}, 10000).empty());
  EXPECT_TRUE(Has(api.Get("/api/v1/received").body, R"([{"record":1,"item":8,"description":)"));
  EXPECT_TRUE(Has(api.Get("/api/v1/received").body, R"("valueText":"123.5","ageSeconds":)"));
  EXPECT_FALSE(events.WaitFor({R"("event":"frame-out")", R"("sent":true)"}, 10000).empty());

  // A trip out from near the surface: the engine itself turns it into a trip in.
  ASSERT_EQ(api.Send("PUT", "/api/v1/settings",
                     R"({"m_fTimeToWaitForSettingsSlips_sec": 0, "m_fTimeToWaitForReleasingSlips_sec": 0})")
                .status,
            200);
  ASSERT_EQ(api.Send("POST", "/api/v1/run", R"({"running": false})").status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/hole-depth", R"({"depth": 3})").status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/default-start-state").status, 200);  // allowed between runs
  ASSERT_EQ(api.Send("POST", "/api/v1/hole-depth", R"({"depth": 3})").status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/mode", R"({"mode": "Trip Out"})").status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/gain", R"({"percent": 40})").status, 200);
  ASSERT_EQ(api.Send("PUT", "/api/v1/items", api.Get("/api/v1/items").body).status, 200);
  ASSERT_EQ(api.Send("PUT", "/api/v1/link", api.Get("/api/v1/link").body).status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/ten-times", R"({"on": true})").status, 200);
  ASSERT_EQ(api.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  EXPECT_EQ(events.WaitFor({R"("event":"mode")", R"("byEngine":true)"}, 30000),
            R"({"event":"mode","index":2,"name":"Trip In","byEngine":true})");
  EXPECT_TRUE(WaitUntil([&] { return Has(sim->Status(), "Mode Trip In"); }, 10000));
  EXPECT_TRUE(
      Has(std::string(std::istreambuf_iterator<char>(std::ifstream(SimSettingsPath()).rdbuf()), {}), "\"m_mode\": 2"));
  EXPECT_EQ(sim->Terminate(), 0);
}

TEST_F(ControlApiProcessTest, TokenFromTheEnvironmentGuardsEveryRequest) {
  setenv("VORN_RIG_SIM_TOKEN", "bench-secret", 1);
  auto sim = Start({"--control", "127.0.0.1:" + QString::number(m_apiPort)});
  EXPECT_EQ(CHttpClient(m_apiPort).Get("/api/v1/status").status, 401);
  EXPECT_EQ(CHttpClient(m_apiPort, "bench-secreT").Get("/api/v1/status").status, 401);
  EXPECT_EQ(CHttpClient(m_apiPort, "bench-secret").Get("/api/v1/status").status, 200);
  EXPECT_EQ(sim->Terminate(), 0);
}

// A body of many megabytes is refused from its head and read away without being kept.
TEST_F(ControlApiProcessTest, OversizedBodyIsRefusedWithoutGrowingMemory) {
  // Under AddressSanitizer freed memory is held back for a while; without that hold the resident
  // size shows what is live.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string asanBefore = asan ? asan : "";
  setenv("ASAN_OPTIONS", (asanBefore + ":quarantine_size_mb=0").c_str(), 1);
  auto sim = Start({"--control", QString::number(m_apiPort)});
  setenv("ASAN_OPTIONS", asanBefore.c_str(), 1);
  CHttpClient api(m_apiPort);
  ASSERT_EQ(api.Get("/api/v1/status").status, 200);
  const long before = ResidentKiB(sim->Pid());
  constexpr size_t kBody = 48u * 1024 * 1024;
  QTcpSocket& socket = api.Socket();
  const std::string head =
      "PUT /api/v1/items HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(kBody) + "\r\n\r\n";
  socket.write(head.data(), static_cast<qint64>(head.size()));
  const QByteArray chunk(1024 * 1024, '[');
  for (size_t sent = 0; sent < kBody; sent += static_cast<size_t>(chunk.size())) {
    socket.write(chunk);
    ASSERT_TRUE(WaitUntil([&] { return socket.bytesToWrite() < 2 * chunk.size(); }, 20000));
  }
  std::string answer;
  EXPECT_TRUE(WaitUntil(
      [&] {
        answer += socket.readAll().toStdString();
        return Has(answer, "\r\n\r\n{\"error\"");
      },
      20000));
  EXPECT_TRUE(answer.starts_with("HTTP/1.1 413 Payload Too Large\r\n")) << answer;
  const long after = ResidentKiB(sim->Pid());
  EXPECT_LT(after - before, 8 * 1024) << before << " KiB before, " << after << " KiB after";
  EXPECT_EQ(CHttpClient(m_apiPort).Get("/api/v1/status").status, 200);  // the server goes on
  EXPECT_EQ(sim->Terminate(), 0);
}

// Without --control the program opens no port but its link's, and says nothing of an API.
TEST_F(ControlApiProcessTest, WithoutControlNoPortIsOpened) {
  auto sim = Start({});
  EXPECT_TRUE(WaitUntil([&] { return ListeningPorts(sim->Pid()).contains(m_witsPort); }, 10000));
  EXPECT_EQ(ListeningPorts(sim->Pid()), std::set<int>{m_witsPort});
  EXPECT_EQ(sim->Terminate(), 0);
  EXPECT_FALSE(Has(sim->Status(), "Control API"));
}

TEST_F(ControlApiProcessTest, BadOptionsExitTwoAndABusyPortExitsOne) {
  for (const QStringList& arguments :
       {QStringList{"--control", "70000"}, QStringList{"--control", "host:80"}, QStringList{"--control-token", "x"}}) {
    HeadlessProcess bad(arguments);
    EXPECT_EQ(bad.WaitForExit(10000), 2) << arguments.join(' ').toStdString();
    EXPECT_TRUE(Has(bad.Status(), "--control")) << bad.Status();
  }
  QTcpServer busy;
  ASSERT_TRUE(busy.listen(QHostAddress::LocalHost, m_apiPort));
  HeadlessProcess blocked({"--control", QString::number(m_apiPort)});
  EXPECT_EQ(blocked.WaitForExit(10000), 1);
  EXPECT_TRUE(Has(blocked.Status(), "Control API: cannot listen on 127.0.0.1:" + std::to_string(m_apiPort)));
  EXPECT_FALSE(Has(blocked.Status(), "Run started"));
}

// The bench script of the examples against the real program: it says whether it started the run
// or found it running.
TEST_F(ControlApiProcessTest, TheBenchScriptSaysWhetherItStartedTheRun) {
  auto sim = Start({"--control", QString::number(m_apiPort)});  // headless: running from the start
  const auto bench = [this] {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start("python3", {VORN_SOURCE_DIR "/examples/bench.py", "--url",
                             "http://127.0.0.1:" + QString::number(m_apiPort), "--timeout", "20"});
    EXPECT_TRUE(script.waitForFinished(30000));
    EXPECT_EQ(script.exitCode(), 0);
    return script.readAll().toStdString();
  };
  std::string printed = bench();
  EXPECT_TRUE(Has(printed, "\nrun already running\ntripping out\n")) << printed;
  EXPECT_TRUE(Has(printed, "mode changed to Trip Out by the bench")) << printed;

  CHttpClient api(m_apiPort);
  ASSERT_EQ(api.Send("POST", "/api/v1/run", R"({"running": false})").status, 200);
  printed = bench();
  EXPECT_TRUE(Has(printed, "\nrun started\nalready tripping out\n")) << printed;
  EXPECT_TRUE(Has(api.Get("/api/v1/status").body, R"("running":true)"));
  EXPECT_EQ(sim->Terminate(), 0);
}

// The open file descriptors of a process.
int OpenDescriptors(qint64 pid) {
  const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
  return static_cast<int>(std::distance(std::filesystem::directory_iterator(fds), std::filesystem::directory_iterator()));
}

// Loopback connections from plain non-blocking sockets of the test, closed together.
class ConnectionFlood {
 public:
  ~ConnectionFlood() { CloseAll(); }
  void Open(uint16_t port, int count) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    for (int i = 0; i < count; ++i) {
      const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      if (fd < 0) return;
      (void)::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
      m_fds.push_back(fd);
    }
  }
  [[nodiscard]] std::string Errors() const {
    std::string text;
    for (const int fd : m_fds) {
      int error = 0;
      socklen_t size = sizeof error;
      getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
      text += std::to_string(error) + " ";
    }
    return std::to_string(m_fds.size()) + ": " + text;
  }
  void CloseAll() {
    for (const int fd : m_fds) ::close(fd);
    m_fds.clear();
  }

 private:
  std::vector<int> m_fds;
};

// Idle API connections up to the process's open-file limit: the API leaves the last descriptors
// free (a connection past them is answered 503 and closed), and answers again once they close; a WITS receiver gets frames all along;
// and a stop while they are held still saves the state and exits 0.
TEST_F(ControlApiProcessTest, RunningOutOfDescriptorsIsSurvivedAndTheStateStillSaved) {
  constexpr unsigned kOpenFileLimit = 120;
  const uint16_t port = FreePort();
  HeadlessProcess simulator({"--control", QString::number(port), "--control-max-connections", "1000"},
                            HeadlessProcess::StopSignalsAtStart::Open, kOpenFileLimit);
  ASSERT_TRUE(simulator.WaitForStarted());
  ASSERT_TRUE(simulator.WaitForStatus("Run started", 30000)) << simulator.Status();
  const qint64 pid = simulator.Pid();
  ASSERT_LT(OpenDescriptors(pid), static_cast<int>(kOpenFileLimit) - 20);

  // A receiver first, so the sanitizers of a test build have met the link's types: their check of a
  // type met for the first time opens a pipe, which a process without descriptors cannot.
  const auto receiveFrame = [&] {
    QTcpSocket receiver;
    receiver.connectToHost("127.0.0.1", m_witsPort);
    std::string frames;
    return WaitUntil(
        [&] {
          frames += receiver.readAll().toStdString();
          return frames.find("!!\r\n") != std::string::npos;
        },
        20000);
  };
  ASSERT_TRUE(receiveFrame()) << simulator.Status();

  ConnectionFlood flood;
  flood.Open(port, kOpenFileLimit);
  ASSERT_TRUE(WaitUntil([&] { return OpenDescriptors(pid) >= static_cast<int>(kOpenFileLimit) - 20; }, 20000))
      << OpenDescriptors(pid) << flood.Errors() << simulator.Status();
  // The API keeps the process's last descriptors free: the link still takes a receiver meanwhile.
  EXPECT_TRUE(receiveFrame()) << simulator.Status();
  flood.CloseAll();

  CHttpClient client(port);
  // Once the server has seen them close (until then a client may still be turned away).
  ASSERT_TRUE(WaitUntil([&] { return client.Send("GET", "/api/v1/status", {}, {}, 2000).status == 200; }, 30000))
      << simulator.Status();
  EXPECT_TRUE(receiveFrame()) << simulator.Status();

  // Out of descriptors again, then a stop: the state is saved all the same.
  const std::filesystem::path state = SimStatePath();
  std::filesystem::remove(state);
  flood.Open(port, kOpenFileLimit);
  ASSERT_TRUE(WaitUntil([&] { return OpenDescriptors(pid) >= static_cast<int>(kOpenFileLimit) - 20; }, 20000));
  EXPECT_EQ(simulator.Terminate(30000), 0) << simulator.Status();
  EXPECT_TRUE(std::filesystem::exists(state)) << simulator.Status();
  EXPECT_FALSE(Has(simulator.Status(), "State not saved")) << simulator.Status();
}

}  // namespace
