#pragma once
// The application's font made a window's face while that window is built.
#include <QFont>

namespace typeloom::platform {

// Whether two fonts are the same request, the properties they set included
// (QFont's == ignores which properties were set).
bool SameFont(const QFont& a, const QFont& b);

// While it lives, `face` is the application's font. An edit field lays out its
// empty text in the application's font before it takes its window's font; built
// inside this scope it uses the face the window draws anyway, instead of loading the
// desktop's default face only to drop it.
//
// On leaving, the font from before is the application's font again and every widget
// resolves its font against it once more (so a window or popup built meanwhile
// without a font of its own gets the desktop's font, as it would have outside). The
// per-class fonts of the desktop theme (menus, tooltips, message boxes) are never
// touched. Qt stops following the desktop's font once the application's font has
// been set: when the font from before was the desktop's own, the application keeps
// following it, taking the desktop's new font at each theme change as Qt does.
//
// Scopes nest; each gives back the font it found. For the GUI thread only.
class ApplicationFontScope {
 public:
  explicit ApplicationFontScope(const QFont& face);
  ~ApplicationFontScope();
  ApplicationFontScope(const ApplicationFontScope&) = delete;
  ApplicationFontScope& operator=(const ApplicationFontScope&) = delete;

 private:
  QFont before_;
  bool followsDesktop_ = false;
  bool active_ = false;
};

}  // namespace typeloom::platform
