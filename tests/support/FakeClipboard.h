#pragma once
// In-memory clipboard and a beep counter.
#include "platform/ui/Clipboard.h"

namespace typeloom::testsupport {

class FakeClipboard final : public platform::Clipboard {
 public:
  QString text;
  QString selection;
  QString Text() const override { return text; }
  void SetText(const QString& t) override { text = t; }
  QString SelectionText() const override { return selection; }
};

class FakeBeeper final : public platform::Beeper {
 public:
  int beeps = 0;
  void Beep() override { ++beeps; }
};

}  // namespace typeloom::testsupport
