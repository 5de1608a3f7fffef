#include "platform/ui/WaylandActivation.h"

#include "platform/ui/WindowSystem.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <QWindow>

#include <dlfcn.h>

namespace typeloom::platform {
namespace {

// typeloom-wayland.so's entry (WaylandModule.cpp).
using Activate = bool (*)(QWindow* window, const char* token, int size);

void AskForAttention(QWindow* window) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowHandle() == window) {
      QApplication::alert(widget);
      return;
    }
  }
}

// The Wayland module beside the file that holds this code (the window module, or a
// program built beside it), loaded once and kept; null when it cannot be loaded.
Activate LoadActivation() {
  static const Activate entry = []() -> Activate {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&AskForAttention), &info) == 0 || info.dli_fname == nullptr) return nullptr;
    const QString folder = QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/typeloom-wayland.so"));
    void* module = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Activate>(::dlsym(module, "typeloom_wayland_activate"));
  }();
  return entry;
}

}  // namespace

bool IsActivationToken(const QByteArray& token) {
  if (token.isEmpty() || token.size() > kMaxActivationToken) return false;
  for (const char c : token) {
    if (c < 0x20 || c > 0x7e) return false;
  }
  return true;
}

bool ActivateWaylandWindow(QWindow* window, const QByteArray& token) {
  if (window == nullptr) return false;
  bool sent = false;
  if (IsActivationToken(token) && CurrentWindowSystem() == WindowSystem::Wayland) {
    const Activate activate = LoadActivation();
    sent = activate != nullptr && activate(window, token.constData(), static_cast<int>(token.size()));
  }
  if (!sent) AskForAttention(window);
  return sent;
}

}  // namespace typeloom::platform
