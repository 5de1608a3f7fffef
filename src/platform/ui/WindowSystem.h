#pragma once
// The window system the program's windows are shown on.
#include <QStringView>

namespace typeloom::platform {

enum class WindowSystem {
  X11,      // the program places its windows and may shape them with a mask
  Wayland,  // the compositor places toplevel windows; a mask only limits input
  Other,    // offscreen, framebuffers: treated like X11
};

// The window system of Qt's platform plugin `name` ("xcb", "wayland", "wayland-egl", ...).
WindowSystem WindowSystemNamed(QStringView name);
// The window system of the running application.
WindowSystem CurrentWindowSystem();

}  // namespace typeloom::platform
