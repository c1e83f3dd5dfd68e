// pump-listener: a window that receives the simulator's pumps notice and prints one line for each
// ("pumps on" / "pumps off"). Integrators run it to check that the notice reaches their desktop; the
// tests use it as the receiving program.
//
//   pump-listener [TITLE]     TITLE defaults to "QUARKLET pump listener"
//
// Standard output is line-buffered, so each notice can be read as it comes. It ends on SIGTERM or
// Ctrl+C, when its window is closed, or when the X server goes away (exit 1).
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/PumpMessage.h"

namespace {

xcb_atom_t Intern(xcb_connection_t* c, std::string_view name) {
  xcb_intern_atom_reply_t* reply =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

void SetText(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type, std::string_view text) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, property, type, 8, static_cast<std::uint32_t>(text.size()),
                      text.data());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))) {
    std::fprintf(argc > 2 ? stderr : stdout, "Usage: %s [TITLE]\n(default title \"QUARKLET pump listener\")\n",
                 argv[0]);
    return argc > 2 ? 2 : 0;
  }
  const std::string title = argc == 2 ? argv[1] : "QUARKLET pump listener";
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) {
    const char* display = std::getenv("DISPLAY");
    std::fprintf(stderr, "pump-listener: cannot open the X display \"%s\"\n", display ? display : "");
    xcb_disconnect(c);
    return 1;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  const xcb_screen_t* screen = screens.data;

  const xcb_window_t window = xcb_generate_id(c);
  const std::uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 320, 60, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

  const xcb_atom_t messageType = Intern(c, vorn::pumps::kMessageType);
  const xcb_atom_t netWmName = Intern(c, "_NET_WM_NAME");
  const xcb_atom_t utf8String = Intern(c, "UTF8_STRING");
  const xcb_atom_t wmProtocols = Intern(c, "WM_PROTOCOLS");
  const xcb_atom_t wmDeleteWindow = Intern(c, "WM_DELETE_WINDOW");
  SetText(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, title);
  SetText(c, window, netWmName, utf8String, title);
  SetText(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, std::string_view("pump-listener\0pump-listener\0", 28));
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, wmProtocols, XCB_ATOM_ATOM, 32, 1, &wmDeleteWindow);
  xcb_map_window(c, window);

  // One round trip: once it returns, the window is mapped and findable by its title.
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  std::fprintf(stderr, "pump-listener: window 0x%x \"%s\" is listening\n", window, title.c_str());

  while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
    if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
      const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
      if (message->type == messageType && message->format == 32 &&
          message->data.data32[0] == vorn::pumps::kMessageNumber) {
        std::puts(message->data.data32[1] ? "pumps on" : "pumps off");
      } else if (message->type == wmProtocols && message->data.data32[0] == wmDeleteWindow) {
        std::free(event);
        xcb_disconnect(c);
        return 0;
      }
    }
    std::free(event);
  }
  std::fprintf(stderr, "pump-listener: the X server went away\n");
  xcb_disconnect(c);
  return 1;
}
