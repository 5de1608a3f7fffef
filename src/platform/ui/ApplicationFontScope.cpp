#include "platform/ui/ApplicationFontScope.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>

namespace typeloom::platform {
namespace {

QFont DesktopFont() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont); }

// Holds back the notice QGuiApplication::setFont sends the application object, to
// which QApplication answers by having every widget resolve its font again.
class HoldFontNotice final : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    return watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationFontChange;
  }
};

// Sets the application's font as a theme change does: widgets keep the fonts they
// have until something asks them to resolve theirs again.
void SetFontQuietly(const QFont& font) {
  HoldFontNotice hold;
  QCoreApplication::instance()->installEventFilter(&hold);
  QGuiApplication::setFont(font);
  QCoreApplication::instance()->removeEventFilter(&hold);
}

// After the application's font has been set, Qt no longer replaces it with the
// desktop's font when the theme changes. This does it instead, for as long as the
// application's font is the one last taken from the desktop (a font the program sets
// later on its own stays, as it would in Qt). It acts on the first theme-change event
// of a round, before any window handles it, as Qt does before it tells the windows.
class DesktopFontFollower final : public QObject {
 public:
  using QObject::QObject;

  void Follow(const QFont& fromDesktop) { following_ = fromDesktop; }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ThemeChange && SameFont(QGuiApplication::font(), following_)) {
      const QFont desktop = DesktopFont();
      if (!SameFont(desktop, following_)) SetFontQuietly(desktop);
      following_ = desktop;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QFont following_;
};

void FollowDesktopFont(const QFont& fromDesktop) {
  static QPointer<DesktopFontFollower> follower;
  if (follower.isNull()) {
    follower = new DesktopFontFollower(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(follower);
  }
  follower->Follow(fromDesktop);
}

}  // namespace

bool SameFont(const QFont& a, const QFont& b) {
  return a.resolveMask() == b.resolveMask() && a == b && a.families() == b.families();
}

ApplicationFontScope::ApplicationFontScope(const QFont& face) {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return;
  active_ = true;
  before_ = QGuiApplication::font();
  followsDesktop_ = SameFont(before_, DesktopFont());
  // The widgets that exist keep their fonts: they are asked once, on leaving.
  SetFontQuietly(face);
}

ApplicationFontScope::~ApplicationFontScope() {
  if (!active_) return;
  // A theme change while the window was built is not missed: the desktop's font
  // now, which is the font from before when nothing changed.
  const QFont after = followsDesktop_ ? DesktopFont() : before_;
  QGuiApplication::setFont(after);
  if (followsDesktop_) FollowDesktopFont(after);
}

}  // namespace typeloom::platform
