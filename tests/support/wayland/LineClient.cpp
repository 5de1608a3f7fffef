#include "support/wayland/LineClient.h"

#include "support/wayland/HeadlessWayland.h"

namespace typeloom::testsupport {

LineClient::~LineClient() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();  // the clients end when their input closes
  if (!process_.waitForFinished(10000)) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

bool LineClient::Start(const QString& program, const QStringList& arguments, const QProcessEnvironment& env) {
  process_.setProcessEnvironment(env);
  process_.start(program, arguments);
  return process_.waitForStarted(10000);
}

void LineClient::Send(const QString& line) {
  process_.write((line + u'\n').toUtf8());
  process_.waitForBytesWritten(10000);
}

QStringList LineClient::Lines() {
  out_ += process_.readAllStandardOutput();
  return QString::fromUtf8(out_).split(u'\n', Qt::SkipEmptyParts);
}

bool LineClient::WaitFor(const QString& line, int count) {
  return WaitUntil([&] { return Lines().count(line) >= count || process_.state() == QProcess::NotRunning; }) &&
         Lines().count(line) >= count;
}

QString LineClient::WaitForPrefix(const QString& prefix) {
  QString found;
  WaitUntil([&] {
    for (const QString& line : Lines()) {
      if (line.startsWith(prefix)) {
        found = line;
        return true;
      }
    }
    return process_.state() == QProcess::NotRunning;
  });
  return found;
}

QString LineClient::Errors() { return QString::fromLocal8Bit(process_.readAllStandardError()); }

}  // namespace typeloom::testsupport
