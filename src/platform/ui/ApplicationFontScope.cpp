#include "platform/ui/ApplicationFontScope.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPointer>

#include <optional>

namespace typeloom::platform {
namespace {

QFont DesktopFont() { return QFontDatabase::systemFont(QFontDatabase::GeneralFont); }

// One filter on the application for as long as it lives, installed with the first
// scope (the main window's, outside any event handling, so that no filter is added
// while Qt walks the application's filters).
class FontKeeper final : public QObject {
 public:
  static FontKeeper& Instance() {
    static QPointer<FontKeeper> keeper;
    if (keeper.isNull()) {
      keeper = new FontKeeper(QCoreApplication::instance());
      QCoreApplication::instance()->installEventFilter(keeper);
    }
    return *keeper;
  }

  // Sets the application's font as a theme change does: the notice to the
  // application object, to which QApplication answers by having every widget
  // resolve its font again, is held back, so widgets keep the fonts they have.
  void SetQuietly(const QFont& font) {
    quiet_ = true;
    QGuiApplication::setFont(font);
    quiet_ = false;
  }

  // Once the application's font has been set, Qt no longer replaces it with the
  // desktop's font when the theme changes. This does it instead, for as long as the
  // application's font is the one last taken from the desktop (a font the program
  // sets later on its own stays, as it would in Qt).
  void Follow(const QFont& fromDesktop) { following_ = fromDesktop; }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ApplicationFontChange:
        return quiet_ && watched == QCoreApplication::instance();
      case QEvent::ThemeChange:
        // The first window told of the change: the font is replaced before any
        // window handles it, as Qt does.
        if (following_ && SameFont(QGuiApplication::font(), *following_)) {
          const QFont desktop = DesktopFont();
          if (!SameFont(desktop, *following_)) SetQuietly(desktop);
          following_ = desktop;
        }
        return false;
      default:
        return false;
    }
  }

 private:
  using QObject::QObject;

  bool quiet_ = false;
  std::optional<QFont> following_;
};

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
  FontKeeper::Instance().SetQuietly(face);
}

ApplicationFontScope::~ApplicationFontScope() {
  if (!active_) return;
  // A theme change while the window was built is not missed: the desktop's font
  // now, which is the font from before when nothing changed.
  const QFont after = followsDesktop_ ? DesktopFont() : before_;
  QGuiApplication::setFont(after);
  if (followsDesktop_) FontKeeper::Instance().Follow(after);
}

}  // namespace typeloom::platform
