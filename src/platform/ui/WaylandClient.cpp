#include "platform/ui/WaylandClient.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

#include <cstring>

namespace typeloom::platform {
namespace {

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t /*version*/) {
  auto** activation = static_cast<xdg_activation_v1**>(data);
  if (*activation == nullptr && std::strcmp(interface, xdg_activation_v1_interface.name) == 0) {
    *activation = static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
  }
}

void OnGlobalRemove(void* /*data*/, wl_registry* /*registry*/, uint32_t /*name*/) {}

const wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

// Binds xdg_activation_v1 on Qt's connection and sends activate(token, surface).
// The registry lives on an event queue of its own, so that none of its events is
// dispatched by Qt and none of Qt's is dispatched here.
bool SendActivate(wl_display* display, wl_surface* surface, const QByteArray& token) {
  wl_event_queue* queue = wl_display_create_queue(display);
  if (queue == nullptr) return false;
  auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
  if (wrapped == nullptr) {
    wl_event_queue_destroy(queue);
    return false;
  }
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
  wl_registry* registry = wl_display_get_registry(wrapped);
  xdg_activation_v1* activation = nullptr;
  bool sent = false;
  if (registry != nullptr) {
    wl_registry_add_listener(registry, &kRegistryListener, &activation);
    if (wl_display_roundtrip_queue(display, queue) >= 0 && activation != nullptr) {
      xdg_activation_v1_activate(activation, token.constData(), surface);
      sent = true;
    }
    if (activation != nullptr) xdg_activation_v1_destroy(activation);
    wl_registry_destroy(registry);
  }
  sent = wl_display_flush(display) >= 0 && sent;
  wl_proxy_wrapper_destroy(wrapped);
  wl_event_queue_destroy(queue);
  return sent;
}

}  // namespace

bool SendWaylandActivation(QWindow* window, const QByteArray& token) {
  if (window == nullptr || token.isEmpty()) return false;
  QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
  auto* display =
      native != nullptr ? static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display")) : nullptr;
  auto* surface = native != nullptr && window->handle() != nullptr
                      ? static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window))
                      : nullptr;
  return display != nullptr && surface != nullptr && SendActivate(display, surface, token);
}

}  // namespace typeloom::platform
