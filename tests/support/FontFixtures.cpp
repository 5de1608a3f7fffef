#include "support/FontFixtures.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace typeloom::testsupport {
namespace {

QString ScriptPath(const QString& name) {
  const QByteArray source = qgetenv("TYPELOOM_SOURCE_DIR");
  if (!source.isEmpty()) return QString::fromLocal8Bit(source) + "/tests/support/" + name;
  return QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + "/" + name;
}

QString Escape(const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); }

}  // namespace

const std::vector<FixtureFont>& FontFixtures::Expected() {
  // Of a 60-face collection, as many faces as fit in a 500-byte name.
  const auto many = [](const std::string& family, int faces) {
    std::string name;
    for (int n = 1; n <= faces; ++n) {
      name += (n == 1 ? "" : " & ") + family + " Face Number " + (n < 10 ? "0" : "") + std::to_string(n);
    }
    return name + " (TrueType)";
  };
  static const std::vector<FixtureFont> fonts = {
      {"AAA-Many.ttc", many("Test Many First", 14)},
      {"Bitmap/TestBig-24.bdf", "Test Big 18, (Bitmap)"},
      {"Bitmap/TestFixed-16.bdf", "Test Fixed 10,12,15 (Bitmap)"},
      {"Bitmap/TestFixed-20.bdf", "Test Fixed 10,12,15 (Bitmap 2)"},
      {"Bitmap/TestFixedBold-13.bdf", "Test Fixed 10, Bold (Bitmap)"},
      {"Nested/Deeper/TestSerif-Regular.otf", "Test Serif Regular (OpenType)"},
      {"TestFixed-13.bdf", "Test Fixed 10,12,15 (Bitmap 3)"},
      {"TestPair.ttc", "Test Pair Regular & Test Pair Italic (TrueType)"},
      {"TestPlain-Italic.ttf", "Test Plain Italic (TrueType)"},
      {"TestSans-Bold.ttf", "Test Sans Bold (TrueType)"},
      {"TestVar.ttf", "Test Var Regular (TrueType)"},
      {"User/TestSans-Bold.ttf", "Test Sans Bold (TrueType 2)"},
      {"User/TestSansCopy.ttf", "Test Sans Bold (TrueType 3)"},
      {"zzz-Many.ttc", many("Test Many Last", 15)},
  };
  return fonts;
}

namespace {

// Runs make_test_fonts.py `mode` into $TYPELOOM_BINARY_DIR/`prefix`-<hash of the
// script> unless that folder already holds `marker`; the folder's path, or empty
// with the reason in `failure`.
std::string BuildFonts(const QStringList& mode, const QString& prefix, const QString& marker, std::string& failure) {
  QFile script(ScriptPath("make_test_fonts.py"));
  if (!script.open(QIODevice::ReadOnly)) {
    failure = "cannot read " + script.fileName().toStdString();
    return {};
  }
  // A new script makes a new folder, so a stale build of the fonts is never used.
  const QString hash = QCryptographicHash::hash(script.readAll(), QCryptographicHash::Sha1).toHex().left(12);
  const QByteArray binary = qgetenv("TYPELOOM_BINARY_DIR");
  const QString base = binary.isEmpty() ? QDir::tempPath() : QString::fromLocal8Bit(binary);
  const QString target = base + "/" + prefix + "-" + hash;
  if (!QFileInfo::exists(target + "/" + marker)) {
    // Build beside the target and rename, so a concurrent process sees all or nothing.
    QTemporaryDir staging(base + "/" + prefix + "-build-XXXXXX");
    staging.setAutoRemove(true);
    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    python.start("/usr/bin/python3", QStringList{script.fileName()} + mode + QStringList{staging.path()});
    const bool ran = python.waitForFinished(120000) && python.exitStatus() == QProcess::NormalExit &&
                     python.exitCode() == 0;
    if (!staging.isValid() || !ran) {
      failure = "building the test fonts failed: " + python.readAll().toStdString();
      return {};
    }
    if (!QDir().rename(staging.path(), target) && !QFileInfo::exists(target + "/" + marker)) {
      failure = "cannot move the test fonts to " + target.toStdString();
      return {};
    }
  }
  return target.toStdString();
}

}  // namespace

std::string FontFixtures::FontFolder(std::string* error) {
  static std::string failure;
  static const std::string folder = BuildFonts({}, "test-fonts", "TestSans-Bold.ttf", failure);
  if (error != nullptr) *error = failure;
  return folder;
}

std::string FontFixtures::DetailsFontFolder(std::string* error) {
  static std::string failure;
  static const std::string folder =
      BuildFonts({"--details"}, "details-fonts", "DetailSerif-Regular.ttf", failure);
  if (error != nullptr) *error = failure;
  return folder;
}

std::string FontFixtures::CoverageFontFolder(std::string* error) {
  static std::string failure;
  static const std::string folder =
      BuildFonts({"--coverage"}, "coverage-fonts", "CoverSymbol-Regular.ttf", failure);
  if (error != nullptr) *error = failure;
  return folder;
}

std::string FontFixtures::WriteFontconfigConfig(const std::string& workFolder,
                                                const std::vector<std::string>& fontFolders) {
  const QString path = QString::fromStdString(workFolder) + "/fonts.conf";
  QString xml = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n";
  for (const std::string& dir : fontFolders) xml += "  <dir>" + Escape(dir) + "</dir>\n";
  xml += "  <cachedir>" + Escape(workFolder + "/cache") + "</cachedir>\n</fontconfig>\n";
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(xml.toUtf8()) < 0) return {};
  return path.toStdString();
}

bool FontFixtures::UseSandboxFontconfig(const std::vector<std::string>& folders, std::string* error) {
  static std::unique_ptr<QTemporaryDir> work;  // lives until the process ends
  if (!work) work = std::make_unique<QTemporaryDir>();
  if (!work->isValid()) {
    if (error != nullptr) *error = "cannot make a temporary folder";
    return false;
  }
  const std::string config = WriteFontconfigConfig(work->path().toStdString(), folders);
  if (config.empty()) {
    if (error != nullptr) *error = "cannot write the fontconfig configuration";
    return false;
  }
  ::setenv("FONTCONFIG_FILE", config.c_str(), 1);
  return true;
}

bool FontFixtures::UseSandboxFontconfig(std::string* error) {
  const std::string fonts = FontFolder(error);
  if (fonts.empty()) return false;
  return UseSandboxFontconfig(std::vector<std::string>{fonts}, error);
}

std::string FontFixtures::FcMatchFamily(const std::string& name) {
  QProcess match;
  match.start("fc-match", {"-f", "%{family[0]}", QString::fromStdString(name)});
  if (!match.waitForFinished(60000) || match.exitStatus() != QProcess::NormalExit || match.exitCode() != 0) return {};
  return match.readAllStandardOutput().toStdString();
}

}  // namespace typeloom::testsupport
