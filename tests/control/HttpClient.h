#pragma once

#include <QTcpSocket>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vorn::test {

struct HttpAnswer {
  int status = 0;                              // 0: no complete answer came in time
  std::map<std::string, std::string> headers;  // names in lower case
  std::string body;
};

// A plain HTTP/1.1 client on a loopback socket, one request at a time on one kept-alive connection,
// every wait bounded.
class CHttpClient {
 public:
  explicit CHttpClient(uint16_t port, std::string token = {});

  HttpAnswer Send(const std::string& method, const std::string& path, const std::string& body = {},
                  const std::vector<std::string>& extraHeaders = {}, int timeoutMs = 10000);
  HttpAnswer Get(const std::string& path) { return Send("GET", path); }
  // Bytes as they stand, and the answer they get.
  HttpAnswer Raw(const std::string& bytes, int timeoutMs = 10000);

  QTcpSocket& Socket() { return m_socket; }

 private:
  bool Connect();
  HttpAnswer Receive(int timeoutMs);

  uint16_t m_port;
  std::string m_token;
  QTcpSocket m_socket;
  std::string m_bytes;
};

// A reader of the event stream: the JSON text of each event, in order.
class CEventReader {
 public:
  explicit CEventReader(uint16_t port, const std::string& path = "/api/v1/events", std::string token = {});

  // True once the stream's head (200, text/event-stream) has come.
  bool WaitOpen(int timeoutMs = 10000);
  // Events so far (their JSON texts).
  std::vector<std::string> Events();
  // Waits until an event holding every text of `parts` comes; that event, or empty.
  std::string WaitFor(const std::vector<std::string>& parts, int timeoutMs);

  QTcpSocket& Socket() { return m_socket; }

 private:
  void Take();

  QTcpSocket m_socket;
  std::string m_bytes;
  size_t m_parsed = 0;
  std::vector<std::string> m_events;
};

// An event reader that stops reading: a plain socket, outside the event loop, whose kernel buffer
// holds only a few KiB, so the server's bytes for it soon stay unsent.
class CStalledReader {
 public:
  explicit CStalledReader(uint16_t port);
  ~CStalledReader();
  CStalledReader(const CStalledReader&) = delete;
  CStalledReader& operator=(const CStalledReader&) = delete;

  // Reads again, everything, until the server has closed the connection (true) or timeoutMs passed.
  // The bytes read so far.
  bool ReadToEnd(int timeoutMs);
  [[nodiscard]] const std::string& Bytes() const { return m_bytes; }

 private:
  int m_fd = -1;
  std::string m_bytes;
};

}  // namespace vorn::test
