#pragma once
#include "platform/ui/MessageBoxes.h"

namespace typeloom::platform {

// Message boxes shown with QMessageBox.
class QtMessageBoxes final : public MessageBoxes {
 public:
  int Show(QWidget* parent, const QString& text, int style, const QString& title) override;
};

}  // namespace typeloom::platform
