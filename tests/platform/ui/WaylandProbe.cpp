// A small Wayland client for the activation tests, run under a headless compositor.
//
//   wayland_probe target   shows a window and reports its activation on standard
//                          output ("active", "inactive"); a line "activate TOKEN"
//                          (or "activate" alone) on standard input runs
//                          ActivateWaylandWindow and answers "sent 1" or "sent 0".
//   wayland_probe launcher shows a window and watches the keyboard ("key" for
//                          every key pressed in it); a line
//                          "token" asks the compositor for an activation token
//                          tied to its surface and the last key typed into it, as
//                          a launcher does for the program it starts, and prints
//                          "token TOKEN" ("token" alone when there is none).
// Both end when standard input closes.
#include "platform/ui/WaylandActivation.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

void Say(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// The launcher's own objects on Qt's connection, on an event queue of their own:
// the seat's keyboard (for the serial of the last key) and xdg_activation_v1.
class Launcher {
 public:
  explicit Launcher(QWindow* window) : window_(window) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    display_ = static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
    queue_ = wl_display_create_queue(display_);
    wrapped_ = static_cast<wl_display*>(wl_proxy_create_wrapper(display_));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped_), queue_);
    registry_ = wl_display_get_registry(wrapped_);
    wl_registry_add_listener(registry_, &kRegistry, this);
    wl_display_roundtrip_queue(display_, queue_);
    wl_display_roundtrip_queue(display_, queue_);
  }

  // Runs the keyboard's events that Qt's connection has read for this queue.
  void DispatchPending() { wl_display_dispatch_queue_pending(display_, queue_); }

  std::string Token() {
    wl_display_roundtrip_queue(display_, queue_);  // the key events so far
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* surface = static_cast<wl_surface*>(native->nativeResourceForWindow("surface", window_));
    if (activation_ == nullptr || surface == nullptr) return {};
    xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation_);
    xdg_activation_token_v1_add_listener(token, &kToken, this);
    xdg_activation_token_v1_set_surface(token, surface);
    if (seat_ != nullptr) xdg_activation_token_v1_set_serial(token, serial_, seat_);
    xdg_activation_token_v1_commit(token);
    token_.clear();
    done_ = false;
    while (!done_ && wl_display_dispatch_queue(display_, queue_) >= 0) {
    }
    xdg_activation_token_v1_destroy(token);
    return token_;
  }

 private:
  static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t /*version*/) {
    auto* self = static_cast<Launcher*>(data);
    if (std::strcmp(interface, xdg_activation_v1_interface.name) == 0 && self->activation_ == nullptr) {
      self->activation_ =
          static_cast<xdg_activation_v1*>(wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && self->seat_ == nullptr) {
      self->seat_ = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
      wl_seat_add_listener(self->seat_, &kSeat, self);
    }
  }
  static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
  static void OnCapabilities(void* data, wl_seat* seat, uint32_t caps) {
    auto* self = static_cast<Launcher*>(data);
    if ((caps & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && self->keyboard_ == nullptr) {
      self->keyboard_ = wl_seat_get_keyboard(seat);
      wl_keyboard_add_listener(self->keyboard_, &kKeyboard, self);
    }
  }
  static void OnSeatName(void*, wl_seat*, const char*) {}
  static void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { ::close(fd); }
  static void OnEnter(void* data, wl_keyboard*, uint32_t serial, wl_surface*, wl_array*) {
    static_cast<Launcher*>(data)->serial_ = serial;
  }
  static void OnLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
  static void OnKey(void* data, wl_keyboard*, uint32_t serial, uint32_t, uint32_t, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
      static_cast<Launcher*>(data)->serial_ = serial;
      Say("key");
    }
  }
  static void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
  static void OnRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
  static void OnDone(void* data, xdg_activation_token_v1* /*token*/, const char* text) {
    auto* self = static_cast<Launcher*>(data);
    self->token_ = text;
    self->done_ = true;
  }

  static constexpr wl_registry_listener kRegistry{OnGlobal, OnGlobalRemove};
  static constexpr wl_seat_listener kSeat{OnCapabilities, OnSeatName};
  static constexpr wl_keyboard_listener kKeyboard{OnKeymap, OnEnter, OnLeave, OnKey, OnModifiers, OnRepeat};
  static constexpr xdg_activation_token_v1_listener kToken{OnDone};

  QWindow* window_;
  wl_display* display_ = nullptr;
  wl_event_queue* queue_ = nullptr;
  wl_display* wrapped_ = nullptr;
  wl_registry* registry_ = nullptr;
  wl_seat* seat_ = nullptr;
  wl_keyboard* keyboard_ = nullptr;
  xdg_activation_v1* activation_ = nullptr;
  uint32_t serial_ = 0;
  std::string token_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
  if (mode != "target" && mode != "launcher") {
    std::fprintf(stderr, "usage: wayland_probe target|launcher\n");
    return 2;
  }
  QWidget window;
  window.setWindowTitle(mode);
  window.resize(320, 200);
  window.show();
  QWindow* handle = window.windowHandle();
  QObject::connect(handle, &QWindow::activeChanged, [&] { Say(handle->isActive() ? "active" : "inactive"); });
  std::unique_ptr<Launcher> launcher;
  QTimer keys;
  if (mode == "launcher") {
    launcher = std::make_unique<Launcher>(handle);
    QObject::connect(&keys, &QTimer::timeout, [&] { launcher->DispatchPending(); });
    keys.start(50);
  }

  QSocketNotifier input(0, QSocketNotifier::Read);
  std::string pending;
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n <= 0) {
      QApplication::quit();
      return;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      const std::string line = pending.substr(0, end);
      if (line.rfind("activate", 0) == 0) {
        const QByteArray token = line.size() > 9 ? QByteArray::fromStdString(line.substr(9)) : QByteArray();
        Say(std::string("sent ") + (typeloom::platform::ActivateWaylandWindow(handle, token) ? "1" : "0"));
      } else if (line == "token" && launcher) {
        const std::string token = launcher->Token();
        Say(token.empty() ? "token" : "token " + token);
      }
    }
  });
  Say("shown");
  return app.exec();
}
