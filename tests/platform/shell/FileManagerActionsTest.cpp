#include "platform/shell/FileManagerActions.h"
#include "platform/shell/ShellBindings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace typeloom::platform::shell {
namespace {

const QList<QByteArray> kFive{"application/x-font-fon", "font/otf", "application/x-font-pfm", "font/collection",
                              "font/ttf"};

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(FileManagerActions, QuotingSurvivesEveryCharacter) {
  const struct {
    QByteArray text, shell, xml;
  } cases[] = {
      {"/usr/bin/typeloom", "'/usr/bin/typeloom'", "/usr/bin/typeloom"},
      {"/opt/My Apps/typeloom", "'/opt/My Apps/typeloom'", "/opt/My Apps/typeloom"},
      {"/o'brien/$(x)`y`", "'/o'\\''brien/$(x)`y`'", "/o&apos;brien/$(x)`y`"},
      {"a&b<c>\"d\"", "'a&b<c>\"d\"'", "a&amp;b&lt;c&gt;&quot;d&quot;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShellQuote(c.text), c.shell) << c.text.constData();
    EXPECT_EQ(XmlEscape(c.text), c.xml) << c.text.constData();
    // The shell reads the word back as the text.
    QProcess sh;
    sh.start("/bin/sh", {"-c", "printf %s " + QString::fromUtf8(ShellQuote(c.text))});
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_EQ(sh.readAllStandardOutput(), c.text);
  }
}

TEST(FileManagerActions, ThunarActionGoesInAndOutLeavingEveryOtherByte) {
  const QByteArray action = ThunarAction(Template("typeloom-print.uca-action.in"), "/opt/a b/typeloom", {"font/ttf"});
  ASSERT_FALSE(action.isEmpty());
  EXPECT_TRUE(action.contains("<command>&apos;/opt/a b/typeloom&apos; /p %f</command>")) << action.constData();
  EXPECT_TRUE(action.contains("<patterns>*.ttf;*.TTF</patterns>")) << action.constData();
  EXPECT_TRUE(action.contains("<unique-id>typeloom-print</unique-id>"));

  const QByteArray mine =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<icon>utilities-terminal</icon>\n"
      "\t<name>Open Terminal Here</name>\n\t<unique-id>1-1</unique-id>\n\t<command>exo-open %f</command>\n"
      "\t<patterns>*</patterns>\n\t<directories/>\n</action>\n<!-- kept -->\r\n</actions>\n";
  const struct {
    const char* what;
    QByteArray content;
  } files[] = {
      {"the user's own actions", mine},
      {"no actions", kEmptyThunarActions},
      {"everything on one line", "<actions><action><name>x</name></action></actions>"},
      {"no final line end", "<actions>\n</actions>"},
      // Fragments that name our id outside a block of their own stay the user's bytes.
      {"a stray id", "<unique-id>typeloom-print</unique-id>\n<actions>\n</actions>\n"},
      {"an unclosed block", "<actions>\n<action><unique-id>typeloom-print</unique-id>\n</actions>\n"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.what);
    const auto with = WithThunarAction(f.content, action);
    ASSERT_TRUE(with);
    EXPECT_TRUE(with->contains(action));
    EXPECT_TRUE(with->endsWith(f.content.mid(f.content.lastIndexOf("</actions>"))));
    // Once in, the action is replaced where it stands, never added twice.
    const QByteArray other = ThunarAction(Template("typeloom-print.uca-action.in"), "/usr/bin/typeloom", kFive);
    const auto replaced = WithThunarAction(*with, other);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->count("typeloom-print"), f.content.count("typeloom-print") + 1);
    EXPECT_TRUE(replaced->contains("*.fon;*.otf;*.pfm;*.ttc;*.otc;*.ttf;*.FON;"));
    EXPECT_EQ(WithoutThunarAction(*replaced), f.content);
    EXPECT_EQ(WithoutThunarAction(*with), f.content);
  }
  // Nothing to insert before: the file is not the program's to change.
  EXPECT_FALSE(WithThunarAction("<actions/>\n", action));
  EXPECT_FALSE(WithThunarAction("", action));
  // A user's action that merely mentions the id in its command is not ours.
  const QByteArray mention = "<actions>\n<action>\n<name>x</name>\n</action>\n<unique-id>typeloom-print</unique-id>\n</actions>\n";
  EXPECT_FALSE(FindThunarAction(mention));
  EXPECT_EQ(WithoutThunarAction(mention), mention);
}

// The script run by the shell as GNOME Files runs it, with a recording program in
// place of the real one: each font file is handed over by itself, whatever its name.
TEST(FileManagerActions, ScriptPrintsEachSelectedFontFileByItself) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString program = dir.filePath("bin dir/it's typeloom");
  const QString record = dir.filePath("record");
  ASSERT_TRUE(WriteAll(program, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$RECORD\"; done\nprintf '\\n' >> \"$RECORD\"\n"));
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray script = PrintScript(Template("typeloom-print.nautilus-script.in"), program, kFive);
  ASSERT_TRUE(IsOwnPrintScript(script));
  const QString scriptPath = dir.filePath("Print");
  ASSERT_TRUE(WriteAll(scriptPath, script));

  const QString fonts = dir.filePath("fonts");
  const QStringList names{"My Font.ttf", "new\nline.OTF", "-dash.ttc", "$(touch pwned).pfm", "notes.txt", "plain.Fon"};
  for (const QString& name : names) ASSERT_TRUE(WriteAll(fonts + "/" + name, "x"));
  QDir(fonts).mkdir("folder.ttf");

  QProcess sh;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("RECORD", record);
  sh.setProcessEnvironment(env);
  sh.setWorkingDirectory(fonts);
  // GNOME Files passes the selection as arguments, relative to the folder shown.
  QStringList arguments{scriptPath};
  for (const QString& name : names) arguments << name;
  arguments << "folder.ttf" << fonts + "/My Font.ttf" << "missing.ttf";
  sh.start("/bin/sh", arguments);
  ASSERT_TRUE(sh.waitForFinished(10000));
  EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().constData();

  QList<QByteArray> runs = ReadAll(record).split('\n');
  // "new\nline.OTF" splits one record line in two: put the runs back by their ends.
  QList<QByteArray> calls;
  for (const QByteArray& part : runs) {
    if (!calls.isEmpty() && !calls.back().endsWith('\0')) {
      calls.back() += '\n' + part;
    } else if (!part.isEmpty()) {
      calls << part;
    }
  }
  const QByteArray base = QFile::encodeName(fonts) + '/';
  const QList<QByteArray> expected{
      QByteArray("/p\0", 3) + base + "My Font.ttf" + '\0',       QByteArray("/p\0", 3) + base + "new\nline.OTF" + '\0',
      QByteArray("/p\0", 3) + base + "-dash.ttc" + '\0',         QByteArray("/p\0", 3) + base + "$(touch pwned).pfm" + '\0',
      QByteArray("/p\0", 3) + base + "plain.Fon" + '\0',         QByteArray("/p\0", 3) + base + "My Font.ttf" + '\0',
  };
  EXPECT_EQ(calls, expected);
  EXPECT_FALSE(QFileInfo::exists(fonts + "/pwned"));
}

TEST(FileManagerActions, EveryFontTypeHasItsPatterns) {
  for (const QByteArray& type : kFive) EXPECT_FALSE(GlobsOf(type).isEmpty()) << type.constData();
  for (const char* type : {"application/x-font-type1", "application/x-font-pcf", "application/x-font-bdf", "font/woff",
                           "font/woff2"})
    EXPECT_FALSE(GlobsOf(type).isEmpty()) << type;
  EXPECT_TRUE(GlobsOf("application/octet-stream").isEmpty());
}

}  // namespace
}  // namespace typeloom::platform::shell
