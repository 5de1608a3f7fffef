#include "platform/ui/QtClock.h"

#include <QCoreApplication>
#include <QThread>

namespace typeloom::platform {

void QtEventPump::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  // Without pending events processEvents returns at once; yield so a wait loop
  // built on it does not spin a core.
  QThread::msleep(1);
}

}  // namespace typeloom::platform
