#include "app/FontModule.h"

#include "platform/ui/Clock.h"

#include <QFileInfo>

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

QString CommandLineText(const QStringList& arguments) {
  QStringList request;
  // A font file named relative to this start's folder is passed on by its absolute
  // path: a running instance taking the request works in a folder of its own.
  for (const QString& argument : arguments) {
    const QFileInfo file(argument);
    request << (!argument.isEmpty() && file.isRelative() && file.isFile() ? file.absoluteFilePath() : argument);
  }
  return request.join(u' ');
}

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

}  // namespace typeloom::app
