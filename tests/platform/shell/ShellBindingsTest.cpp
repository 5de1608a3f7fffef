#include "platform/files/AtomicFile.h"
#include "platform/registry/CompositeRegistry.h"
#include "platform/shell/FileManagerActions.h"
#include "platform/shell/MimeAppsList.h"
#include "platform/shell/ShellBindings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <optional>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace typeloom::platform {
namespace {

using Verb = XdgShell::Verb;

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// A sandbox of XDG folders with one foreign viewer installed system-wide.
class ShellSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    dirs.configHome = dir.filePath("config");
    dirs.configDirs = {dir.filePath("etc-xdg")};
    dirs.dataHome = dir.filePath("data");
    dirs.dataDirs = {dir.filePath("usr-share")};
    dirs.desktops = {"x-test"};
    QDir().mkpath(dirs.configDirs[0]);  // a machine folder is one that exists
    identity = {dir.filePath("bin/typeloom"), dir.filePath("bin/typeloom") + " %1",
                dir.filePath("bin/typeloom") + " /p %1"};
    WriteAll(identity.exePath, "#!/bin/sh\n");
    QFile::setPermissions(identity.exePath, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
    WriteAll(dir.filePath("usr-share/applications/foreign.desktop"),
             "[Desktop Entry]\nType=Application\nName=Foreign\nExec=/bin/true --open %F\n"
             "MimeType=font/ttf;font/otf;font/collection;\n");
    user = std::make_unique<XdgShell>(XdgShell::Scope::User, identity, dirs, [this](const QString& p, const QStringList&) {
      tools << p;
    });
  }

  std::string Read(std::string_view ext, Verb verb, std::string_view name, std::uint32_t* type, long* rc) {
    std::string data;
    *rc = user->Read(ext, verb, name, type, &data);
    return data;
  }

  QTemporaryDir dir;
  XdgDirs dirs;
  ShellIdentity identity;
  std::unique_ptr<XdgShell> user;
  QStringList tools;
};

// The five Windows types keep their place at the front; the Linux font types follow.
TEST(FontClasses, EachClassHasItsFontTypeAndTheWindowsFiveComeFirst) {
  const std::vector<std::pair<std::string, QByteArray>> expected{
      {"fon", "application/x-font-fon"},   {"otf", "font/otf"},
      {"pfm", "application/x-font-pfm"},   {"ttc", "font/collection"},
      {"ttf", "font/ttf"},                 {"pfb", "application/x-font-type1"},
      {"pcf", "application/x-font-pcf"},   {"bdf", "application/x-font-bdf"},
      {"woff", "font/woff"},               {"woff2", "font/woff2"}};
  std::vector<std::pair<std::string, QByteArray>> actual;
  for (const std::string& ext : shell::FontExtensions()) actual.emplace_back(ext, shell::MimeTypeOf(ext));
  EXPECT_EQ(actual, expected);
  EXPECT_TRUE(shell::MimeTypeOf("otc").isEmpty());
  EXPECT_TRUE(shell::MimeTypeOf("exe").isEmpty());
}

// The machine's folder: never a home's, never a package manager's export, only one
// the program may write in; the first such folder in XDG order.
TEST(MachineFolder, IsTheFirstSystemFolderThatIsNoHomeNoExportAndWritable) {
  const QStringList homes{"/home", "/root", "/srv/users/ann", "/"};
  struct Case {
    QStringList candidates;
    QStringList writable;
    QString expected;  // empty: none
  };
  const std::vector<Case> cases{
      {{"/usr/local/share", "/usr/share"}, {"/usr/local/share", "/usr/share"}, "/usr/local/share"},
      {{"/var/lib/flatpak/exports/share", "/usr/local/share"}, {"/var/lib/flatpak/exports/share", "/usr/local/share"},
       "/usr/local/share"},
      {{"/home/ann/.local/share/flatpak/exports/share", "/srv/users/ann/share", "/root/share", "/usr/share"},
       {"/home/ann/.local/share/flatpak/exports/share", "/srv/users/ann/share", "/root/share", "/usr/share"},
       "/usr/share"},
      {{"/var/lib/snapd/desktop", "/usr/share"}, {"/var/lib/snapd/desktop", "/usr/share"}, "/usr/share"},
      {{"/usr/local/share", "/usr/share"}, {"/usr/share"}, "/usr/share"},
      {{"/opt/share/", "/usr/share"}, {"/opt/share"}, "/opt/share"},
      {{"relative/share", "/homely/share"}, {"relative/share", "/homely/share"}, "/homely/share"},
      {{"/usr/share"}, {}, ""},
      {{"/var/lib/flatpak/exports/share"}, {"/var/lib/flatpak/exports/share"}, ""},
      {{}, {}, ""},
  };
  for (const Case& c : cases) {
    const auto folder = MachineFolder(c.candidates, homes, [&c](const QString& p) { return c.writable.contains(p); });
    EXPECT_EQ(folder.value_or(QString()), c.expected) << c.candidates.join(':').toStdString();
  }
}

TEST_F(ShellSandbox, OpenCommandReadsTheResolvedDefaultAndOwnBindingReadsAsType2) {
  WriteAll(dirs.configDirs[0] + "/x-test-mimeapps.list", "[Default Applications]\nfont/ttf=foreign.desktop;\n");
  std::uint32_t type = 0;
  long rc = 0;
  EXPECT_EQ(Read("ttf", Verb::Open, "", &type, &rc), "/bin/true --open %1");
  EXPECT_EQ(rc, reg::kSuccess);
  EXPECT_EQ(type, reg::kSz);
  Read("otf", Verb::Open, "", &type, &rc);
  EXPECT_EQ(rc, reg::kFileNotFound);  // no default anywhere

  ASSERT_EQ(user->Write("ttf", Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  EXPECT_EQ(Read("ttf", Verb::Open, "", &type, &rc), identity.openCommand.toStdString());
  EXPECT_EQ(type, reg::kExpandSz);
  EXPECT_EQ(ReadAll(user->MimeAppsPath()), "[Default Applications]\nfont/ttf=typeloom.desktop;\n");
  // Run from outside an installation, the program's desktop entry is the user's own copy.
  EXPECT_TRUE(ReadAll(user->DesktopEntryPath()).contains("Exec=" + identity.exePath.toUtf8() + " %f"));
  EXPECT_TRUE(tools.contains("update-desktop-database"));
}

TEST_F(ShellSandbox, OnlyTheProgramsOwnCommandsCanBeWritten) {
  EXPECT_EQ(user->Write("ttf", Verb::Open, "", "/bin/other %1"), reg::kAccessDenied);
  EXPECT_EQ(user->Write("ttf", Verb::Print, "", "/bin/other /p %1"), reg::kAccessDenied);
  EXPECT_EQ(user->Write("exe", Verb::Open, "", identity.openCommand.toStdString()), reg::kAccessDenied);
  EXPECT_FALSE(QFileInfo::exists(user->MimeAppsPath()));
  XdgShell noPath(XdgShell::Scope::User, ShellIdentity{"", " %1", " /p %1"}, dirs, [](auto&, auto&) {});
  EXPECT_EQ(noPath.Write("ttf", Verb::Open, "", " %1"), reg::kAccessDenied);
  EXPECT_FALSE(QFileInfo::exists(user->MimeAppsPath()));
}

TEST_F(ShellSandbox, RestoresLinesOnlyWhileTheTypeIsStillOurs) {
  const QByteArray original = "# mine\n[Default Applications]\nfont/ttf = foreign.desktop;x.desktop;\n";
  WriteAll(user->MimeAppsPath(), original);
  std::uint32_t type = 0;
  long rc = 0;
  const std::string prior = Read("ttf", Verb::Open, shell::kLinesValue, &type, &rc);
  EXPECT_EQ(type, reg::kSz);
  ASSERT_EQ(user->Write("ttf", Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  Read("ttf", Verb::Open, shell::kLinesValue, &type, &rc);
  EXPECT_EQ(type, reg::kExpandSz);  // our own line is never remembered

  // The user picked another program meanwhile: the restore leaves their choice.
  const QByteArray changed = "# mine\n[Default Applications]\nfont/ttf=other.desktop;\n";
  WriteAll(user->MimeAppsPath(), changed);
  EXPECT_EQ(user->Write("ttf", Verb::Open, shell::kLinesValue, prior), reg::kAccessDenied);
  EXPECT_EQ(ReadAll(user->MimeAppsPath()), changed);
  EXPECT_EQ(user->Write("ttf", Verb::Open, "", ""), reg::kSuccess);  // not ours: nothing removed
  EXPECT_EQ(ReadAll(user->MimeAppsPath()), changed);

  WriteAll(user->MimeAppsPath(), original);
  ASSERT_EQ(user->Write("ttf", Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  EXPECT_EQ(user->Write("ttf", Verb::Open, shell::kLinesValue, "=text/plain=x.desktop;"), reg::kInvalidParameter);
  EXPECT_EQ(user->Write("ttf", Verb::Open, shell::kLinesValue, prior), reg::kSuccess);
  EXPECT_EQ(ReadAll(user->MimeAppsPath()), original);
}

TEST_F(ShellSandbox, WritesThroughASymbolicLinkAndKeepsTheMode) {
  const QString target = dir.filePath("dotfiles/mimeapps.list");
  WriteAll(target, "[Default Applications]\n");
  QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
  QDir().mkpath(dirs.configHome);
  ASSERT_TRUE(QFile::link(target, user->MimeAppsPath()));
  ASSERT_EQ(user->Write("otf", Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  EXPECT_TRUE(QFileInfo(user->MimeAppsPath()).isSymLink());
  EXPECT_EQ(ReadAll(target), "[Default Applications]\nfont/otf=typeloom.desktop;\n");
  struct stat st {};
  ASSERT_EQ(::stat(target.toLocal8Bit().constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(ShellSandbox, AFileThatDidNotExistIsRemovedAgain) {
  std::uint32_t type = 0;
  long rc = 0;
  const std::string prior = Read("ttc", Verb::Open, shell::kLinesValue, &type, &rc);
  EXPECT_EQ(prior, "!fg");
  ASSERT_EQ(user->Write("ttc", Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess);
  ASSERT_EQ(user->Write("ttc", Verb::Open, shell::kLinesValue, prior), reg::kSuccess);
  EXPECT_FALSE(QFileInfo::exists(user->MimeAppsPath()));
}

// A desktop-specific list of the user's that names the type decides its default: the
// program's line goes there, and the list gets back exactly what it held. Types it
// does not name go to mimeapps.list.
TEST_F(ShellSandbox, TheDesktopListThatDecidesIsEditedAndRestoredExactly) {
  const QString desktopList = dirs.configHome + "/x-test-mimeapps.list";
  const QByteArray original = "# picked in the desktop's settings\n[Default Applications]\nfont/otf = foreign.desktop;\n";
  WriteAll(desktopList, original);
  std::uint32_t type = 0;
  long rc = 0;
  const std::string otf = Read("otf", Verb::Open, shell::kLinesValue, &type, &rc);
  EXPECT_EQ(otf, "@x-test-mimeapps.list\n=font/otf = foreign.desktop;");
  const std::string ttf = Read("ttf", Verb::Open, shell::kLinesValue, &type, &rc);
  EXPECT_EQ(ttf, "!fg");
  for (const char* ext : {"otf", "ttf"})
    ASSERT_EQ(user->Write(ext, Verb::Open, "", identity.openCommand.toStdString()), reg::kSuccess) << ext;
  EXPECT_EQ(ReadAll(desktopList),
            "# picked in the desktop's settings\n[Default Applications]\nfont/otf=typeloom.desktop;\n");
  EXPECT_EQ(ReadAll(user->MimeAppsPath()), "[Default Applications]\nfont/ttf=typeloom.desktop;\n");
  EXPECT_EQ(Read("otf", Verb::Open, "", &type, &rc), identity.openCommand.toStdString());
  EXPECT_EQ(type, reg::kExpandSz);

  ASSERT_EQ(user->Write("otf", Verb::Open, shell::kLinesValue, otf), reg::kSuccess);
  ASSERT_EQ(user->Write("ttf", Verb::Open, shell::kLinesValue, ttf), reg::kSuccess);
  EXPECT_EQ(ReadAll(desktopList), original);
  EXPECT_FALSE(QFileInfo::exists(user->MimeAppsPath()));
  EXPECT_FALSE(QFileInfo::exists(user->DesktopEntryPath()));  // the copy goes with the last binding
}

TEST_F(ShellSandbox, ADesktopListThatCannotBeWrittenFailsTheBindingAndKeepsEverything) {
  const QString desktopList = dirs.configHome + "/x-test-mimeapps.list";
  const QByteArray original = "[Default Applications]\nfont/otf=foreign.desktop;\n";
  WriteAll(desktopList, original);
  ASSERT_TRUE(QFile::setPermissions(desktopList, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  TakeWriteFailures();
  EXPECT_EQ(user->Write("otf", Verb::Open, "", identity.openCommand.toStdString()), reg::kAccessDenied);
  EXPECT_EQ(ReadAll(desktopList), original);
  EXPECT_EQ(TakeWriteFailures(), QStringList{desktopList + ": Permission denied"});
  EXPECT_FALSE(QFileInfo::exists(user->MimeAppsPath()));
  EXPECT_FALSE(QFileInfo::exists(user->DesktopEntryPath()));
}

// Remembered lines name their list; only a list of the root's own folder, named as
// desktops name theirs, is ever written back.
TEST(ListLines, RoundTripAndRefuseListsOutsideTheFolder) {
  mimeapps::TypeLines lines;
  lines.filePresent = lines.groupPresent = true;
  lines.lines = {"font/ttf=a.desktop;"};
  for (const QString& name : {QString("mimeapps.list"), QString("gnome-mimeapps.list"), QString("x-cinnamon-mimeapps.list")}) {
    QString parsedName;
    mimeapps::TypeLines parsed;
    ASSERT_TRUE(mimeapps::ParseListLines(mimeapps::EncodeListLines(name, lines), &parsedName, &parsed)) << name.toStdString();
    EXPECT_EQ(parsedName, name);
    EXPECT_EQ(parsed, lines);
  }
  for (const char* bad : {"@../mimeapps.list\n=font/ttf=a.desktop;", "@a/b-mimeapps.list\n!fg", "@.x-mimeapps.list\n!fg",
                          "@GNOME-mimeapps.list\n!fg", "@-mimeapps.list\n!fg", "@x-mimeapps.list", "@other.list\n!fg",
                          "@x-mimeapps.list\n?"}) {
    QString name;
    mimeapps::TypeLines parsed;
    EXPECT_FALSE(mimeapps::ParseListLines(bad, &name, &parsed)) << bad;
  }
}

TEST_F(ShellSandbox, PrintActionsFollowTheTypesAndGoWithTheLast) {
  std::uint32_t type = 0;
  long rc = 0;
  Read("fon", Verb::Print, "", &type, &rc);
  EXPECT_EQ(rc, reg::kFileNotFound);
  ASSERT_EQ(user->Write("fon", Verb::Print, "", identity.printCommand.toStdString()), reg::kSuccess);
  ASSERT_EQ(user->Write("ttf", Verb::Print, "", identity.printCommand.toStdString()), reg::kSuccess);
  EXPECT_EQ(Read("ttf", Verb::Print, "", &type, &rc), identity.printCommand.toStdString());
  EXPECT_EQ(type, reg::kExpandSz);
  const QByteArray menu = ReadAll(user->ServiceMenuPath());
  EXPECT_TRUE(menu.contains("Type=Service\n")) << menu.constData();
  EXPECT_TRUE(menu.contains("MimeType=application/x-font-fon;font/ttf;\n")) << menu.constData();
  EXPECT_TRUE(menu.contains("Exec=" + identity.exePath.toUtf8() + " /p %f\n"));
  EXPECT_TRUE(QFileInfo(user->ServiceMenuPath()).isExecutable());
  EXPECT_TRUE(ReadAll(user->NemoActionPath()).contains("Mimetypes=application/x-font-fon;font/ttf;\n"));
  // The .fon type is the program's own package, installed with its binding.
  EXPECT_TRUE(ReadAll(user->MimePackagePath()).contains("pattern=\"*.fon\""));
  EXPECT_FALSE(ReadAll(user->MimePackagePath()).contains("<magic"));
  EXPECT_TRUE(tools.contains("update-mime-database"));

  ASSERT_EQ(user->Write("fon", Verb::Print, "", ""), reg::kSuccess);
  EXPECT_TRUE(ReadAll(user->ServiceMenuPath()).contains("MimeType=font/ttf;\n"));
  EXPECT_FALSE(QFileInfo::exists(user->MimePackagePath()));  // nothing uses it any more
  ASSERT_EQ(user->Write("ttf", Verb::Print, "", ""), reg::kSuccess);
  EXPECT_FALSE(QFileInfo::exists(user->ServiceMenuPath()));
  EXPECT_FALSE(QFileInfo::exists(user->NemoActionPath()));
}

// GNOME Files' script and Thunar's action come and go with the print binding; the
// user's uca.xml gets exactly its bytes back, and a user's own "Print" script stays.
TEST_F(ShellSandbox, FileManagerActionsExistExactlyWhileAPrintBindingDoes) {
  const QByteArray machineActions = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n"
                                    "\t<name>Open Terminal Here</name>\n\t<unique-id>1-1</unique-id>\n</action>\n</actions>\n";
  WriteAll(dirs.configDirs[0] + "/Thunar/uca.xml", machineActions);
  const QByteArray usersOwn = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<name>Mine</name>\n"
                              "\t<unique-id>1671863021510925-2</unique-id>\n\t<command>echo %F</command>\n</action>\n"
                              "<!-- mine -->\n<action><name>Also mine</name></action>\n</actions>\n";
  const struct {
    const char* what;
    std::optional<QByteArray> before;  // the user's uca.xml, if any
  } cases[] = {{"no uca.xml of the user's", std::nullopt}, {"the user's own actions", usersOwn}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(user->ThunarActionsPath());
    if (c.before) WriteAll(user->ThunarActionsPath(), *c.before);
    const std::string print = identity.printCommand.toStdString();
    ASSERT_EQ(user->Write("ttf", Verb::Print, "", print), reg::kSuccess);
    ASSERT_EQ(user->Write("otf", Verb::Print, "", print), reg::kSuccess);

    const QByteArray script = ReadAll(user->NautilusScriptPath());
    EXPECT_TRUE(shell::IsOwnPrintScript(script));
    EXPECT_TRUE(script.contains("*.[oO][tT][fF]|*.[tT][tT][fF])")) << script.constData();
    EXPECT_TRUE(QFileInfo(user->NautilusScriptPath()).isExecutable());
    EXPECT_EQ(QFileInfo(user->NautilusScriptPath()).fileName(), "Print");
    const QByteArray actions = ReadAll(user->ThunarActionsPath());
    EXPECT_EQ(actions.count("<unique-id>typeloom-print</unique-id>"), 1);
    EXPECT_TRUE(actions.contains("<patterns>*.otf;*.ttf;*.OTF;*.TTF</patterns>")) << actions.constData();
    // Someone without a file of their own keeps seeing the machine's actions.
    EXPECT_TRUE(actions.contains(c.before ? "Also mine" : "Open Terminal Here"));

    ASSERT_EQ(user->Write("ttf", Verb::Print, "", ""), reg::kSuccess);
    EXPECT_TRUE(ReadAll(user->ThunarActionsPath()).contains("<patterns>*.otf;*.OTF</patterns>"));
    ASSERT_EQ(user->Write("otf", Verb::Print, "", ""), reg::kSuccess);
    EXPECT_FALSE(QFileInfo::exists(user->NautilusScriptPath()));
    if (c.before) {
      EXPECT_EQ(ReadAll(user->ThunarActionsPath()), *c.before);
    } else {
      EXPECT_FALSE(QFileInfo::exists(user->ThunarActionsPath()));
    }
  }
  EXPECT_EQ(ReadAll(dirs.configDirs[0] + "/Thunar/uca.xml"), machineActions);

  // A script of the user's own under the same name is theirs, bound or not.
  WriteAll(user->NautilusScriptPath(), "#!/bin/sh\nlpr \"$@\"\n");
  ASSERT_EQ(user->Write("ttf", Verb::Print, "", identity.printCommand.toStdString()), reg::kSuccess);
  EXPECT_EQ(ReadAll(user->NautilusScriptPath()), "#!/bin/sh\nlpr \"$@\"\n");
  ASSERT_EQ(user->Write("ttf", Verb::Print, "", ""), reg::kSuccess);
  EXPECT_EQ(ReadAll(user->NautilusScriptPath()), "#!/bin/sh\nlpr \"$@\"\n");

  // The machine's root has neither.
  XdgShell machine(XdgShell::Scope::Machine, identity, dirs, [](auto&, auto&) {});
  EXPECT_TRUE(machine.NautilusScriptPath().isEmpty());
  EXPECT_TRUE(machine.ThunarActionsPath().isEmpty());
}

TEST_F(ShellSandbox, AnUnwritableMachineRootFailsTheWrite) {
  XdgDirs locked = dirs;
  WriteAll(dir.filePath("not-a-folder"), "x");
  locked.configDirs = {dir.filePath("not-a-folder")};
  locked.dataDirs = {dir.filePath("not-a-folder")};
  XdgShell machine(XdgShell::Scope::Machine, identity, locked, [](auto&, auto&) {});
  EXPECT_EQ(machine.Write("ttf", Verb::Open, "", identity.openCommand.toStdString()), reg::kAccessDenied);
  EXPECT_EQ(machine.Write("ttf", Verb::Print, "", identity.printCommand.toStdString()), reg::kAccessDenied);
}

// A flatpak export folder first in XDG_DATA_DIRS gets nothing; the next system
// folder takes the machine's print actions.
TEST_F(ShellSandbox, TheMachineWritesPastAFlatpakExportFolder) {
  XdgDirs flatpak = dirs;
  const QString exports = dir.filePath("var/lib/flatpak/exports/share");
  QDir().mkpath(exports);
  flatpak.dataDirs = {exports, dir.filePath("usr-share")};
  XdgShell machine(XdgShell::Scope::Machine, identity, flatpak, [](auto&, auto&) {});
  ASSERT_EQ(machine.Write("ttf", Verb::Print, "", identity.printCommand.toStdString()), reg::kSuccess);
  EXPECT_TRUE(machine.ServiceMenuPath().startsWith(dir.filePath("usr-share/")));
  EXPECT_TRUE(QFileInfo::exists(machine.ServiceMenuPath()));
  EXPECT_TRUE(QDir(exports).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

  flatpak.dataDirs = {exports};
  XdgShell onlyExports(XdgShell::Scope::Machine, identity, flatpak, [](auto&, auto&) {});
  EXPECT_EQ(onlyExports.Write("ttf", Verb::Print, "", identity.printCommand.toStdString()), reg::kAccessDenied);
  EXPECT_TRUE(QDir(exports).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

TEST_F(ShellSandbox, MountedKeysRouteEachTypeAndRootToItsFiles) {
  class Null final : public Registry {
   public:
    long OpenKey(RootKey, std::string_view, std::uint32_t, KeyHandle*) override { return reg::kFileNotFound; }
    long CreateKey(RootKey, std::string_view, std::uint32_t, KeyHandle*) override { return reg::kAccessDenied; }
    long EnumValue(KeyHandle, std::uint32_t, char*, std::uint32_t*) override { return reg::kNoMoreItems; }
    long QueryValue(KeyHandle, std::string_view, std::uint32_t*, std::uint8_t*, std::uint32_t*) override {
      return reg::kFileNotFound;
    }
    long SetValue(KeyHandle, std::string_view, std::uint32_t, const std::uint8_t*, std::uint32_t) override {
      return reg::kAccessDenied;
    }
    long CloseKey(KeyHandle) override { return reg::kSuccess; }
  } fallback;
  CompositeRegistry registry(fallback);
  XdgShellMounts mounts(identity, dirs, [](auto&, auto&) {});
  mounts.MountOnto(registry);

  const std::string command = identity.openCommand.toStdString();
  for (const auto& [root, path] : {std::pair{RootKey::ClassesRoot, std::string("PFMfile\\shell\\open\\command")},
                                   std::pair{RootKey::LocalMachine, std::string("software\\classes\\pfmfile\\Shell\\Open\\Command")}}) {
    KeyHandle h = 0;
    ASSERT_EQ(registry.CreateKey(root, path, reg::kKeyAllAccess, &h), reg::kSuccess);
    EXPECT_EQ(registry.SetValue(h, "", reg::kExpandSz, reinterpret_cast<const std::uint8_t*>(command.data()),
                                static_cast<std::uint32_t>(command.size())),
              reg::kSuccess);
    registry.CloseKey(h);
  }
  EXPECT_EQ(ReadAll(mounts.user().MimeAppsPath()), "[Default Applications]\napplication/x-font-pfm=typeloom.desktop;\n");
  EXPECT_EQ(ReadAll(mounts.machine().MimeAppsPath()), "[Default Applications]\napplication/x-font-pfm=typeloom.desktop;\n");
  KeyHandle h = 0;
  EXPECT_EQ(registry.CreateKey(RootKey::ClassesRoot, "ttffile\\shell\\edit\\command", reg::kKeyAllAccess, &h),
            reg::kAccessDenied);
}

}  // namespace
}  // namespace typeloom::platform
