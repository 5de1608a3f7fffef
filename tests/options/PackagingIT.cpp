// The desktop-integration files as installed and as the program writes them,
// checked with the desktop's own validators.
#include "platform/shell/ShellBindings.h"
#include "platform/shell/XdgDirs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

struct Result {
  int code = -1;
  QString output;
};

Result Exec(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(120000)) return {};
  return {p.exitCode(), QString::fromUtf8(p.readAll())};
}

void RequireTools(const QStringList& tools) {
  for (const QString& tool : tools) {
    ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty()) << tool.toStdString() << " missing: run scripts/install-deps";
  }
}

TEST(Packaging, InstallPutsValidFilesInPlaceUnderAPrefixWithAwkwardCharacters) {
  ASSERT_NO_FATAL_FAILURE(RequireTools({"cmake", "desktop-file-validate", "appstreamcli"}));
  QTemporaryDir dir;
  const QString prefix = dir.filePath("my prefix 100%");
  const Result install = Exec("cmake", {"--install", qEnvironmentVariable("TYPELOOM_BINARY_DIR"), "--prefix", prefix});
  ASSERT_EQ(install.code, 0) << install.output.toStdString();

  const QString entry = prefix + "/share/applications/typeloom.desktop";
  const Result desktop = Exec("desktop-file-validate", {entry});
  EXPECT_EQ(desktop.code, 0) << desktop.output.toStdString();
  QFile file(entry);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray installed = file.readAll();
  const auto exec = KeyFileValue(installed, "Desktop Entry", "Exec");
  ASSERT_TRUE(exec);
  // Launchers create a startup id or activation token only for entries that ask.
  EXPECT_EQ(KeyFileValue(installed, "Desktop Entry", "StartupNotify"), QByteArray("true"));
  EXPECT_EQ(ProgramOfExec(*exec), prefix + "/bin/typeloom");  // one argument, blanks and % kept
  EXPECT_TRUE(QFileInfo(prefix + "/bin/typeloom").isExecutable());

  const Result meta = Exec("appstreamcli",
                           {"validate", "--no-net", prefix + "/share/metainfo/example.corvane.Typeloom.metainfo.xml"});
  EXPECT_EQ(meta.code, 0) << meta.output.toStdString();

  for (const char* path : {"/share/mime/packages/typeloom.xml", "/share/icons/hicolor/scalable/apps/typeloom.svg",
                           "/share/icons/hicolor/16x16/apps/typeloom.png", "/share/icons/hicolor/48x48/apps/typeloom.png",
                           "/share/icons/hicolor/256x256/apps/typeloom.png",
                           "/share/typeloom/templates/typeloom-print.servicemenu.in",
                           "/share/typeloom/templates/typeloom-print.nemo_action.in", "/share/man/man1/typeloom.1"})
    EXPECT_TRUE(QFileInfo::exists(prefix + path)) << path;
}

// A package's staging install: the files a package ships, and no database that the
// system's triggers build (MIME, desktop); the metainfo's launchable is the desktop
// entry installed beside it.
TEST(Packaging, StagedInstallShipsSourcesOfDatabasesOnly) {
  RequireTools({"cmake", "appstreamcli"});
  QTemporaryDir root;
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DESTDIR", root.path());
  p.setProcessEnvironment(env);
  p.start("cmake", {"--install", qEnvironmentVariable("TYPELOOM_BINARY_DIR"), "--prefix", "/usr"});
  ASSERT_TRUE(p.waitForFinished(120000));
  ASSERT_EQ(p.exitCode(), 0) << p.readAll().toStdString();

  const QString share = root.path() + "/usr/share";
  QStringList mime;
  QDirIterator files(share + "/mime", QDir::Files, QDirIterator::Subdirectories);
  while (files.hasNext()) mime << files.next().mid(share.size());
  EXPECT_EQ(mime.join(' ').toStdString(), "/mime/packages/typeloom.xml");
  const QStringList applications = QDir(share + "/applications").entryList(QDir::Files);
  EXPECT_EQ(applications.join(' ').toStdString(), "typeloom.desktop");
  EXPECT_TRUE(QFileInfo(share + "/man/man1/typeloom.1").isFile());

  const Result tree = Exec("appstreamcli", {"validate-tree", "--no-net", root.path()});
  EXPECT_EQ(tree.code, 0) << tree.output.toStdString();
}

TEST(Packaging, TheProgramsOwnDesktopEntryKeepsAnyPathOneArgument) {
  ASSERT_NO_FATAL_FAILURE(RequireTools({"desktop-file-validate"}));
  QTemporaryDir dir;
  const QList<QByteArray> types{"font/ttf"};
  for (const QString& exe : {QString("/opt/type loom/bin/typeloom"), QString("/opt/it's \"100%\" $HOME/typeloom"),
                             QString("/opt/back\\slash/`tick`/typeloom")}) {
    const QByteArray text = shell::FillTemplate(shell::Template("typeloom.desktop.in"), exe, types);
    ASSERT_FALSE(text.isEmpty());
    const QString path = dir.filePath("typeloom.desktop");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    const Result r = Exec("desktop-file-validate", {path});
    EXPECT_EQ(r.code, 0) << exe.toStdString() << "\n" << r.output.toStdString();
    EXPECT_EQ(ProgramOfExec(*KeyFileValue(text, "Desktop Entry", "Exec")), exe);
  }
}

TEST(Packaging, TheMimePackageMatchesByNameOnly) {
  const QByteArray package = shell::Template("typeloom-mime.xml");
  EXPECT_TRUE(package.contains("<glob pattern=\"*.fon\" weight=\"60\"/>"));
  EXPECT_TRUE(package.contains("<glob pattern=\"*.pfm\" weight=\"60\"/>"));
  EXPECT_FALSE(package.contains("<magic"));
  for (const std::string& ext : shell::FontExtensions()) {
    const QByteArray type = shell::MimeTypeOf(ext);
    EXPECT_NE(type, "application/octet-stream");
    EXPECT_FALSE(type.contains("executable"));
  }
}

}  // namespace
}  // namespace typeloom::platform
