#pragma once
// Bringing a window forward under an X11 window manager that prevents focus
// stealing: the request carries the launch's own time, not the last time the
// program happened to see.
#include <cstdint>
#include <string>

class QWindow;

namespace typeloom::platform {

// On Qt's X11 platform: sets _NET_STARTUP_ID on `window` (when `startupId` is not
// empty), asks the window manager to activate it (_NET_ACTIVE_WINDOW, source 1 =
// application) with the launch time of `startupId`, else `fallbackTime`, else a
// current server time, and then ends the launch's feedback with "remove:" on
// _NET_STARTUP_INFO. Returns false (and does nothing) off X11.
bool ActivateX11Window(QWindow* window, const std::string& startupId, std::uint32_t fallbackTime);

}  // namespace typeloom::platform
