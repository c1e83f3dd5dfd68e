// What one client may hold of the control API, on real loopback sockets: the connection limit, the
// request and idle timeouts, malformed and oversized requests answered, and every connection object
// given back once its connection is closed.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpSocket>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>

#include "command/RigController.h"
#include "control/ControlServer.h"
#include "persist/SettingsFiles.h"
#include "tests/common/EventWait.h"
#include "tests/control/HttpClient.h"

namespace {

using namespace std::chrono_literals;
using vorn::control::CControlServer;
using vorn::control::ControlOptions;
using vorn::test::CEventReader;
using vorn::test::CHttpClient;
using vorn::test::WaitUntil;

// A plain connection: what it sends, everything it got, and whether the server closed it.
class RawConnection {
 public:
  explicit RawConnection(uint16_t port) {
    m_socket.connectToHost(QHostAddress::LocalHost, port);
    m_socket.waitForConnected(5000);
  }
  void Send(const std::string& bytes) { m_socket.write(bytes.data(), static_cast<qint64>(bytes.size())); }
  // Waits until a whole answer has come (its head and the body its length gives).
  bool WaitAnswer(int timeoutMs) {
    return WaitUntil(
        [&] {
          const std::string& bytes = Bytes();
          const size_t end = bytes.find("\r\n\r\n");
          const size_t length = bytes.find("Content-Length: ");
          return end != std::string::npos && length != std::string::npos &&
                 bytes.size() >= end + 4 + std::stoul(bytes.substr(length + 16));
        },
        timeoutMs);
  }
  // Waits until the server has closed the connection; what came until then.
  bool WaitClosed(int timeoutMs) {
    return WaitUntil(
        [&] {
          m_bytes += m_socket.readAll().toStdString();
          return m_socket.state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
  }
  [[nodiscard]] bool Open() { return m_socket.state() == QAbstractSocket::ConnectedState; }
  const std::string& Bytes() {
    m_bytes += m_socket.readAll().toStdString();
    return m_bytes;
  }
  void Close() { m_socket.abort(); }

 private:
  QTcpSocket m_socket;
  std::string m_bytes;
};

class ControlConnectionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(SimSettingsPath());
    m_controller.LoadAtStartup();
  }
  void TearDown() override {
    m_server.reset();
    m_controller.Close();
  }
  void Start(const vorn::control::ConnectionLimits& limits) {
    ControlOptions options;
    options.limits = limits;
    m_server = std::make_unique<CControlServer>([this](int rig) { return rig == 0 ? &m_controller : nullptr; },
                                                options);
    std::string error;
    ASSERT_TRUE(m_server->Listen(error)) << error;
  }
  uint16_t Port() const { return m_server->Port(); }
  bool LiveConnectionsBecome(int count) {
    return WaitUntil([&] { return m_server->LiveConnections() == count; }, 10000);
  }

  CRigSim m_engine;
  CRigController m_controller{m_engine};
  std::unique_ptr<CControlServer> m_server;
};

TEST_F(ControlConnectionsTest, AConnectionBeyondTheLimitIsAnswered503AndClosedAtOnce) {
  Start({.maxConnections = 4});
  std::vector<std::unique_ptr<RawConnection>> held;
  for (int i = 0; i < 4; ++i) held.push_back(std::make_unique<RawConnection>(Port()));
  ASSERT_TRUE(LiveConnectionsBecome(4));
  RawConnection extra(Port());
  extra.Send("GET /api/v1/status HTTP/1.1\r\n\r\n");
  ASSERT_TRUE(extra.WaitClosed(5000));
  EXPECT_TRUE(extra.Bytes().starts_with("HTTP/1.1 503 Service Unavailable\r\n")) << extra.Bytes();
  EXPECT_NE(extra.Bytes().find("serves 4 connections at once"), std::string::npos) << extra.Bytes();
  EXPECT_EQ(m_server->LiveConnections(), 4);

  held.pop_back();  // one leaves: the next client is served
  ASSERT_TRUE(LiveConnectionsBecome(3));
  CHttpClient client(Port());
  EXPECT_EQ(client.Get("/api/v1/status").status, 200);
}

TEST_F(ControlConnectionsTest, SilentSlowAndIdleConnectionsAreClosedButEventStreamsStay) {
  Start({.maxConnections = 64, .requestTimeout = 300ms, .idleTimeout = 600ms});
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  RawConnection silent(Port());
  RawConnection slow(Port());
  slow.Send("GET /api/v1/status HTTP/1.1\r\nHost: 127");  // a head that never ends
  CHttpClient kept(Port());
  ASSERT_EQ(kept.Get("/api/v1/status").status, 200);
  const Clock::time_point answered = Clock::now();
  CEventReader stream(Port());
  ASSERT_TRUE(stream.WaitOpen());

  ASSERT_TRUE(silent.WaitClosed(5000));
  EXPECT_EQ(silent.Bytes(), "");  // nothing came, nothing to answer
  ASSERT_TRUE(slow.WaitClosed(5000));
  EXPECT_TRUE(slow.Bytes().starts_with("HTTP/1.1 408 ")) << slow.Bytes();
  EXPECT_GE(Clock::now() - start, 300ms);
  ASSERT_TRUE(WaitUntil([&] { return kept.Socket().state() == QAbstractSocket::UnconnectedState; }, 5000));
  EXPECT_GE(Clock::now() - answered, 600ms);  // the idle timeout, not the request's
  // The stream outlives both timeouts and still carries events.
  ASSERT_TRUE(m_controller.SetMode(Idle).IsDone());
  EXPECT_FALSE(stream.WaitFor({"\"mode\""}, 5000).empty());
  EXPECT_EQ(stream.Socket().state(), QAbstractSocket::ConnectedState);
}

TEST_F(ControlConnectionsTest, MalformedRequestsAre400AndOversizedBodies413WhateverTheirSize) {
  Start({});
  // Request lines and heads that are not HTTP/1.1 as the API reads it, and random bytes.
  std::vector<std::string> heads = {"GARBAGE\r\n\r\n", "GET\r\n\r\n", "GET /x\r\n\r\n", "GET x HTTP/1.1\r\n\r\n",
                                    "GET /a b HTTP/1.1\r\n\r\n", "GET /x HTTP/2.0\r\n\r\n", "FOO /x HTTP/1.1\r\n\r\n",
                                    "GET /x HTTP/1.1\r\nNo colon here\r\n\r\n", "GET /x HTTP/1.1\r\n folded\r\n\r\n",
                                    "GET /x HTTP/1.1\r\nX: a\x01" "b\r\n\r\n", "GET /\x7f HTTP/1.1\r\n\r\n"};
  std::mt19937 random(7);
  for (int i = 0; i < 20; ++i) {
    std::string bytes(std::uniform_int_distribution<int>(1, 200)(random), '\0');
    for (char& c : bytes) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    if (bytes[0] == '\r' || bytes[0] == '\n') bytes[0] = '#';
    heads.push_back(bytes);
  }
  for (const std::string& head : heads) {
    RawConnection connection(Port());
    connection.Send(head);
    ASSERT_TRUE(connection.WaitAnswer(5000)) << head;
    EXPECT_TRUE(connection.Bytes().starts_with("HTTP/1.1 400 Bad Request\r\n")) << head << "\n" << connection.Bytes();
  }

  // A body far over the bound, sent whole before the answer is read: 413, and never a reset.
  for (const uint64_t size : {uint64_t{100} * 1024, uint64_t{65} * 1024 * 1024 + 1}) {
    CHttpClient client(Port());
    const vorn::test::HttpAnswer answer = client.Send("PUT", "/api/v1/items", std::string(size, '['), {}, 60000);
    EXPECT_EQ(answer.status, 413) << size;
  }
  EXPECT_TRUE(LiveConnectionsBecome(0));
}

// Connections of every kind opened and closed by their clients, many times: every connection object
// is given back.
TEST_F(ControlConnectionsTest, ClosedConnectionsLeaveNoConnectionObjectBehind) {
  Start({.maxConnections = 1000});
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<RawConnection>> idle;
    std::vector<std::unique_ptr<CHttpClient>> kept;
    std::vector<std::unique_ptr<CEventReader>> streams;
    for (int i = 0; i < 40; ++i) {
      idle.push_back(std::make_unique<RawConnection>(Port()));
      if (i % 4 == 1) idle.back()->Send("GET /api/v1/status HTTP/1.1\r\nHo");  // cut off in its head
      if (i % 4 == 2) idle.back()->Send("BREW /pot HTTP/1.1\r\n\r\n");         // malformed
      kept.push_back(std::make_unique<CHttpClient>(Port()));
      ASSERT_EQ(kept.back()->Get("/api/v1/status").status, 200);
      if (i % 8 == 0) {
        streams.push_back(std::make_unique<CEventReader>(Port()));
        ASSERT_TRUE(streams.back()->WaitOpen());
      }
    }
    EXPECT_GT(m_server->LiveConnections(), 40);
    idle.clear();
    kept.clear();
    streams.clear();
    EXPECT_TRUE(LiveConnectionsBecome(0)) << m_server->LiveConnections() << " left in round " << round;
  }
}

}  // namespace
