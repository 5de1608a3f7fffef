#include "platform/ui/X11Activation.h"

#include "platform/ui/StartupNotify.h"
#include "platform/ui/X11ServerTime.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace typeloom::platform {
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
  if (geometry == nullptr) return XCB_WINDOW_NONE;
  const xcb_window_t root = geometry->root;
  std::free(geometry);
  return root;
}

}  // namespace

bool ActivateX11Window(QWindow* window, const std::string& startupId, std::uint32_t fallbackTime) {
  auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || window == nullptr) return false;
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return false;
  const auto id = static_cast<xcb_window_t>(window->winId());
  const xcb_window_t root = RootOf(connection, id);
  if (root == XCB_WINDOW_NONE) return false;

  std::uint32_t time = LaunchTimeOfStartupId(startupId).value_or(fallbackTime);
  if (time == 0) time = CurrentX11ServerTime();

  if (!startupId.empty()) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, Atom(connection, "_NET_STARTUP_ID"),
                        Atom(connection, "UTF8_STRING"), 8, static_cast<std::uint32_t>(startupId.size()),
                        startupId.data());
  }

  xcb_client_message_event_t activate{};
  activate.response_type = XCB_CLIENT_MESSAGE;
  activate.format = 32;
  activate.window = id;
  activate.type = Atom(connection, "_NET_ACTIVE_WINDOW");
  activate.data.data32[0] = 1;  // source: an application
  activate.data.data32[1] = time;
  activate.data.data32[2] = XCB_WINDOW_NONE;
  xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&activate));

  if (!startupId.empty()) {
    const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    bool first = true;
    for (const auto& piece : StartupInfoPieces(StartupRemoveMessage(startupId))) {
      xcb_client_message_event_t info{};
      info.response_type = XCB_CLIENT_MESSAGE;
      info.format = 8;
      info.window = id;
      info.type = first ? begin : more;
      std::memcpy(info.data.data8, piece.data(), piece.size());
      xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&info));
      first = false;
    }
  }
  xcb_flush(connection);
  return true;
}

}  // namespace typeloom::platform
