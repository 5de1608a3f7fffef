#include "platform/ui/X11ServerTime.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace typeloom::platform {

std::uint32_t CurrentX11ServerTime(const char* displayName) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
  if (connection == nullptr) return 0;
  if (xcb_connection_has_error(connection) != 0) {
    xcb_disconnect(connection);
    return 0;
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(connection);
    return 0;
  }
  const xcb_window_t window = xcb_generate_id(connection);
  const std::uint32_t events[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screens.data->root, -1, -1, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, events);
  // An empty append still changes the property, and the server stamps the event.
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
  xcb_flush(connection);
  std::uint32_t time = 0;
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    const int type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) time = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
    std::free(event);
    if (type == XCB_PROPERTY_NOTIFY || type == 0) break;  // the stamp, or an error instead of it
  }
  xcb_destroy_window(connection, window);
  xcb_disconnect(connection);
  return time;
}

}  // namespace typeloom::platform
