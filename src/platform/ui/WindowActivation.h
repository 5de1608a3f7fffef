#pragma once
// Bringing the program's window forward for a later start's request, by the means
// the display platform offers.
#include <cstdint>
#include <string>

class QWidget;

namespace typeloom::platform {

struct ActivationRequest {
  std::string startupId;        // X11 launch id (DESKTOP_STARTUP_ID)
  std::string activationToken;  // Wayland token (XDG_ACTIVATION_TOKEN)
  std::uint32_t x11Time = 0;    // a current X server time at the request, 0 when unknown
};

// Restores, raises and activates `window`: on X11 with the launch's time and
// feedback (X11Activation.h); on Wayland through the activation token (the
// startup id stands in for one when there is no token); elsewhere through Qt.
void ActivateWindow(QWidget* window, const ActivationRequest& request);

}  // namespace typeloom::platform
