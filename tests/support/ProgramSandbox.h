#pragma once
// A sandbox to run the real program in: HOME and XDG folders of its own (a private
// runtime folder among them), fontconfig over a folder of copied fonts, and the
// program's trace file. Env() is the environment to start it with; tests adjust it
// (display platform, print server) before starting.
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QProcess;

namespace typeloom::testsupport {

class ProgramSandbox {
 public:
  struct Result {
    int code = -1;  // -1 when the program did not end normally
    QString out;
    QString err;
  };

  // Copies `fonts` from `systemFolder` into the sandbox's font folder, the only one
  // fontconfig sees; with `systemRules` the system's substitution rules apply too.
  ProgramSandbox(const QString& systemFolder, const QStringList& fonts, bool systemRules = false);

  // Every font was copied.
  bool Ready() const { return ready_; }
  // Points fontconfig at `folder` instead of the copied fonts.
  void UseFontFolder(const QString& folder);

  QString FontPath(const QString& name) const { return dir_.path() + "/fonts/" + name; }
  QString RuntimeFolder() const { return dir_.path() + "/runtime"; }
  QString ConfigFolder() const { return dir_.path() + "/config"; }
  QStringList Trace() const;
  QProcessEnvironment& Env() { return env_; }

  std::unique_ptr<QProcess> Start(const QStringList& arguments) const;
  // Runs the program to its end (a minute at most).
  Result Run(const QStringList& arguments) const;

 private:
  void WriteFontconfig(const QString& fontFolder);

  QTemporaryDir dir_;
  QProcessEnvironment env_;
  bool systemRules_;
  bool ready_ = true;
};

}  // namespace typeloom::testsupport
