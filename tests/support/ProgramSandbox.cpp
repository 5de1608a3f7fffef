#include "support/ProgramSandbox.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace typeloom::testsupport {

ProgramSandbox::ProgramSandbox(const QString& systemFolder, const QStringList& fonts, bool systemRules)
    : systemRules_(systemRules) {
  const QString root = dir_.path();
  for (const char* sub : {"home", "config", "data", "cache", "runtime", "fonts"}) QDir(root).mkpath(sub);
  QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  for (const QString& font : fonts) {
    if (!QFile::copy(systemFolder + "/" + font, FontPath(font))) ready_ = false;
  }
  WriteFontconfig(root + "/fonts");
  env_ = QProcessEnvironment::systemEnvironment();
  env_.insert("HOME", root + "/home");
  env_.insert("XDG_CONFIG_HOME", root + "/config");
  env_.insert("XDG_DATA_HOME", root + "/data");
  env_.insert("XDG_CACHE_HOME", root + "/cache");
  env_.insert("XDG_RUNTIME_DIR", root + "/runtime");
  env_.insert("FONTCONFIG_FILE", root + "/fonts.conf");
  env_.insert("TYPELOOM_TRACE", root + "/trace.log");
}

void ProgramSandbox::UseFontFolder(const QString& folder) { WriteFontconfig(folder); }

void ProgramSandbox::WriteFontconfig(const QString& fontFolder) {
  QFile config(dir_.path() + "/fonts.conf");
  if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  const QString rules = systemRules_ ? "<include ignore_missing=\"yes\">/etc/fonts/conf.d</include>" : "";
  config.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                              "<fontconfig>%1<dir>%2</dir><cachedir>%3/cache/fc</cachedir></fontconfig>\n")
                   .arg(rules, fontFolder.toHtmlEscaped(), dir_.path())
                   .toUtf8());
}

QStringList ProgramSandbox::Trace() const {
  QFile file(dir_.path() + "/trace.log");
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

std::unique_ptr<QProcess> ProgramSandbox::Start(const QStringList& arguments) const {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(env_);
  process->start(TYPELOOM_EXE, arguments);
  return process;
}

ProgramSandbox::Result ProgramSandbox::Run(const QStringList& arguments) const {
  const auto process = Start(arguments);
  process->waitForFinished(60000);
  Result result;
  result.code = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
  result.out = QString::fromUtf8(process->readAllStandardOutput());
  result.err = QString::fromUtf8(process->readAllStandardError());
  return result;
}

}  // namespace typeloom::testsupport
