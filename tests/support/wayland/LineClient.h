#pragma once
// A child process that is driven by lines on its standard input and answers in
// lines on its standard output (the test clients under a compositor).
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace typeloom::testsupport {

class LineClient {
 public:
  LineClient() = default;
  ~LineClient();
  LineClient(const LineClient&) = delete;
  LineClient& operator=(const LineClient&) = delete;

  bool Start(const QString& program, const QStringList& arguments, const QProcessEnvironment& env);
  void Send(const QString& line);
  // Every line answered so far.
  QStringList Lines();
  // Waits until `line` has been answered `count` times (30 seconds at most).
  bool WaitFor(const QString& line, int count = 1);
  // The first answer beginning with `prefix`, waiting for it; empty when none came.
  QString WaitForPrefix(const QString& prefix);
  QString Errors();

 private:
  QProcess process_;
  QByteArray out_;
};

}  // namespace typeloom::testsupport
