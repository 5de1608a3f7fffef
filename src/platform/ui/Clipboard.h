#pragma once
// The system clipboard (text only) and the warning beep.
#include <QString>

namespace typeloom::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;
};

class Beeper {
 public:
  virtual ~Beeper() = default;
  virtual void Beep() = 0;
};

// The desktop's clipboard through Qt.
class QtClipboard final : public Clipboard {
 public:
  QString Text() const override;
  void SetText(const QString& text) override;
};

// The desktop's beep through Qt.
class QtBeeper final : public Beeper {
 public:
  void Beep() override;
};

}  // namespace typeloom::platform
