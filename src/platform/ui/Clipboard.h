#pragma once
// The system clipboard (text only) and the warning beep.
#include <QString>

namespace typeloom::platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual QString Text() const = 0;
  virtual void SetText(const QString& text) = 0;
  // The text last selected anywhere on the desktop (X11's primary selection, which
  // the middle button pastes); empty where there is none.
  virtual QString SelectionText() const = 0;
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
  QString SelectionText() const override;
};

// The desktop's beep through Qt.
class QtBeeper final : public Beeper {
 public:
  void Beep() override;
};

}  // namespace typeloom::platform
