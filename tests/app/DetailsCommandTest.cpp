// `typeloom --details NAME` as a script runs it: the real program over a fontconfig
// that sees two copies of installed fonts, no display.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Result {
  int exitCode = -1;
  QString out;
  QString err;
};

class DetailsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const QString root = dir_.path();
    for (const char* sub : {"home", "config", "data", "cache", "runtime", "fonts"}) QDir(root).mkpath(sub);
    QFile::setPermissions(root + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (const char* font : {"DejaVuSans.ttf", "DejaVuSansMono.ttf"}) {
      if (!QFile::copy(QStringLiteral("/usr/share/fonts/truetype/dejavu/") + font, root + "/fonts/" + font)) {
        GTEST_SKIP() << "DejaVu fonts are not installed";
      }
    }
    QFile config(root + "/fonts.conf");
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                                "<fontconfig><dir>%1/fonts</dir><cachedir>%1/cache/fc</cachedir></fontconfig>\n")
                     .arg(root)
                     .toUtf8());
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("HOME", root + "/home");
    env_.insert("XDG_CONFIG_HOME", root + "/config");
    env_.insert("XDG_DATA_HOME", root + "/data");
    env_.insert("XDG_CACHE_HOME", root + "/cache");
    env_.insert("XDG_RUNTIME_DIR", root + "/runtime");
    env_.insert("FONTCONFIG_FILE", root + "/fonts.conf");
    // No display at all: the command needs none.
    env_.remove("QT_QPA_PLATFORM");
    env_.remove("DISPLAY");
    env_.remove("WAYLAND_DISPLAY");
  }
  Result Run(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(env_);
    process.start(TYPELOOM_EXE, arguments);
    process.waitForFinished(60000);
    Result r;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
  }

  QTemporaryDir dir_;
  QProcessEnvironment env_;
};

TEST_F(DetailsCommandTest, PrintsThePanelLinesThenTheCopyright) {
  const Result r = Run({"--details", "DejaVu Sans Mono"});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, "");
  const QStringList lines = r.out.split(u'\n');
  ASSERT_GE(lines.size(), 6) << r.out.toStdString();
  EXPECT_EQ(lines.mid(0, 4), QStringList({"Is a TrueType font", "Is a fixed pitch font", "Is a vector font",
                                          "Is a modern font"}));
  EXPECT_TRUE(lines.contains("Installed: True")) << r.out.toStdString();
  EXPECT_TRUE(lines[lines.size() - 2].startsWith("Copyright: Copyright (c) 2003 by Bitstream, Inc")) << r.out.toStdString();
  EXPECT_EQ(lines.back(), "");  // the output ends with a line break
}

TEST_F(DetailsCommandTest, UnknownNameIsOneLineOnStandardErrorAndStatusOne) {
  const Result r = Run({"--details", "No Such Font"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("No Such Font"));
}

TEST_F(DetailsCommandTest, HelpListsIt) {
  const Result r = Run({"--help"});
  EXPECT_TRUE(r.out.contains("--details FONT-NAME"));
}

}  // namespace
