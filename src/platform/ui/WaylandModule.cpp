// typeloom-wayland.so: Wayland activation over libwayland-client, loaded by
// ActivateWaylandWindow the first time a window is brought forward under Wayland.
#include "platform/ui/WaylandClient.h"

extern "C" __attribute__((visibility("default"))) bool typeloom_wayland_activate(QWindow* window, const char* token,
                                                                                   int size) {
  if (token == nullptr || size <= 0) return false;
  return typeloom::platform::SendWaylandActivation(window, QByteArray(token, size));
}
