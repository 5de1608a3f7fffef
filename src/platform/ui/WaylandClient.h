#pragma once
// The part of Wayland activation that talks to the compositor through
// libwayland-client. It lives in the module typeloom-wayland.so, which the window
// loads only when it runs under Wayland, so an X11 session never maps the library.
#include <QByteArray>

class QWindow;

namespace typeloom::platform {

// Binds xdg_activation_v1 on Qt's own Wayland connection and sends
// activate(token, surface) for `window`. `token` is already checked
// (IsActivationToken). Returns whether the request was sent.
bool SendWaylandActivation(QWindow* window, const QByteArray& token);

}  // namespace typeloom::platform
