#include "app/FontModule.h"

#include "platform/ui/Clock.h"
#include "platform/ui/WindowServices.h"

#include <QWidget>

#include <cmath>

namespace typeloom::app {

QString VersionText() {
  return QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor);
}

void FontModule::PrepareShellCommands(const QString& exePath) {
  fontExtensions = {"fon", "otf", "pfm", "ttc", "ttf"};
  shortExePath = ShortExePath(exePath);
  openCommand = shortExePath + " %1";
  printCommand = shortExePath + " /p %1";
}

QString CommandLineText(const QStringList& arguments) { return arguments.join(u' ').toLower(); }

QString ShortExePath(const QString& exePath) {
  if (exePath.isEmpty()) return {};
  if (exePath.contains(u' ')) return u'"' + exePath + u'"';
  return exePath;
}

void Pause(platform::Clock& clock, platform::EventPump& events, int seconds) {
  const double start = clock.Seconds();
  const double end = clock.Seconds() + seconds;
  if (start >= end) return;
  while (clock.Seconds() < end) events.ProcessEvents();
}

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
