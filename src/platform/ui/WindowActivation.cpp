#include "platform/ui/WindowActivation.h"

#include "platform/ui/WaylandActivation.h"
#include "platform/ui/X11Activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace typeloom::platform {

void ActivateWindow(QWidget* window, const ActivationRequest& request) {
  if (window == nullptr) return;
  if (window->isMinimized()) window->showNormal();
  window->raise();
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("xcb") && ActivateX11Window(window->windowHandle(), request.startupId, request.x11Time)) {
    return;
  }
  if (platform == QLatin1String("wayland")) {
    const std::string& token = request.activationToken.empty() ? request.startupId : request.activationToken;
    ActivateWaylandWindow(window->windowHandle(), QByteArray::fromStdString(token));
    return;
  }
  window->activateWindow();
}

}  // namespace typeloom::platform
