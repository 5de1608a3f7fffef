#include "platform/process/ProcessStarter.h"

#include <QFileInfo>
#include <QProcess>

namespace typeloom::platform {

bool QtProcessStarter::StartDetached(const QString& program, const QStringList& arguments, QString* error) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  process.setWorkingDirectory(QFileInfo(program).absolutePath());
  if (process.startDetached()) return true;
  if (error != nullptr) {
    *error = process.errorString();
    if (error->isEmpty()) *error = QStringLiteral("The program could not be started.");
  }
  return false;
}

}  // namespace typeloom::platform
