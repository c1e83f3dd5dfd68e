#include "tests/pump/XDisplay.h"

#include <xcb/xcb.h>

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "tests/common/EventWait.h"

#ifndef VORN_PUMP_LISTENER
#error "VORN_PUMP_LISTENER must name tools/pump-listener"
#endif

namespace vorn::test {

namespace {
constexpr int kStartMs = 15000;
}

XServer::~XServer() { Stop(); }

QString XServer::Program() { return QStandardPaths::findExecutable("Xvfb"); }

// With -displayfd the server writes its display number once it accepts clients; without a name it
// picks a free number itself, so tests running side by side never collide.
std::string XServer::Start(const std::string& displayName, const std::string& screen) {
  // -noreset: the server would otherwise start afresh whenever its last client leaves, and refuse the
  // next client for that moment.
  QStringList arguments{"-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", QString::fromStdString(screen)};
  if (!displayName.empty()) arguments.prepend(QString::fromStdString(displayName));
  m_display.clear();
  m_process.setProgram(Program());
  m_process.setArguments(arguments);
  m_process.setStandardErrorFile(QProcess::nullDevice());
  m_process.start();
  if (!m_process.waitForStarted(kStartMs)) return {};

  std::string number;
  const bool ready = WaitUntil(
      [&] {
        number += m_process.readAllStandardOutput().toStdString();
        return number.find('\n') != std::string::npos || m_process.state() == QProcess::NotRunning;
      },
      kStartMs);
  if (!ready || number.find('\n') == std::string::npos) return {};
  m_display = ":" + number.substr(0, number.find('\n'));
  return m_display;
}

void XServer::Stop() {
  if (m_process.state() != QProcess::NotRunning) {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
      m_process.kill();
      m_process.waitForFinished(5000);
    }
  }
}

PumpListener::PumpListener(const std::string& display, const std::string& title) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display));
  m_process.setProcessEnvironment(environment);
  m_process.setProgram(VORN_PUMP_LISTENER);
  m_process.setArguments({QString::fromStdString(title)});
  m_process.start();
}

PumpListener::~PumpListener() {
  if (m_process.state() != QProcess::NotRunning) {
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) m_process.kill();
    m_process.waitForFinished(5000);
  }
}

bool PumpListener::WaitUntilListening() {
  const bool listening = WaitUntil(
      [&] {
        m_status += m_process.readAllStandardError().toStdString();
        return m_status.find("is listening") != std::string::npos || m_process.state() == QProcess::NotRunning;
      },
      kStartMs);
  const auto at = m_status.find("window 0x");
  if (!listening || at == std::string::npos) return false;
  m_window = static_cast<uint32_t>(std::strtoul(m_status.c_str() + at + 7, nullptr, 16));
  return true;
}

std::vector<std::string> PumpListener::Lines() {
  m_output += m_process.readAllStandardOutput().toStdString();
  std::vector<std::string> lines;
  std::istringstream in(m_output);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool PumpListener::WaitForLines(std::size_t count, int timeoutMs) {
  return WaitUntil([&] { return Lines().size() >= count; }, timeoutMs);
}

}  // namespace vorn::test

namespace vorn::test {
namespace {

// One connection to the display for one question; closed when it goes out of scope.
struct Connection {
  explicit Connection(const std::string& display) : c(xcb_connect(display.c_str(), nullptr)) {}
  ~Connection() { xcb_disconnect(c); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  [[nodiscard]] bool Ok() const { return xcb_connection_has_error(c) == 0; }
  [[nodiscard]] xcb_window_t Root() const { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }
  xcb_connection_t* c;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

std::string TextProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
  if (property == XCB_ATOM_NONE) return {};
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
  std::string text;
  if (reply != nullptr) {
    text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                static_cast<size_t>(xcb_get_property_value_length(reply)));
  }
  std::free(reply);
  return text;
}

}  // namespace

uint32_t FindWindowByTitle(const std::string& display, const std::string& title) {
  const Connection x(display);
  if (!x.Ok()) return 0;
  const xcb_atom_t netName = Atom(x.c, "_NET_WM_NAME");
  xcb_query_tree_reply_t* tree = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, x.Root()), nullptr);
  if (tree == nullptr) return 0;
  uint32_t found = 0;
  const xcb_window_t* children = xcb_query_tree_children(tree);
  for (int i = 0; i < xcb_query_tree_children_length(tree) && found == 0; ++i) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, children[i]), nullptr);
    const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(attributes);
    if (!viewable) continue;
    std::string name = TextProperty(x.c, children[i], netName);
    if (name.empty()) name = TextProperty(x.c, children[i], XCB_ATOM_WM_NAME);
    if (name == title) found = children[i];
  }
  std::free(tree);
  return found;
}

QImage GrabWindow(const std::string& display, uint32_t window) {
  const Connection x(display);
  if (!x.Ok()) return {};
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr);
  if (geometry == nullptr) return {};
  const int width = geometry->width;
  const int height = geometry->height;
  std::free(geometry);
  xcb_get_image_reply_t* image = xcb_get_image_reply(
      x.c,
      xcb_get_image(x.c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, static_cast<uint16_t>(width),
                    static_cast<uint16_t>(height), ~0U),
      nullptr);
  if (image == nullptr) return {};
  QImage grabbed;
  // A 24-bit screen keeps each pixel in 32 bits, blue first: Qt's RGB32 on a little-endian machine.
  if (image->depth == 24 && xcb_get_image_data_length(image) >= width * height * 4) {
    grabbed = QImage(xcb_get_image_data(image), width, height, width * 4, QImage::Format_RGB32).copy();
  }
  std::free(image);
  return grabbed;
}

}  // namespace vorn::test
