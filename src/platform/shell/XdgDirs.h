#pragma once
// The XDG base folders and desktop names, and what the desktop reads from them:
// the mimeapps.list files in their order of precedence, desktop entries by id.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace typeloom::platform {

struct XdgDirs {
  QString configHome;
  QStringList configDirs;
  QString dataHome;
  QStringList dataDirs;
  QStringList desktops;  // XDG_CURRENT_DESKTOP's parts that are desktop names, lower-cased

  // From HOME, XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME, XDG_DATA_DIRS and
  // XDG_CURRENT_DESKTOP, with the standard defaults.
  static XdgDirs FromEnvironment();

  // The mimeapps.list files a desktop consults, first match wins: the user's and the
  // system's configuration, then the (deprecated) data folders; desktop-specific
  // lists before the plain one in each folder. `userLevel` false leaves out the
  // user's own folders (what every user of the machine shares).
  QStringList MimeAppsFiles(bool userLevel) const;
  // The folders that hold desktop entries, user's first.
  QStringList ApplicationDirs(bool userLevel) const;
};

// A desktop name as it may stand in a file name: letters, digits, "-", "_" and ".",
// not beginning with ".".
bool IsDesktopName(const QString& name);

// The machine-wide folder among `candidates` (XDG_CONFIG_DIRS or XDG_DATA_DIRS, in
// order): the first that lies under none of `homes`, is no package manager's export
// folder (flatpak's "exports", snapd's desktop folder) and is `writable`. Nothing
// when none is: the machine's bindings are then left alone.
std::optional<QString> MachineFolder(const QStringList& candidates, const QStringList& homes,
                                     const std::function<bool(const QString&)>& writable);
// The users' home folders: $HOME, /root, /home and the home of every account with a
// user id from 1000 on (the system's own accounts live in system folders).
QStringList HomeFolders();
// An existing folder the program may write in with its effective rights.
bool WritableFolder(const QString& path);

// A desktop entry found by its id.
struct DesktopEntryFile {
  QString path;
  QByteArray exec;            // Exec of [Desktop Entry], unescaped as a string value
  QList<QByteArray> mimeTypes;
  bool hidden = false;
};

// The first file of the id in the folders (a "-" in the id may stand for a subfolder).
std::optional<DesktopEntryFile> FindDesktopEntry(const QStringList& applicationDirs, const QByteArray& id);
// Reads one desktop entry file; nothing when unreadable or not one.
std::optional<DesktopEntryFile> ReadDesktopEntry(const QString& path);

// The value of `key` in `group` of a key file (no localised keys), raw.
std::optional<QByteArray> KeyFileValue(const QByteArray& content, const QByteArray& group, const QByteArray& key);
// A string value of a key file unescaped (\s \n \t \r \\).
QByteArray UnescapeValue(const QByteArray& value);
// A text made a string value: backslashes and control characters escaped.
QByteArray EscapeValue(const QByteArray& text);

// One argument of an Exec line: quoted when it holds a reserved character, with
// `"`, "`", "$" and "\" escaped inside the quotes, and "%" doubled; the result is
// the Exec key's raw value text (string escaping applied).
QByteArray ExecArgument(const QString& argument);
// The Exec value (raw) as a command in the program's "%1" form: the file field
// codes %f %F %u %U become %1, %i %c %k are dropped, %% becomes %.
QString CommandOfExec(const QByteArray& rawExec);
// The program of an Exec value (unquoted first argument), empty when there is none.
QString ProgramOfExec(const QByteArray& rawExec);

// The desktop that resolves `type` through the files: the first file with a line
// for the type in [Default Applications] whose list holds an installed entry that
// declares the type; the id of that entry.
struct ResolvedDefault {
  QByteArray id;
  DesktopEntryFile entry;
};
std::optional<ResolvedDefault> ResolveDefault(const QStringList& mimeAppsFiles, const QStringList& applicationDirs,
                                              const QByteArray& type);

}  // namespace typeloom::platform
