// The options dialog's Save against the real desktop tools, in sandboxed XDG
// folders: xdg-mime and gio must see the bindings, and unchecking must leave every
// file as it was.
#include "options/Options.h"
#include "options/Settings.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/shell/ShellBindings.h"
#include "support/FakeAppServices.h"

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace typeloom::options {
namespace {

const QStringList kTypes{"application/x-font-fon",   "font/otf",           "application/x-font-pfm",
                         "font/collection",          "font/ttf",           "application/x-font-type1",
                         "application/x-font-pcf",   "application/x-font-bdf", "font/woff",
                         "font/woff2"};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Copy(const QString& from, const QString& to) {
  QDir().mkpath(QFileInfo(to).absolutePath());
  QFile::remove(to);
  ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
  QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

QString RunTool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(60000);
  return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// "Default application for “font/ttf”: x.desktop" -> "x.desktop"; "" when none.
QString GioDefault(const QString& type) {
  const QString first = RunTool("gio", {"mime", type}).section(u'\n', 0, 0);
  return first.startsWith("Default application") ? first.section(": ", 1).trimmed() : QString();
}

QString GioContentType(const QString& file) {
  const QString out = RunTool("gio", {"info", "-a", "standard::content-type", file});
  const qsizetype at = out.indexOf("standard::content-type: ");
  return at < 0 ? QString() : out.mid(at + 24).section(u'\n', 0, 0).trimmed();
}

class ShellIntegration : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool :
         {"xdg-mime", "gio", "update-mime-database", "update-desktop-database", "desktop-file-validate"}) {
      ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty()) << tool << " missing: run scripts/install-deps";
    }
    ASSERT_TRUE(dir.isValid());
    const QString r = dir.path();
    qputenv("HOME", (r + "/home").toUtf8());
    qputenv("XDG_CONFIG_HOME", (r + "/home/.config").toUtf8());
    qputenv("XDG_CONFIG_DIRS", (r + "/etc-xdg").toUtf8());
    qputenv("XDG_DATA_HOME", (r + "/home/.local/share").toUtf8());
    qputenv("XDG_DATA_DIRS", (r + "/usr-share:/usr/share").toUtf8());
    qputenv("XDG_CURRENT_DESKTOP", "X-Test");
    qputenv("GIO_USE_VFS", "local");
    for (const char* name : {"DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID", "XDG_MENU_PREFIX",
                             "KDE_SESSION_VERSION", "XDG_SESSION_DESKTOP"})
      qunsetenv(name);

    const QString fixtures = qEnvironmentVariable("TYPELOOM_SOURCE_DIR") + "/tests/options/fixtures/";
    userList = r + "/home/.config/mimeapps.list";
    machineList = r + "/etc-xdg/mimeapps.list";
    Copy(fixtures + "user-mimeapps.list", userList);
    Copy(fixtures + "user-x-test-mimeapps.list", r + "/home/.config/x-test-mimeapps.list");
    Copy(fixtures + "machine-mimeapps.list", machineList);
    Copy(fixtures + "machine-x-test-mimeapps.list", r + "/etc-xdg/x-test-mimeapps.list");
    for (const char* app : {"foreign-viewer.desktop", "other-viewer.desktop", "foreign-editor.desktop"})
      Copy(fixtures + app, r + "/usr-share/applications/" + app);
    RunTool("update-desktop-database", {r + "/usr-share/applications"});
    QDir().mkpath(r + "/home/.local/share/applications");

    // A Windows bitmap font starts like an executable; the name alone must decide.
    QDir().mkpath(r + "/files");
    QFile fon(r + "/files/sample.fon");
    ASSERT_TRUE(fon.open(QIODevice::WriteOnly));
    fon.write(QByteArray("MZ") + QByteArray(126, '\0') + QByteArray("NE") + QByteArray(64, '\0'));
    fon.close();
    QFile pfm(r + "/files/sample.pfm");
    ASSERT_TRUE(pfm.open(QIODevice::WriteOnly));
    pfm.write(QByteArray("\x00\x01\x10\x01\x00\x00", 6) + QByteArray(100, '\x20'));
    pfm.close();

    exe = qEnvironmentVariable("TYPELOOM_BINARY_DIR") + "/typeloom";
    ASSERT_TRUE(QFileInfo(exe).isExecutable()) << exe.toStdString();
    registry = platform::MakeLinuxRegistry(platform::ShellIdentity{exe, exe + " %1", exe + " /p %1"});
    store = std::make_unique<platform::QtSettingsStore>(r + "/home/.config");
  }

  // Opens the dialog, sets the two binding boxes and saves.
  void Save(bool viewer, bool printer) {
    Options dialog(OptionsServices{*store, messages, *registry, exe + " %1", exe + " /p %1", {}}, nullptr);
    dialog.Form_Load();
    if (dialog.fOption[0]->isChecked() != viewer) dialog.fOption[0]->click();
    if (dialog.fOption[1]->isChecked() != printer) dialog.fOption[1]->click();
    dialog.saveButton_Click();
  }

  struct Seen {
    QStringList xdgMime, gio;
    QString fonType, pfmType;
    bool operator==(const Seen&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const Seen& s) {
      return os << "xdg-mime [" << s.xdgMime.join(", ").toStdString() << "] gio [" << s.gio.join(", ").toStdString()
                << "] fon " << s.fonType.toStdString() << " pfm " << s.pfmType.toStdString();
    }
  };
  Seen Look() {
    Seen s;
    for (const QString& type : kTypes) {
      s.xdgMime << RunTool("xdg-mime", {"query", "default", type});
      s.gio << GioDefault(type);
    }
    s.fonType = GioContentType(dir.path() + "/files/sample.fon");
    s.pfmType = GioContentType(dir.path() + "/files/sample.pfm");
    return s;
  }
  QString Data(const QString& path) { return dir.path() + "/home/.local/share/" + path; }
  // Every file and folder under `root`, relative, sorted; the program's private
  // folders (settings, registry) left out.
  static QStringList Tree(const QString& root) {
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString rel = QDir(root).relativeFilePath(it.next());
      if (!rel.startsWith("typeloom") && !rel.startsWith("Typeloom")) found << rel;
    }
    found.sort();
    return found;
  }

  QTemporaryDir dir;
  QString exe, userList, machineList;
  std::unique_ptr<platform::Registry> registry;
  std::unique_ptr<platform::QtSettingsStore> store;
  test::FakeMessageBoxes messages;
};

TEST_F(ShellIntegration, ViewerBindingTakesEveryTypeAndUncheckingLeavesEverythingAsItWas) {
  const Seen before = Look();
  // The fixture as the desktop sees it: the user's hand-picked viewer for ttf (gio
  // reads the spaced line), the first installed one of the fallback list for otf,
  // the machine's desktop-specific pick for ttc; .fon is an executable by its magic.
  EXPECT_EQ(before.gio[4], "foreign-viewer.desktop");
  EXPECT_EQ(before.gio[1], "foreign-viewer.desktop");
  EXPECT_EQ(before.gio[3], "other-viewer.desktop");
  EXPECT_EQ(before.fonType, "application/x-ms-dos-executable");
  const QByteArray userBefore = ReadAll(userList);
  const QByteArray machineBefore = ReadAll(machineList);

  Save(true, false);
  Save(true, false);  // saving again remembers nothing new and changes nothing
  const Seen bound = Look();
  for (qsizetype i = 0; i < kTypes.size(); ++i) {
    EXPECT_EQ(bound.xdgMime[i], "typeloom.desktop") << kTypes[i].toStdString();
    EXPECT_EQ(bound.gio[i], "typeloom.desktop") << kTypes[i].toStdString();
  }
  EXPECT_EQ(bound.fonType, "application/x-font-fon");
  EXPECT_EQ(bound.pfmType, "application/x-font-pfm");
  const QByteArray userBound = ReadAll(userList);
  for (const char* kept : {"# My own notes: keep these.\n[Added Associations]\nfont/ttf=other-viewer.desktop;\n",
                           "# font viewers picked by hand\nfont/ttf=typeloom.desktop;\n",
                           "text/plain=foreign-editor.desktop;\n", "[X-Unknown Group]\nfont/collection=foreign-viewer.desktop\n"
                                                                   "  odd key  =  odd value  \n"})
    EXPECT_TRUE(userBound.contains(kept)) << kept << "\n---\n" << userBound.constData();
  EXPECT_EQ(ReadAll(dir.path() + "/home/.config/x-test-mimeapps.list"), "[Default Applications]\ntext/plain=foreign-editor.desktop;\n");
  // The program's desktop entry, written for this build, is valid.
  const QString entry = Data("applications/typeloom.desktop");
  ASSERT_TRUE(QFileInfo::exists(entry));
  QProcess validate;
  validate.start("desktop-file-validate", {entry});
  ASSERT_TRUE(validate.waitForFinished(60000)) << "desktop-file-validate did not run";
  EXPECT_EQ(validate.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().constData();

  Save(false, false);
  EXPECT_EQ(ReadAll(userList), userBefore);
  EXPECT_EQ(ReadAll(machineList), machineBefore);
  EXPECT_EQ(Look(), before);
  EXPECT_EQ(settings::Read(*store, settings::kPriorViewAssociation), "");
  // The folder was the user's; the cache and the MIME database were the program's.
  EXPECT_EQ(Tree(Data("")), QStringList{"applications"});

  // Unchecked again, with nothing remembered: nothing changes.
  Save(false, false);
  EXPECT_EQ(ReadAll(userList), userBefore);
}

TEST_F(ShellIntegration, UncheckingLeavesADefaultTheUserChangedMeanwhile) {
  Save(true, false);
  QByteArray list = ReadAll(userList);
  list.replace("font/otf=typeloom.desktop;", "font/otf=other-viewer.desktop;");
  QFile f(userList);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(list);
  f.close();
  Save(false, false);
  EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "font/otf"}), "other-viewer.desktop");
  EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "font/collection"}), "other-viewer.desktop");
}

// The user made the program their viewer for .ttf themselves (xdg-mime): saving the
// options with the viewer box unchecked, and undoing a checked save, leave it.
TEST_F(ShellIntegration, TheUsersOwnDefaultOfTheProgramSurvivesUncheckedSaves) {
  RunTool("xdg-mime", {"default", "typeloom.desktop", "font/ttf"});
  const QByteArray users = ReadAll(userList);
  ASSERT_TRUE(users.contains("font/ttf=typeloom.desktop")) << users.constData();
  Save(false, false);
  EXPECT_EQ(ReadAll(userList), users);
  Save(true, false);
  Save(false, false);
  const QByteArray after = ReadAll(userList);
  EXPECT_TRUE(after.contains("font/ttf=typeloom.desktop")) << after.constData();
  EXPECT_FALSE(after.contains("font/otf=typeloom.desktop")) << after.constData();
  EXPECT_EQ(settings::Read(*store, settings::kPriorViewAssociation), "");
}

TEST_F(ShellIntegration, PrintActionsExistOnlyWhileThePrinterBoxIsSaved) {
  const QString menu = Data("kio/servicemenus/typeloom-print.desktop");
  const QString nemo = Data("nemo/actions/typeloom-print.nemo_action");
  Save(false, true);
  ASSERT_TRUE(QFileInfo::exists(menu));
  EXPECT_TRUE(QFileInfo(menu).isExecutable());
  ASSERT_TRUE(QFileInfo::exists(nemo));
  const QByteArray types = "application/x-font-fon;font/otf;application/x-font-pfm;font/collection;font/ttf;";
  EXPECT_TRUE(ReadAll(menu).contains("MimeType=" + types));
  EXPECT_TRUE(ReadAll(menu).contains("Exec=" + exe.toUtf8() + " /p %f"));
  EXPECT_TRUE(ReadAll(nemo).contains("Mimetypes=" + types));
  // Print is not a handler: the double-click default stays the desktop's.
  EXPECT_EQ(GioDefault("font/ttf"), "foreign-viewer.desktop");
  EXPECT_EQ(ReadAll(userList), ReadAll(qEnvironmentVariable("TYPELOOM_SOURCE_DIR") + "/tests/options/fixtures/user-mimeapps.list"));

  Save(false, false);
  EXPECT_FALSE(QFileInfo::exists(menu));
  EXPECT_FALSE(QFileInfo::exists(nemo));
  EXPECT_EQ(GioContentType(dir.path() + "/files/sample.fon"), "application/x-ms-dos-executable");
}

// GNOME Files' script and Thunar's custom action, beside the user's own actions.
TEST_F(ShellIntegration, GnomeFilesScriptAndThunarActionExistOnlyWhileThePrinterBoxIsSaved) {
  const QString script = Data("nautilus/scripts/Print");
  const QString uca = dir.path() + "/home/.config/Thunar/uca.xml";
  const QByteArray usersOwn =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<icon>utilities-terminal</icon>\n"
      "\t<name>Open Terminal Here</name>\n\t<submenu></submenu>\n\t<unique-id>1671863021510925-2</unique-id>\n"
      "\t<command>exo-open --working-directory %f --launch TerminalEmulator</command>\n\t<description></description>\n"
      "\t<range></range>\n\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n</actions>\n";
  QDir().mkpath(QFileInfo(uca).absolutePath());
  QFile own(uca);
  ASSERT_TRUE(own.open(QIODevice::WriteOnly));
  own.write(usersOwn);
  own.close();

  Save(false, true);
  ASSERT_TRUE(QFileInfo(script).isExecutable());
  EXPECT_TRUE(ReadAll(script).contains("\"$program\" /p \"$file\"")) << ReadAll(script).constData();
  const QByteArray actions = ReadAll(uca);
  QXmlStreamReader xml(actions);
  QStringList names, commands;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"name") names << xml.readElementText();
    if (xml.name() == u"command") commands << xml.readElementText();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(names, QStringList({"Open Terminal Here", "Print"}));
  EXPECT_EQ(commands.value(1), "'" + exe + "' /p %f");
  EXPECT_TRUE(actions.contains("<patterns>*.fon;*.otf;*.pfm;*.ttc;*.otc;*.ttf;*.pfa;*.pfb;*.pcf;*.pcf.gz;*.bdf;*.woff;*.woff2;"
                               "*.FON;*.OTF;*.PFM;*.TTC;*.OTC;*.TTF;*.PFA;*.PFB;*.PCF;*.PCF.GZ;*.BDF;*.WOFF;*.WOFF2</patterns>"))
      << actions.constData();

  Save(false, true);  // saved again: nothing added twice
  EXPECT_EQ(ReadAll(uca), actions);
  Save(false, false);
  EXPECT_FALSE(QFileInfo::exists(script));
  EXPECT_FALSE(QFileInfo::exists(Data("nautilus"))) << "the folders made for the script go with it";
  EXPECT_EQ(ReadAll(uca), usersOwn);

  // Without a uca.xml of the user's, the one made for the action goes with its folder.
  ASSERT_TRUE(QFile::remove(uca));
  ASSERT_TRUE(QDir().rmdir(QFileInfo(uca).absolutePath()));
  Save(false, true);
  EXPECT_TRUE(ReadAll(uca).contains("<unique-id>typeloom-print</unique-id>"));
  Save(false, false);
  EXPECT_FALSE(QFileInfo::exists(QFileInfo(uca).absolutePath()));
}

// On GNOME, a list of its own decides .ttf: the program's line goes into that list,
// and unchecking gives both lists back byte for byte.
TEST_F(ShellIntegration, AGnomeListThatDecidesIsEditedAndRestored) {
  qputenv("XDG_CURRENT_DESKTOP", "GNOME");
  registry = platform::MakeLinuxRegistry(platform::ShellIdentity{exe, exe + " %1", exe + " /p %1"});
  const QString gnomeList = dir.path() + "/home/.config/gnome-mimeapps.list";
  const QByteArray gnome = "[Default Applications]\n# GNOME's pick\nfont/ttf=other-viewer.desktop;\n";
  QFile f(gnomeList);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(gnome);
  f.close();
  ASSERT_EQ(GioDefault("font/ttf"), "other-viewer.desktop");
  const QByteArray users = ReadAll(userList);

  Save(true, false);
  EXPECT_EQ(messages.shown, QStringList{});
  EXPECT_EQ(settings::Read(*store, settings::kDefaultViewer), "1");
  for (const QString& type : kTypes) EXPECT_EQ(GioDefault(type), "typeloom.desktop") << type.toStdString();
  EXPECT_EQ(ReadAll(gnomeList), "[Default Applications]\n# GNOME's pick\nfont/ttf=typeloom.desktop;\n");

  Save(false, false);
  EXPECT_EQ(ReadAll(gnomeList), gnome);
  EXPECT_EQ(ReadAll(userList), users);
  EXPECT_EQ(GioDefault("font/ttf"), "other-viewer.desktop");
}

// A mimeapps.list the user made read-only stays as it is: the dialog says so, the
// option is not stored as set, and nothing of the desktop's defaults changes.
TEST_F(ShellIntegration, AReadOnlyListMakesTheDialogSaySoAndLosesNothing) {
  const Seen before = Look();
  const QByteArray users = ReadAll(userList);
  ASSERT_TRUE(QFile::setPermissions(userList, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
  Options dialog(OptionsServices{*store, messages, *registry, exe + " %1", exe + " /p %1", {}}, nullptr);
  dialog.Form_Load();
  dialog.fOption[0]->click();
  dialog.saveButton_Click();
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_TRUE(messages.shown[0].startsWith(QString(kNotBoundText) + "\r\n\r\n" + dialog.fOption[0]->text()))
      << messages.shown[0].toStdString();
  EXPECT_EQ(messages.shown[0].count(userList + ": Permission denied"), 1) << messages.shown[0].toStdString();
  EXPECT_FALSE(dialog.fOption[0]->isChecked());
  EXPECT_EQ(settings::Read(*store, settings::kDefaultViewer), "0");
  EXPECT_EQ(settings::Read(*store, settings::kPriorViewAssociation), "");
  EXPECT_EQ(ReadAll(userList), users);
  EXPECT_EQ(Look(), before);
  EXPECT_EQ(Tree(Data("")), QStringList{"applications"});  // nothing set up for the binding stays
}

// On a fresh account, binding makes folders, a MIME database and a desktop cache;
// unsetting takes every one of them away again, and only those.
TEST_F(ShellIntegration, UnsettingLeavesNothingTheProgramCreated) {
  ASSERT_TRUE(QDir(Data("applications")).removeRecursively());
  const QString config = dir.path() + "/home/.config";
  const QStringList dataBefore = Tree(Data("")), configBefore = Tree(config);
  const QStringList machineBefore = Tree(dir.path() + "/usr-share");
  const Seen before = Look();
  Save(true, true);
  for (const QString& made : {Data("mime/mime.cache"), Data("applications/mimeinfo.cache"),
                              Data("kio/servicemenus/typeloom-print.desktop"), Data("nautilus/scripts/Print"),
                              config + "/Thunar/uca.xml"})
    EXPECT_TRUE(QFileInfo::exists(made)) << made.toStdString();
  Save(false, false);
  EXPECT_EQ(Tree(Data("")), dataBefore);
  EXPECT_EQ(Tree(config), configBefore);
  EXPECT_EQ(Tree(dir.path() + "/usr-share"), machineBefore);
  EXPECT_EQ(Look(), before);
}

// Where XDG_DATA_DIRS begins with flatpak's export folder, the machine's files go to
// the next system folder, and the export folder gets nothing.
TEST_F(ShellIntegration, AFlatpakFirstDataPathGetsNothing) {
  const QString exports = dir.path() + "/var/lib/flatpak/exports/share";
  ASSERT_TRUE(QDir().mkpath(exports + "/applications"));
  qputenv("XDG_DATA_DIRS", (exports + ":" + dir.path() + "/usr-share:/usr/share").toUtf8());
  registry = platform::MakeLinuxRegistry(platform::ShellIdentity{exe, exe + " %1", exe + " /p %1"});
  const auto contents = [&exports] {
    QStringList found;
    QDirIterator it(exports, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) found << it.next();
    return found;
  };
  Save(true, true);
  EXPECT_EQ(contents(), QStringList{exports + "/applications"});
  EXPECT_TRUE(QFileInfo::exists(dir.path() + "/usr-share/kio/servicemenus/typeloom-print.desktop"));
  EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "font/woff2"}), "typeloom.desktop");
  Save(false, false);
  EXPECT_EQ(contents(), QStringList{exports + "/applications"});
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/usr-share/kio/servicemenus/typeloom-print.desktop"));
}

}  // namespace
}  // namespace typeloom::options
