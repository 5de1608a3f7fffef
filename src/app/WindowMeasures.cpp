// CaptionHeight and BorderWidth (FontModule.h), apart from FontModule.cpp so that
// the program's start-up part needs no widget library.
#include "app/FontModule.h"

#include "platform/ui/WindowServices.h"

#include <QWidget>

#include <cmath>

namespace typeloom::app {
namespace {

// Half to even, as the window measures are rounded.
int Round(double twips) { return static_cast<int>(std::nearbyint(twips)); }

double OuterMinusClient(const QWidget& window, Qt::Orientation o) {
  const QRect outer = window.frameGeometry();
  const QRect client = window.geometry();
  if (!outer.isValid() || !client.isValid()) return 0;
  const int dpi = o == Qt::Horizontal ? window.logicalDpiX() : window.logicalDpiY();
  if (dpi <= 0) return 0;
  const int pixels = o == Qt::Horizontal ? outer.width() - client.width() : outer.height() - client.height();
  return pixels * double(platform::kTwipsPerInch) / dpi;
}

}  // namespace

int BorderWidth(const QWidget& window) { return Round(OuterMinusClient(window, Qt::Horizontal) / 2); }

int CaptionHeight(const QWidget& window) {
  return Round(OuterMinusClient(window, Qt::Vertical) - BorderWidth(window));
}

}  // namespace typeloom::app
