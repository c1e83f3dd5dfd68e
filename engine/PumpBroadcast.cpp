#include "engine/PumpBroadcast.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engine/PumpMessage.h"
#include "support/Console.h"

namespace {

// Frees what xcb hands out with malloc.
template <typename T>
struct XcbReply {
  T* p = nullptr;
  explicit XcbReply(T* reply) : p(reply) {}
  ~XcbReply() { std::free(p); }
  XcbReply(const XcbReply&) = delete;
  XcbReply& operator=(const XcbReply&) = delete;
  T* operator->() const { return p; }
  explicit operator bool() const { return p != nullptr; }
};

// A window closed while we read it answers with an error; it simply is no receiver.
xcb_get_property_reply_t* PropertyReply(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
  xcb_generic_error_t* error = nullptr;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
  std::free(error);
  return reply;
}

std::string_view PropertyText(const XcbReply<xcb_get_property_reply_t>& reply) {
  if (!reply || reply->format != 8) return {};
  return {static_cast<const char*>(xcb_get_property_value(reply.p)),
          static_cast<std::size_t>(xcb_get_property_value_length(reply.p))};
}

xcb_atom_t InternAtomReply(xcb_connection_t* c, xcb_intern_atom_cookie_t cookie) {
  xcb_generic_error_t* error = nullptr;
  XcbReply reply(xcb_intern_atom_reply(c, cookie, &error));
  std::free(error);
  return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

}  // namespace

struct CPumpBroadcaster::Display {
  xcb_connection_t* conn = nullptr;
  xcb_window_t root = XCB_WINDOW_NONE;
  xcb_atom_t clientList = XCB_ATOM_NONE;
  xcb_atom_t netWmName = XCB_ATOM_NONE;
  xcb_atom_t utf8String = XCB_ATOM_NONE;
  xcb_atom_t messageType = XCB_ATOM_NONE;

  ~Display() { xcb_disconnect(conn); }

  std::vector<xcb_window_t> TopLevelWindows() const;
  std::vector<xcb_window_t> MappedRootChildren() const;
  std::vector<std::string> Titles(const std::vector<xcb_window_t>& windows) const;
  void Post(xcb_window_t window, bool pumpsOn) const;
  void DropQueuedEvents() const;
};

// The window manager's list of client windows; without a window manager, the root's children that
// are mapped (toolkits keep unmapped helper windows there).
std::vector<xcb_window_t> CPumpBroadcaster::Display::TopLevelWindows() const {
  XcbReply reply(PropertyReply(conn, xcb_get_property(conn, 0, root, clientList, XCB_ATOM_WINDOW, 0, 1u << 16)));
  if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32) {
    const auto* first = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.p));
    return {first, first + xcb_get_property_value_length(reply.p) / 4};
  }
  return MappedRootChildren();
}

std::vector<xcb_window_t> CPumpBroadcaster::Display::MappedRootChildren() const {
  xcb_generic_error_t* error = nullptr;
  XcbReply tree(xcb_query_tree_reply(conn, xcb_query_tree(conn, root), &error));
  std::free(error);
  if (!tree) return {};
  const xcb_window_t* children = xcb_query_tree_children(tree.p);
  const int count = xcb_query_tree_children_length(tree.p);

  std::vector<xcb_get_window_attributes_cookie_t> cookies;
  cookies.reserve(count);
  for (int i = 0; i < count; ++i) cookies.push_back(xcb_get_window_attributes(conn, children[i]));
  std::vector<xcb_window_t> mapped;
  for (int i = 0; i < count; ++i) {
    XcbReply attributes(xcb_get_window_attributes_reply(conn, cookies[i], &error));
    std::free(error);
    error = nullptr;
    if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) mapped.push_back(children[i]);
  }
  return mapped;
}

// Every title in one batch of requests: _NET_WM_NAME (UTF-8) where a window has it, else WM_NAME.
std::vector<std::string> CPumpBroadcaster::Display::Titles(const std::vector<xcb_window_t>& windows) const {
  // Enough 32-bit units for the longest title that takes part, four bytes a character.
  constexpr std::uint32_t kTitleUnits = vorn::pumps::kTitleCharacters;
  std::vector<xcb_get_property_cookie_t> utf8Cookies;
  std::vector<xcb_get_property_cookie_t> plainCookies;
  for (xcb_window_t window : windows) {
    utf8Cookies.push_back(xcb_get_property(conn, 0, window, netWmName, utf8String, 0, kTitleUnits));
    plainCookies.push_back(
        xcb_get_property(conn, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, kTitleUnits));
  }
  std::vector<std::string> titles(windows.size());
  for (std::size_t i = 0; i < windows.size(); ++i) {
    XcbReply utf8(PropertyReply(conn, utf8Cookies[i]));
    titles[i] = PropertyText(utf8);
    XcbReply plain(PropertyReply(conn, plainCookies[i]));  // always collected, so none is left pending
    if (titles[i].empty()) titles[i] = PropertyText(plain);
  }
  return titles;
}

void CPumpBroadcaster::Display::Post(xcb_window_t window, bool pumpsOn) const {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = messageType;
  event.data.data32[0] = vorn::pumps::kMessageNumber;
  event.data.data32[1] = pumpsOn ? 1 : 0;
  event.data.data32[2] = 0;
  xcb_send_event(conn, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
}

// We select no events; what queues up is the errors of posts to windows that closed meanwhile.
void CPumpBroadcaster::Display::DropQueuedEvents() const {
  while (xcb_generic_event_t* event = xcb_poll_for_event(conn)) std::free(event);
}

CPumpBroadcaster::CPumpBroadcaster(std::string displayName) : m_displayName(std::move(displayName)) {}

CPumpBroadcaster::~CPumpBroadcaster() = default;

bool CPumpBroadcaster::Connect() {
  if (m_display && !xcb_connection_has_error(m_display->conn)) return true;
  m_display.reset();  // the server went away: start afresh
  const char* name = m_displayName.empty() ? std::getenv("DISPLAY") : m_displayName.c_str();
  if (name == nullptr || *name == '\0') return false;

  int screenNumber = 0;
  auto display = std::make_unique<Display>();
  display->conn = xcb_connect(name, &screenNumber);
  if (xcb_connection_has_error(display->conn)) return false;

  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(display->conn));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) return false;
  display->root = screens.data->root;

  // Atoms are made when missing: a window manager that starts later finds the same ones.
  const auto intern = [&](std::string_view name) {
    return xcb_intern_atom(display->conn, 0, static_cast<std::uint16_t>(name.size()), name.data());
  };
  const auto clientList = intern("_NET_CLIENT_LIST");
  const auto netWmName = intern("_NET_WM_NAME");
  const auto utf8String = intern("UTF8_STRING");
  const auto messageType = intern(vorn::pumps::kMessageType);
  display->clientList = InternAtomReply(display->conn, clientList);
  display->netWmName = InternAtomReply(display->conn, netWmName);
  display->utf8String = InternAtomReply(display->conn, utf8String);
  display->messageType = InternAtomReply(display->conn, messageType);
  if (display->clientList == XCB_ATOM_NONE || display->netWmName == XCB_ATOM_NONE ||
      display->utf8String == XCB_ATOM_NONE || display->messageType == XCB_ATOM_NONE)
    return false;

  m_display = std::move(display);
  return true;
}

int CPumpBroadcaster::Broadcast(bool pumpsOn) {
  m_receivers.clear();
  if (!Connect()) return 0;
  m_display->DropQueuedEvents();

  const std::vector<xcb_window_t> windows = m_display->TopLevelWindows();
  const std::vector<std::string> titles = m_display->Titles(windows);
  for (std::size_t i = 0; i < windows.size(); ++i)
    if (vorn::pumps::IsReceiverTitle(titles[i])) m_receivers.push_back(windows[i]);

  for (xcb_window_t window : m_receivers) m_display->Post(window, pumpsOn);
  xcb_flush(m_display->conn);
  return static_cast<int>(m_receivers.size());
}

void SendExternalPumpsMessage(bool pumpsOn) {
  vorn::Console() << " SendExternalPumpsMessage " << (pumpsOn ? 1 : 0) << std::endl;
  static CPumpBroadcaster broadcaster;
  broadcaster.Broadcast(pumpsOn);
}
