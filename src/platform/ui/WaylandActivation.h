#pragma once
// Bringing a window forward under a Wayland compositor (xdg-activation).
#include <QByteArray>

class QWindow;

namespace typeloom::platform {

// Longest activation token taken from a launcher.
inline constexpr qsizetype kMaxActivationToken = 1024;

// Whether `token` can be handed to the compositor: 1 to kMaxActivationToken bytes
// of printable ASCII.
bool IsActivationToken(const QByteArray& token);

// Asks the compositor to activate `window` with a launcher's activation `token`
// (printable ASCII, already checked), through the module typeloom-wayland.so beside
// the code (loaded on the first call under Wayland; libwayland-client is mapped only
// then). Without a token, without the module, or where the compositor cannot
// activate, the window asks for attention instead. Returns whether an activation
// request was sent.
bool ActivateWaylandWindow(QWindow* window, const QByteArray& token);

}  // namespace typeloom::platform
