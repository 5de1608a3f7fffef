#include "platform/ui/AccessibilityBridge.h"

#include <QAccessible>

namespace typeloom::platform {

void StartAccessibilityBridge() {
  // The question creates the platform's bridge; the answer is asked again where it matters.
  static_cast<void>(QAccessible::isActive());
}

}  // namespace typeloom::platform
