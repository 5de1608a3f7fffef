#include "platform/ui/WaylandActivation.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace typeloom::platform {

bool ActivateWaylandWindow(QWindow* window, const QByteArray& token) {
  (void)token;
  if (window != nullptr) QApplication::alert(QWidget::find(window->winId()));
  return false;
}

}  // namespace typeloom::platform
