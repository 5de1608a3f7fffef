#include "platform/ui/LatinMnemonics.h"

#include "platform/ui/WindowServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>

#include <vector>

namespace typeloom::platform {
namespace {

// What Alt+letter reaches in a window: a button is clicked, a label's buddy takes
// the focus.
struct Target {
  QWidget* widget;       // the button, or the label's buddy
  QAbstractButton* button;
};

bool Reachable(const QWidget* widget, const QWidget* window) {
  return widget->window() == window && widget->isVisible() && widget->isEnabled();
}

std::vector<Target> TargetsFor(QWidget* window, const QKeySequence& mnemonic) {
  std::vector<Target> targets;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    if (!Reachable(widget, window)) continue;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      if (QKeySequence::mnemonic(button->text()) == mnemonic) targets.push_back({button, button});
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
      QWidget* buddy = label->buddy();
      if (buddy != nullptr && Reachable(buddy, window) && QKeySequence::mnemonic(label->text()) == mnemonic) {
        targets.push_back({buddy, qobject_cast<QAbstractButton*>(buddy)});
      }
    }
  }
  return targets;
}

class LatinMnemonics final : public QObject {
 public:
  explicit LatinMnemonics(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    // The press travels up from the focused control; it is looked at there once.
    QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr ? widget != focus : !widget->isWindow()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier) return false;
    // A Latin key went through Qt's own mnemonics already.
    const int qtKey = key->key();
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return false;
    const int latin = LatinKeyCodeAt(key->nativeScanCode());
    if (latin == 0) return false;
    const std::vector<Target> targets = TargetsFor(widget->window(), QKeySequence(Qt::ALT | Qt::Key(latin)));
    if (targets.empty()) return false;
    if (targets.size() == 1 && targets.front().button != nullptr) {
      targets.front().button->animateClick();
      return true;
    }
    // A label's control, or one of several that share the letter: the focus moves to
    // the next of them.
    std::size_t next = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      if (targets[i].widget == focus) next = (i + 1) % targets.size();
    }
    targets[next].widget->setFocus(Qt::ShortcutFocusReason);
    return true;
  }
};

}  // namespace

void EnableLatinMnemonics() {
  static QPointer<LatinMnemonics> installed;
  if (installed == nullptr && qApp != nullptr) installed = new LatinMnemonics(qApp);
}

}  // namespace typeloom::platform
