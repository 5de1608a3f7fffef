// `typeloom --details NAME` as a script runs it: the real program over a fontconfig
// that sees two copies of installed fonts, no display.
#include "support/ProgramSandbox.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Result = typeloom::testsupport::ProgramSandbox::Result;

class DetailsCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(box.Ready()) << "DejaVu fonts are missing (fonts-dejavu-core): run scripts/install-deps";
    // No display at all: the command needs none.
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) box.Env().remove(name);
  }
  Result Run(const QStringList& arguments) { return box.Run(arguments); }

  typeloom::testsupport::ProgramSandbox box{"/usr/share/fonts/truetype/dejavu", {"DejaVuSans.ttf", "DejaVuSansMono.ttf"}};
};

TEST_F(DetailsCommandTest, PrintsThePanelLinesThenTheCopyright) {
  const Result r = Run({"--details", "DejaVu Sans Mono"});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, "");
  const QStringList lines = r.out.split(u'\n');
  ASSERT_GE(lines.size(), 6) << r.out.toStdString();
  EXPECT_EQ(lines.mid(0, 4), QStringList({"Is a TrueType font", "Is a fixed pitch font", "Is a vector font",
                                          "Is a modern font"}));
  EXPECT_TRUE(lines.contains("Installed: True")) << r.out.toStdString();
  EXPECT_TRUE(lines[lines.size() - 2].startsWith("Copyright: Copyright (c) 2003 by Bitstream, Inc")) << r.out.toStdString();
  EXPECT_EQ(lines.back(), "");  // the output ends with a line break
}

// The README's example: the command it shows, run here, prints exactly the lines
// shown under it.
TEST_F(DetailsCommandTest, ReadmeExampleIsWhatTheProgramPrints) {
  QFile readme(qEnvironmentVariable("TYPELOOM_SOURCE_DIR") + "/README.md");
  ASSERT_TRUE(readme.open(QIODevice::ReadOnly)) << readme.fileName().toStdString();
  const QString text = QString::fromUtf8(readme.readAll());
  const QString lead = "for example `typeloom --details \"";
  const qsizetype at = text.indexOf(lead);
  ASSERT_GE(at, 0) << "the README no longer shows a --details example";
  const qsizetype nameEnd = text.indexOf("\"`:", at + lead.size());
  ASSERT_GT(nameEnd, at);
  const QString name = text.mid(at + lead.size(), nameEnd - at - lead.size());
  const qsizetype open = text.indexOf("```\n", nameEnd);
  ASSERT_GT(open, nameEnd);
  const qsizetype close = text.indexOf("```\n", open + 4);
  ASSERT_GT(close, open);
  const QString shown = text.mid(open + 4, close - open - 4);

  const Result r = Run({"--details", name});
  EXPECT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.toStdString(), shown.toStdString()) << "for --details \"" << name.toStdString() << '"';
}

TEST_F(DetailsCommandTest, UnknownNameIsOneLineOnStandardErrorAndStatusOne) {
  const Result r = Run({"--details", "No Such Font"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.contains("No Such Font"));
}

// A font whose names and notices carry a line break and terminal control sequences:
// each name stays one line of --list, and --details prints the texts escaped.
TEST(HostileNamesCommandTest, ControlCharactersArePrintedEscaped) {
  QTemporaryDir fonts;
  QProcess python;
  python.start("/usr/bin/python3",
               {"-B", "-c",
                "import sys; sys.path.insert(0, sys.argv[1]); import make_test_fonts as m; "
                "m.build('Evil\\nName', 'Regular', version='Version 1\\x1b[2K', "
                "copyright='\\x1b]0;owned\\x07Title. More').font.save(sys.argv[2])",
                qEnvironmentVariable("TYPELOOM_SOURCE_DIR") + "/tests/support", fonts.filePath("evil.ttf")});
  ASSERT_TRUE(python.waitForFinished(120000) && python.exitCode() == 0) << python.readAllStandardError().toStdString();
  typeloom::testsupport::ProgramSandbox box{"/", {}};
  box.UseFontFolder(fonts.path());
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) box.Env().remove(name);

  const Result list = box.Run({"--list"});
  EXPECT_EQ(list.code, 0) << list.err.toStdString();
  EXPECT_EQ(list.out, "Evil\\nName Regular\n");

  const Result details = box.Run({"--details", "Evil\\nName Regular"});
  EXPECT_EQ(details.code, 0) << details.err.toStdString();
  const QStringList lines = details.out.split(u'\n');
  EXPECT_TRUE(lines.contains("Version 1\\e[2K")) << details.out.toStdString();
  EXPECT_TRUE(lines.contains("Copyright: \\e]0;owned\\x07Title")) << details.out.toStdString();
  EXPECT_FALSE(details.out.contains(QChar(0x1b)));
}

TEST_F(DetailsCommandTest, HelpListsIt) {
  const Result r = Run({"--help"});
  EXPECT_TRUE(r.out.contains("--details FONT-NAME"));
}

}  // namespace
