#include "platform/ui/WindowSystem.h"

#include <QGuiApplication>

namespace typeloom::platform {

WindowSystem WindowSystemNamed(QStringView name) {
  if (name == u"xcb") return WindowSystem::X11;
  if (name == u"wayland" || name.startsWith(u"wayland-")) return WindowSystem::Wayland;
  return WindowSystem::Other;
}

WindowSystem CurrentWindowSystem() { return WindowSystemNamed(QGuiApplication::platformName()); }

}  // namespace typeloom::platform
