// Runs the start protocol of the program, for the single-instance tests:
//   instance_probe <command line> <log file> <quit file> [time limit in seconds]
// A later start hands its command line over and exits 0 (3 when the first
// instance did not answer). The first instance writes "first:<command line>"
// to the log, then "handover:<command line>" for every hand-over it receives,
// and exits 10 once the quit file exists (4 when the time limit passes first).
#include "platform/LocalSingleInstance.h"
#include "platform/QtSettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

namespace {

const QString kApp = QStringLiteral("Typeloom");
const QString kSection = QStringLiteral("Settings");
const QString kKey = QStringLiteral("CommandLine");

void AppendLine(const QString& path, const QString& line) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Append)) file.write((line + QLatin1Char('\n')).toUtf8());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 4) return 2;
  const QString commandLine = args[1];
  const QString logFile = args[2];
  const QString quitFile = args[3];
  const int limitSeconds = args.size() > 4 ? args[4].toInt() : 300;

  typeloom::platform::QtSettingsStore store;
  typeloom::platform::LocalSingleInstance instance;
  instance.LockStart();
  store.SaveSetting(kApp, kSection, kKey, commandLine);
  if (instance.PreviousInstance()) {
    const bool handled = instance.SignalAndWait();
    instance.UnlockStart();
    return handled ? 0 : 3;
  }
  instance.UnlockStart();
  instance.Listen([&] { AppendLine(logFile, QStringLiteral("handover:") + store.GetSetting(kApp, kSection, kKey)); });
  AppendLine(logFile, QStringLiteral("first:") + commandLine);

  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &app, [&] {
    if (QFile::exists(quitFile)) app.exit(10);
  });
  poll.start(20);
  QTimer::singleShot(limitSeconds * 1000, &app, [&] { app.exit(4); });
  return app.exec();
}
