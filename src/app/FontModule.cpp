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

QString AbsoluteFileArgument(const QString& argument) {
  const QFileInfo file(argument);
  return !argument.isEmpty() && file.isRelative() && file.isFile() ? file.absoluteFilePath() : argument;
}

QString CommandLineText(const QStringList& arguments) {
  QStringList request;
  for (const QString& argument : arguments) request << AbsoluteFileArgument(argument);
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
