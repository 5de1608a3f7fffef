#pragma once
// The shell's commands for font files as registry keys, realised on an XDG desktop:
// "<ext>file\shell\open\command" is the type's default application in
// mimeapps.list, "<ext>file\shell\print\command" the desktop's Print action for
// the type (a KDE service menu and a Nemo action; for the user also a GNOME Files
// script and a Thunar custom action, see FileManagerActions.h). Mounted onto the registry under
// HKEY_CLASSES_ROOT (the user's files) and HKEY_LOCAL_MACHINE "software\classes"
// (the machine's files, writable only with the rights for them).
#include "platform/registry/Registry.h"
#include "platform/shell/CreatedPaths.h"
#include "platform/shell/MimeAppsList.h"
#include "platform/shell/XdgDirs.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace typeloom::platform {

class CompositeRegistry;

namespace shell {

// Besides the command (the default value), an open command key has this value: the
// type's lines in the root's list that decides its default (EncodeListLines).
// Reading it remembers the binding exactly; writing it puts the binding back, only
// while the type's line is still the program's own.
inline constexpr std::string_view kLinesValue = "MimeAppsLine";

inline constexpr char kDesktopId[] = "typeloom.desktop";
inline constexpr char kServiceMenuName[] = "typeloom-print.desktop";
inline constexpr char kNemoActionName[] = "typeloom-print.nemo_action";
inline constexpr char kMimePackageName[] = "typeloom.xml";

// The MIME type a font-file class is bound through ("fon" and "pfm" get types of
// the program's own MIME package, matched by name only; "pfb" stands for Type 1
// fonts, .pfb and .pfa); empty for other classes.
QByteArray MimeTypeOf(std::string_view extension);
// The font-file classes, in the order the bindings walk them: the five Windows types
// first, then the types of the font files Linux installs and users download, each
// one FreeType reads. .otc is left out: the MIME database gives it to an office
// chart template.
const std::vector<std::string>& FontExtensions();

// Turns a template of packaging/ into the program's file: @EXEC@ becomes the
// program's path as an Exec argument, @MIMETYPES@ the types joined by ";".
QByteArray FillTemplate(QByteArray text, const QString& exePath, const QList<QByteArray>& mimeTypes);
// The template's text from the program's resources (packaging/<name>).
QByteArray Template(const QString& name);

}  // namespace shell

// Who the program is: the path its desktop files name, and its two commands.
struct ShellIdentity {
  QString exePath;
  QString openCommand;
  QString printCommand;
};

// The bindings of one root: the user's (configuration and data home) or the machine's
// (the XDG_CONFIG_DIRS and XDG_DATA_DIRS folders MachineFolder picks; without one,
// the machine's bindings read as absent and cannot be written).
class XdgShell {
 public:
  enum class Scope { User, Machine };
  enum class Verb { Open, Print };
  // Runs a desktop database tool and waits for it; a missing tool is skipped.
  using RunTool = std::function<void(const QString& program, const QStringList& arguments)>;

  XdgShell(Scope scope, ShellIdentity identity, XdgDirs dirs, RunTool runTool = {});

  long Read(std::string_view extension, Verb verb, std::string_view name, std::uint32_t* type, std::string* data);
  long Write(std::string_view extension, Verb verb, std::string_view name, std::string_view data);

  // The files this root writes.
  QString MimeAppsPath() const;
  QString ServiceMenuPath() const;
  QString NemoActionPath() const;
  // The user's only: GNOME Files has no machine-wide scripts, and Thunar reads the
  // first uca.xml it finds, so a machine-wide one would be hidden by every user's own.
  QString NautilusScriptPath() const;
  QString ThunarActionsPath() const;
  QString MimePackagePath() const;
  QString DesktopEntryPath() const;

 private:
  long WriteValue(std::string_view extension, Verb verb, std::string_view name, std::string_view data);
  bool Replace(const QString& path, const QByteArray& content, mode_t mode);
  void UpdateDesktopDatabase();
  void Tidy();
  long ReadOpen(const QByteArray& mimeType, std::string_view name, std::uint32_t* type, std::string* data);
  long ReadPrint(const QByteArray& mimeType, std::string_view name, std::uint32_t* type, std::string* data);
  long BindOpen(const QByteArray& mimeType, bool bind);
  long RestoreLines(const QByteArray& mimeType, std::string_view encoded);
  long SetPrint(const QByteArray& mimeType, bool install);
  bool OwnLine(const QByteArray& content, const QByteArray& mimeType) const;
  // The root's mimeapps.list files in the order a desktop reads them: the lists of
  // XDG_CURRENT_DESKTOP's desktops, then the plain one.
  QStringList RootLists() const;
  // The list that decides the type's default in this root: the first with a line for
  // it in [Default Applications], else mimeapps.list.
  QString DecidingList(const QByteArray& mimeType) const;
  bool OwnsAnyList(const QByteArray& mimeType) const;
  QList<QByteArray> PrintTypes() const;
  bool FileManagerActionsMatch(const QList<QByteArray>& types) const;
  bool SetNautilusScript(const QList<QByteArray>& types);
  bool SetThunarAction(const QList<QByteArray>& types);
  QByteArray NewThunarActions() const;
  bool EnsureDesktopEntry();
  void EnsureMimePackage(const QByteArray& mimeType);
  void DropUnusedMimePackage();
  void DropUnusedDesktopEntry();
  void Run(const QString& program, const QStringList& arguments);
  QString DataBase() const;
  QString ConfigBase() const;
  // The machine's folders, chosen on first use (it reads every user's home folder).
  struct MachineFolders {
    QString config, data;  // empty when the machine has none the program may write
  };
  const MachineFolders& Machine() const;

  Scope scope_;
  ShellIdentity identity_;
  XdgDirs dirs_;
  RunTool runTool_;
  mutable std::optional<MachineFolders> machine_;
  CreatedPaths created_;  // the user's record, for both roots
};

// The registry keys of one extension's file class, over an XdgShell: the class key,
// "shell", "shell\open", "shell\print" and their "command" keys.
class XdgShellKeys final : public Registry {
 public:
  XdgShellKeys(XdgShell& shell, std::string extension) : shell_(shell), extension_(std::move(extension)) {}

  long OpenKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) override;
  long EnumValue(KeyHandle key, std::uint32_t index, char* name, std::uint32_t* nameLength) override;
  long QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long CloseKey(KeyHandle key) override;

 private:
  struct Opened {
    bool command = false;
    XdgShell::Verb verb = XdgShell::Verb::Open;
  };
  XdgShell& shell_;
  std::string extension_;
  std::map<KeyHandle, Opened> handles_;
  KeyHandle next_ = 1;
};

// Both roots' bindings for the five extensions, mounted onto a composite registry.
class XdgShellMounts {
 public:
  XdgShellMounts(ShellIdentity identity, XdgDirs dirs, XdgShell::RunTool runTool = {});
  void MountOnto(CompositeRegistry& registry);
  XdgShell& user() { return user_; }
  XdgShell& machine() { return machine_; }

 private:
  XdgShell user_;
  XdgShell machine_;
  std::vector<std::unique_ptr<XdgShellKeys>> keys_;
};

}  // namespace typeloom::platform
