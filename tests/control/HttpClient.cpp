#include "tests/control/HttpClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QHostAddress>
#include <algorithm>
#include <cctype>

#include "tests/common/EventWait.h"

namespace vorn::test {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

}  // namespace

CHttpClient::CHttpClient(uint16_t port, std::string token) : m_port(port), m_token(std::move(token)) {}

bool CHttpClient::Connect() {
  if (m_socket.state() == QAbstractSocket::ConnectedState) return true;
  m_socket.abort();
  m_bytes.clear();
  m_socket.connectToHost(QHostAddress::LocalHost, m_port);
  return WaitUntil([&] { return m_socket.state() == QAbstractSocket::ConnectedState; }, 10000);
}

HttpAnswer CHttpClient::Send(const std::string& method, const std::string& path, const std::string& body,
                             const std::vector<std::string>& extraHeaders, int timeoutMs) {
  std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  if (!m_token.empty()) request += "Authorization: Bearer " + m_token + "\r\n";
  for (const std::string& header : extraHeaders) request += header + "\r\n";
  if (!body.empty() || method != "GET") request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  request += "\r\n" + body;
  return Raw(request, timeoutMs);
}

HttpAnswer CHttpClient::Raw(const std::string& bytes, int timeoutMs) {
  if (!Connect()) return {};
  m_socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return Receive(timeoutMs);
}

HttpAnswer CHttpClient::Receive(int timeoutMs) {
  HttpAnswer answer;
  const auto complete = [&] {
    m_bytes += m_socket.readAll().toStdString();
    for (;;) {
      const size_t headEnd = m_bytes.find("\r\n\r\n");
      if (headEnd == std::string::npos) return false;
      const std::string head = m_bytes.substr(0, headEnd);
      if (head.starts_with("HTTP/1.1 100")) {  // an interim answer
        m_bytes.erase(0, headEnd + 4);
        continue;
      }
      HttpAnswer parsed;
      parsed.status = std::atoi(head.substr(9, 3).c_str());
      size_t at = head.find("\r\n");
      while (at != std::string::npos) {
        const size_t next = head.find("\r\n", at + 2);
        const std::string line = head.substr(at + 2, next == std::string::npos ? std::string::npos : next - at - 2);
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
          parsed.headers[Lower(line.substr(0, colon))] = line.substr(line.find_first_not_of(' ', colon + 1));
        }
        at = next;
      }
      const size_t length = std::stoul(parsed.headers.count("content-length") ? parsed.headers["content-length"] : "0");
      if (m_bytes.size() < headEnd + 4 + length) return false;
      parsed.body = m_bytes.substr(headEnd + 4, length);
      m_bytes.erase(0, headEnd + 4 + length);
      answer = parsed;
      return true;
    }
  };
  WaitUntil(complete, timeoutMs);
  return answer;
}

CEventReader::CEventReader(uint16_t port, const std::string& path, std::string token) {
  m_socket.connectToHost(QHostAddress::LocalHost, port);
  std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/event-stream\r\n";
  if (!token.empty()) request += "Authorization: Bearer " + token + "\r\n";
  request += "\r\n";
  m_socket.write(request.data(), static_cast<qint64>(request.size()));
}

bool CEventReader::WaitOpen(int timeoutMs) {
  return WaitUntil(
      [&] {
        Take();
        return m_bytes.starts_with("HTTP/1.1 200") && m_bytes.find("text/event-stream") != std::string::npos &&
               m_bytes.find("\r\n\r\n") != std::string::npos;
      },
      timeoutMs);
}

void CEventReader::Take() {
  m_bytes += m_socket.readAll().toStdString();
  for (;;) {
    const size_t end = m_bytes.find("\n\n", m_parsed);
    if (end == std::string::npos) return;
    const std::string block = m_bytes.substr(m_parsed, end - m_parsed);
    m_parsed = end + 2;
    if (block.starts_with("data: ")) m_events.push_back(block.substr(6));
  }
}

std::vector<std::string> CEventReader::Events() {
  Take();
  return m_events;
}

std::string CEventReader::WaitFor(const std::vector<std::string>& parts, int timeoutMs) {
  std::string found;
  size_t from = 0;
  WaitUntil(
      [&] {
        Take();
        for (; from < m_events.size(); ++from) {
          const std::string& event = m_events[from];
          if (std::all_of(parts.begin(), parts.end(),
                          [&](const std::string& p) { return event.find(p) != std::string::npos; })) {
            found = event;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

CStalledReader::CStalledReader(uint16_t port) {
  m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
  const int size = 4096;  // before connecting, so the window is small from the start
  ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);  // loopback: at once
  const std::string request = "GET /api/v1/events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  (void)::send(m_fd, request.data(), request.size(), MSG_NOSIGNAL);
  ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

CStalledReader::~CStalledReader() { ::close(m_fd); }

bool CStalledReader::ReadToEnd(int timeoutMs) {
  return WaitUntil(
      [&] {
        char chunk[65536];
        for (;;) {
          const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
          if (got > 0) {
            m_bytes.append(chunk, static_cast<size_t>(got));
            continue;
          }
          if (got == 0) return true;                       // closed by the server
          return errno != EAGAIN && errno != EWOULDBLOCK;  // reset by the server
        }
      },
      timeoutMs);
}

}  // namespace vorn::test
