#include "platform/shell/ShellBindings.h"

#include "platform/files/AtomicFile.h"
#include "platform/registry/CompositeRegistry.h"
#include "platform/shell/FileManagerActions.h"
#include "platform/shell/MimeAppsList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

namespace typeloom::platform {
namespace shell {

QByteArray MimeTypeOf(std::string_view extension) {
  if (extension == "fon") return "application/x-font-fon";
  if (extension == "otf") return "font/otf";
  if (extension == "pfm") return "application/x-font-pfm";
  if (extension == "ttc") return "font/collection";
  if (extension == "ttf") return "font/ttf";
  if (extension == "pfb") return "application/x-font-type1";  // .pfb and .pfa
  if (extension == "pcf") return "application/x-font-pcf";
  if (extension == "bdf") return "application/x-font-bdf";
  if (extension == "woff") return "font/woff";
  if (extension == "woff2") return "font/woff2";
  return {};
}

const std::vector<std::string>& FontExtensions() {
  static const std::vector<std::string> extensions{"fon", "otf", "pfm", "ttc", "ttf", "pfb", "pcf", "bdf", "woff", "woff2"};
  return extensions;
}

QByteArray FillTemplate(QByteArray text, const QString& exePath, const QList<QByteArray>& mimeTypes) {
  QByteArray types;
  for (const QByteArray& t : mimeTypes) types += t + ';';
  text.replace("@EXEC@", ExecArgument(exePath));
  text.replace("@MIMETYPES@", types);
  return text;
}

QByteArray Template(const QString& name) {
  QFile file(":/packaging/" + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace shell

namespace {

using Verb = XdgShell::Verb;

QList<QByteArray> AllTypes() {
  QList<QByteArray> types;
  for (const std::string& ext : shell::FontExtensions()) types << shell::MimeTypeOf(ext);
  return types;
}

bool IsOwnPackageType(const QByteArray& type) {
  return type == shell::MimeTypeOf("fon") || type == shell::MimeTypeOf("pfm");
}

// A type the program must never bind: it would take over every executable or
// every file of unknown kind.
bool IsForbiddenType(const QByteArray& type) {
  return type.isEmpty() || type == "application/octet-stream" || type == "application/x-ms-dos-executable" ||
         type == "application/x-msdownload" || type == "application/x-ms-ne-executable" ||
         type == "application/x-executable";
}

std::optional<QByteArray> ReadFile(const QString& path) {
  QFile file(path);
  if (!file.exists()) return std::nullopt;
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return content;
}

// An existing file that cannot be read must not be replaced by what the program
// would write into an empty one.
bool UnreadableFile(const QString& path, const std::optional<QByteArray>& content) {
  return !content && QFileInfo::exists(path);
}

// Marks the desktop entry the program wrote for itself, which it may remove again.
constexpr char kCopyMark[] = "X-Typeloom-Copy=true";

constexpr mode_t kFileMode = 0644;
constexpr mode_t kExecutableMode = 0755;

void DefaultRunTool(const QString& program, const QStringList& arguments) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return;
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(path, arguments);
  if (process.waitForStarted()) process.waitForFinished(60000);
}

QString Canonical(const QString& path) {
  const QString c = QFileInfo(path).canonicalFilePath();
  return c.isEmpty() ? QDir::cleanPath(path) : c;
}

long CopyOut(std::uint32_t valueType, const std::string& value, std::uint32_t* type, std::uint8_t* data,
             std::uint32_t* size) {
  if (type != nullptr) *type = valueType;
  if (size == nullptr) return data == nullptr ? reg::kSuccess : reg::kInvalidParameter;
  const auto needed = static_cast<std::uint32_t>(value.size());
  if (data == nullptr) {
    *size = needed;
    return reg::kSuccess;
  }
  if (*size < needed) {
    *size = needed;
    return reg::kMoreData;
  }
  if (needed > 0) std::memcpy(data, value.data(), needed);
  *size = needed;
  return reg::kSuccess;
}

}  // namespace

XdgShell::XdgShell(Scope scope, ShellIdentity identity, XdgDirs dirs, RunTool runTool)
    : scope_(scope),
      identity_(std::move(identity)),
      dirs_(std::move(dirs)),
      runTool_(std::move(runTool)),
      created_(dirs_.dataHome + "/typeloom/bindings-created") {
  if (!runTool_) runTool_ = DefaultRunTool;
}

const XdgShell::MachineFolders& XdgShell::Machine() const {
  if (!machine_) {
    const QStringList homes = HomeFolders();
    machine_ = MachineFolders{MachineFolder(dirs_.configDirs, homes, WritableFolder).value_or(QString()),
                              MachineFolder(dirs_.dataDirs, homes, WritableFolder).value_or(QString())};
  }
  return *machine_;
}

QString XdgShell::DataBase() const { return scope_ == Scope::User ? dirs_.dataHome : Machine().data; }
QString XdgShell::ConfigBase() const { return scope_ == Scope::User ? dirs_.configHome : Machine().config; }

namespace {
QString In(const QString& base, const QString& path) { return base.isEmpty() ? QString() : base + path; }
}  // namespace

QString XdgShell::MimeAppsPath() const { return In(ConfigBase(), "/mimeapps.list"); }
QString XdgShell::ServiceMenuPath() const { return In(DataBase(), QString("/kio/servicemenus/") + shell::kServiceMenuName); }
QString XdgShell::NemoActionPath() const { return In(DataBase(), QString("/nemo/actions/") + shell::kNemoActionName); }
QString XdgShell::NautilusScriptPath() const {
  if (scope_ != Scope::User) return {};
  return dirs_.dataHome + "/nautilus/scripts/" + shell::kNautilusScriptName;
}
QString XdgShell::ThunarActionsPath() const {
  if (scope_ != Scope::User) return {};
  return dirs_.configHome + "/Thunar/uca.xml";
}
QString XdgShell::MimePackagePath() const { return In(DataBase(), QString("/mime/packages/") + shell::kMimePackageName); }
QString XdgShell::DesktopEntryPath() const { return In(DataBase(), QString("/applications/") + shell::kDesktopId); }

void XdgShell::Run(const QString& program, const QStringList& arguments) { runTool_(program, arguments); }

// Replaces the file with `content` as a whole or not at all (AtomicFile.h); a
// symbolic link is written through to its target, an existing file keeps its mode,
// a new one gets `mode`. Folders made for it are recorded as the program's.
bool XdgShell::Replace(const QString& path, const QByteArray& content, mode_t mode) {
  QString target = path;
  const QFileInfo info(path);
  if (info.isSymLink()) target = info.symLinkTarget();
  if (!created_.MakeFolder(QFileInfo(target).absolutePath())) return false;
  return ReplaceFile(target, content, mode);
}

// The user's desktop entry folder's cache brought up to date; a cache that the tool
// makes only now is the program's.
void XdgShell::UpdateDesktopDatabase() {
  const QString folder = dirs_.dataHome + "/applications";
  if (!QFileInfo(folder).isDir()) return;
  const bool existed = QFileInfo::exists(folder + "/mimeinfo.cache");
  Run("update-desktop-database", {folder});
  created_.NoteIfNew(folder + "/mimeinfo.cache", existed);
}

void XdgShell::Tidy() {
  created_.Tidy(DataBase());
  created_.Tidy(ConfigBase());
}

long XdgShell::Read(std::string_view extension, Verb verb, std::string_view name, std::uint32_t* type,
                    std::string* data) {
  const QByteArray mime = shell::MimeTypeOf(extension);
  if (mime.isEmpty() || (verb == Verb::Open ? ConfigBase() : DataBase()).isEmpty()) return reg::kFileNotFound;
  return verb == Verb::Open ? ReadOpen(mime, name, type, data) : ReadPrint(mime, name, type, data);
}

long XdgShell::Write(std::string_view extension, Verb verb, std::string_view name, std::string_view data) {
  const long rc = WriteValue(extension, verb, name, data);
  // Undone, or not done: what the program created for it and no longer needs goes.
  if (data.empty() || name == shell::kLinesValue || rc != reg::kSuccess) Tidy();
  return rc;
}

long XdgShell::WriteValue(std::string_view extension, Verb verb, std::string_view name, std::string_view data) {
  const QByteArray mime = shell::MimeTypeOf(extension);
  if (IsForbiddenType(mime)) return reg::kAccessDenied;
  // No machine folder the program may write in: nothing machine-wide is touched.
  if ((verb == Verb::Open ? ConfigBase() : DataBase()).isEmpty()) return reg::kAccessDenied;
  const QString text = QString::fromUtf8(data.data(), static_cast<qsizetype>(data.size()));
  if (verb == Verb::Open) {
    if (name == shell::kLinesValue) return RestoreLines(mime, data);
    if (!name.empty()) return reg::kAccessDenied;
    if (text.isEmpty()) return BindOpen(mime, false);
    if (!identity_.exePath.isEmpty() && text == identity_.openCommand) return BindOpen(mime, true);
    return reg::kAccessDenied;  // another program's command cannot be made a desktop default
  }
  if (!name.empty()) return reg::kAccessDenied;
  if (text.isEmpty()) return SetPrint(mime, false);
  if (!identity_.exePath.isEmpty() && text == identity_.printCommand) return SetPrint(mime, true);
  return reg::kAccessDenied;
}

bool XdgShell::OwnLine(const QByteArray& content, const QByteArray& mimeType) const {
  const mimeapps::TypeLines t = mimeapps::Find(content, mimeType);
  return t.lines.size() == 1 && t.lines.front().trimmed() == mimeapps::LineFor(mimeType, shell::kDesktopId);
}

QStringList XdgShell::RootLists() const {
  const QString base = ConfigBase();
  if (base.isEmpty()) return {};
  QStringList lists;
  for (const QString& desktop : dirs_.desktops) lists << base + u'/' + desktop + "-mimeapps.list";
  lists << base + "/mimeapps.list";
  return lists;
}

QString XdgShell::DecidingList(const QByteArray& mime) const {
  const QStringList lists = RootLists();
  for (const QString& path : lists) {
    const auto content = ReadFile(path);
    if (content && !mimeapps::Find(*content, mime).lines.isEmpty()) return path;
  }
  return lists.isEmpty() ? QString() : lists.back();
}

bool XdgShell::OwnsAnyList(const QByteArray& mime) const {
  const QStringList lists = RootLists();
  return std::any_of(lists.begin(), lists.end(), [&](const QString& path) {
    const auto content = ReadFile(path);
    return content && OwnLine(*content, mime);
  });
}

long XdgShell::ReadOpen(const QByteArray& mime, std::string_view name, std::uint32_t* type, std::string* data) {
  const bool user = scope_ == Scope::User;
  const QString list = DecidingList(mime);
  const auto content = ReadFile(list);
  if (name.empty()) {
    // The root's own list naming the program is its binding, installed or not.
    const auto resolved = ResolveDefault(dirs_.MimeAppsFiles(user), dirs_.ApplicationDirs(user), mime);
    if ((content && OwnLine(*content, mime)) || (resolved && resolved->id == shell::kDesktopId)) {
      *type = reg::kExpandSz;
      *data = identity_.openCommand.toStdString();
      return reg::kSuccess;
    }
    if (!resolved) return reg::kFileNotFound;
    *type = reg::kSz;
    *data = CommandOfExec(resolved->entry.exec).toStdString();
    return reg::kSuccess;
  }
  if (name != shell::kLinesValue) return reg::kFileNotFound;
  mimeapps::TypeLines lines;
  if (content) lines = mimeapps::Find(*content, mime);
  const bool own = content && OwnLine(*content, mime);
  *type = own ? reg::kExpandSz : reg::kSz;
  *data = mimeapps::EncodeListLines(QFileInfo(list).fileName(), lines).toStdString();
  return reg::kSuccess;
}

long XdgShell::ReadPrint(const QByteArray& mime, std::string_view name, std::uint32_t* type, std::string* data) {
  if (!name.empty() || !PrintTypes().contains(mime)) return reg::kFileNotFound;
  *type = reg::kExpandSz;
  *data = identity_.printCommand.toStdString();
  return reg::kSuccess;
}

long XdgShell::BindOpen(const QByteArray& mime, bool bind) {
  if (bind && scope_ == Scope::User) {
    if (!EnsureDesktopEntry()) return reg::kWriteFault;
    EnsureMimePackage(mime);
  }
  // Read just before writing: another program may have changed the file meanwhile.
  // The line goes into the list that decides the type's default.
  const QString path = DecidingList(mime);
  const std::optional<QByteArray> read = ReadFile(path);
  const bool unreadable = UnreadableFile(path, read);
  const QByteArray content = read.value_or(QByteArray());
  QByteArray updated = content;
  if (unreadable) {
    // left as it is: the binding fails below
  } else if (bind) {
    updated = mimeapps::SetLine(content, mime, mimeapps::LineFor(mime, shell::kDesktopId));
  } else {
    if (!OwnLine(content, mime)) return reg::kSuccess;  // nothing of ours to remove
    mimeapps::TypeLines none;
    none.filePresent = none.groupPresent = true;
    updated = mimeapps::Restore(content, mime, none);
  }
  const bool written = !unreadable && (updated == content || Replace(path, updated, kFileMode));
  if (scope_ == Scope::User) {
    // Whatever the program set up for a binding that did not happen goes again.
    if (!bind || !written) {
      DropUnusedMimePackage();
      DropUnusedDesktopEntry();
    }
    UpdateDesktopDatabase();
    if (!written) return reg::kAccessDenied;
    if (bind) {
      // Another list of the user's may still name another program first.
      const auto resolved = ResolveDefault(dirs_.MimeAppsFiles(true), dirs_.ApplicationDirs(true), mime);
      if (!resolved || resolved->id != shell::kDesktopId) return reg::kAccessDenied;
    }
  }
  return written ? reg::kSuccess : reg::kAccessDenied;
}

long XdgShell::RestoreLines(const QByteArray& mime, std::string_view encoded) {
  QString listName;
  mimeapps::TypeLines prior;
  if (!mimeapps::ParseListLines(QByteArray(encoded.data(), static_cast<qsizetype>(encoded.size())), &listName, &prior))
    return reg::kInvalidParameter;
  for (const QByteArray& line : prior.lines) {
    if (mimeapps::KeyOf(line) != mime) return reg::kInvalidParameter;
  }
  const QString path = ConfigBase() + u'/' + listName;
  const auto content = ReadFile(path);
  // The user or another program changed the default meanwhile: theirs stands.
  if (!content || !OwnLine(*content, mime)) return reg::kAccessDenied;
  const QByteArray updated = mimeapps::Restore(*content, mime, prior);
  if (updated.isEmpty() && !prior.filePresent && !QFileInfo(path).isSymLink()) {
    if (!QFile::remove(path)) return reg::kAccessDenied;
  } else if (updated != *content && !Replace(path, updated, kFileMode)) {
    return reg::kAccessDenied;
  }
  if (scope_ == Scope::User) {
    DropUnusedMimePackage();
    DropUnusedDesktopEntry();
    UpdateDesktopDatabase();
  }
  return reg::kSuccess;
}

QList<QByteArray> XdgShell::PrintTypes() const {
  QList<QByteArray> types;
  const auto add = [&types](const QString& path, const QByteArray& group, const QByteArray& key) {
    const auto content = ReadFile(path);
    if (!content) return;
    for (const QByteArray& t : KeyFileValue(*content, group, key).value_or(QByteArray()).split(';')) {
      if (!t.trimmed().isEmpty() && !types.contains(t.trimmed())) types << t.trimmed();
    }
  };
  add(ServiceMenuPath(), "Desktop Entry", "MimeType");
  add(NemoActionPath(), "Nemo Action", "Mimetypes");
  return types;
}

long XdgShell::SetPrint(const QByteArray& mime, bool install) {
  if (install && scope_ == Scope::User) EnsureMimePackage(mime);
  const QList<QByteArray> current = PrintTypes();
  QList<QByteArray> types;
  for (const QByteArray& t : AllTypes()) {
    if (t == mime ? install : current.contains(t)) types << t;
  }
  if (types == current && QFileInfo::exists(ServiceMenuPath()) == !types.isEmpty() &&
      QFileInfo::exists(NemoActionPath()) == !types.isEmpty() && FileManagerActionsMatch(types))
    return reg::kSuccess;
  if (types.isEmpty()) {
    bool ok = true;
    for (const QString& path : {ServiceMenuPath(), NemoActionPath()}) {
      if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) ok = QFile::remove(path) && ok;
    }
    ok = SetNautilusScript(types) && ok;
    ok = SetThunarAction(types) && ok;
    if (scope_ == Scope::User) DropUnusedMimePackage();
    return ok ? reg::kSuccess : reg::kAccessDenied;
  }
  const QByteArray menu = shell::FillTemplate(shell::Template("typeloom-print.servicemenu.in"), identity_.exePath, types);
  const QByteArray nemo = shell::FillTemplate(shell::Template("typeloom-print.nemo_action.in"), identity_.exePath, types);
  if (menu.isEmpty() || nemo.isEmpty()) return reg::kWriteFault;
  // KDE runs a service menu outside its system folders only when it is executable.
  bool ok = Replace(ServiceMenuPath(), menu, kExecutableMode) && Replace(NemoActionPath(), nemo, kFileMode);
  if (ok) ::chmod(QFile::encodeName(QFileInfo(ServiceMenuPath()).canonicalFilePath()).constData(), kExecutableMode);
  ok = SetNautilusScript(types) && ok;
  ok = SetThunarAction(types) && ok;
  if (!install && scope_ == Scope::User) DropUnusedMimePackage();
  return ok ? reg::kSuccess : reg::kAccessDenied;
}

// Whether the script and the Thunar action are as `types` (none: absent) want them.
bool XdgShell::FileManagerActionsMatch(const QList<QByteArray>& types) const {
  if (scope_ != Scope::User) return true;
  const auto script = ReadFile(NautilusScriptPath());
  const bool ownScript = script && shell::IsOwnPrintScript(*script);
  if (types.isEmpty()) {
    if (ownScript) return false;
  } else if (!script || (ownScript && *script != shell::PrintScript(shell::Template("typeloom-print.nautilus-script.in"),
                                                                   identity_.exePath, types))) {
    return false;  // (a script of the user's own under the name stands as it is)
  }
  const auto actions = ReadFile(ThunarActionsPath());
  if (!actions) return types.isEmpty();
  const auto span = shell::FindThunarAction(*actions);
  if (!span) return types.isEmpty();
  if (types.isEmpty()) return false;
  const QByteArray wanted = shell::ThunarAction(shell::Template("typeloom-print.uca-action.in"), identity_.exePath, types);
  return actions->mid(span->begin, span->end - span->begin) == wanted;
}

// Writes the GNOME Files script for `types`, or removes it with none. A script of
// the user's own under the same name is never touched.
bool XdgShell::SetNautilusScript(const QList<QByteArray>& types) {
  if (scope_ != Scope::User) return true;
  const QString path = NautilusScriptPath();
  const auto content = ReadFile(path);
  if (UnreadableFile(path, content)) return false;
  const bool exists = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
  if (exists && !(content && shell::IsOwnPrintScript(*content))) return true;  // the user's own
  if (types.isEmpty()) return !exists || QFile::remove(path);
  const QByteArray script =
      shell::PrintScript(shell::Template("typeloom-print.nautilus-script.in"), identity_.exePath, types);
  if (script.isEmpty()) return false;
  // GNOME Files lists only executable scripts.
  if (content != script && !Replace(path, script, kExecutableMode)) return false;
  return ::chmod(QFile::encodeName(QFileInfo(path).canonicalFilePath()).constData(), kExecutableMode) == 0;
}

// A user without uca.xml of their own sees the machine's actions (Thunar reads the
// first uca.xml of the configuration folders); the file made for them starts from
// those, so they keep seeing them.
QByteArray XdgShell::NewThunarActions() const {
  for (const QString& dir : dirs_.configDirs) {
    if (const auto machine = ReadFile(dir + "/Thunar/uca.xml")) return *machine;
  }
  return shell::kEmptyThunarActions;
}

// Puts the program's action into the user's uca.xml for `types`, or takes it out with
// none; a file the program made and that holds nothing else goes again.
bool XdgShell::SetThunarAction(const QList<QByteArray>& types) {
  if (scope_ != Scope::User) return true;
  const QString path = ThunarActionsPath();
  const auto content = ReadFile(path);
  if (UnreadableFile(path, content)) return false;
  if (types.isEmpty()) {
    if (!content || !shell::FindThunarAction(*content)) return true;
    const QByteArray without = shell::WithoutThunarAction(*content);
    if (without == NewThunarActions() && !QFileInfo(path).isSymLink()) return QFile::remove(path);
    return Replace(path, without, kFileMode);
  }
  const QByteArray action = shell::ThunarAction(shell::Template("typeloom-print.uca-action.in"), identity_.exePath, types);
  if (action.isEmpty()) return false;
  const auto updated = shell::WithThunarAction(content.value_or(NewThunarActions()), action);
  // A file without </actions> is not one the program can add to: it stays as it is.
  if (!updated) return true;
  return *updated == content || Replace(path, *updated, kFileMode);
}

bool XdgShell::EnsureDesktopEntry() {
  const auto entry = FindDesktopEntry(dirs_.ApplicationDirs(true), shell::kDesktopId);
  if (entry) {
    QString program = ProgramOfExec(entry->exec);
    if (!QDir::isAbsolutePath(program)) program = QStandardPaths::findExecutable(program);
    bool handlesAll = true;
    for (const QByteArray& t : AllTypes()) handlesAll = handlesAll && entry->mimeTypes.contains(t);
    if (!program.isEmpty() && handlesAll && Canonical(program) == Canonical(identity_.exePath)) return true;
  }
  // Run from elsewhere (the build folder): a copy of the user's own, naming this program.
  QByteArray text = shell::FillTemplate(shell::Template("typeloom.desktop.in"), identity_.exePath, AllTypes());
  if (text.isEmpty()) return false;
  text.replace("[Desktop Entry]\n", "[Desktop Entry]\n" + QByteArray(kCopyMark) + "\n");
  return Replace(DesktopEntryPath(), text, kFileMode);
}

void XdgShell::DropUnusedDesktopEntry() {
  // Only the copy this program wrote goes, never an installed entry.
  const auto text = ReadFile(DesktopEntryPath());
  if (!text || !text->contains(QByteArray(kCopyMark) + '\n')) return;
  for (const QByteArray& t : AllTypes()) {
    if (OwnsAnyList(t)) return;
  }
  QFile::remove(DesktopEntryPath());
}

void XdgShell::EnsureMimePackage(const QByteArray& mime) {
  if (!IsOwnPackageType(mime)) return;
  for (const QString& dir : dirs_.dataDirs) {
    if (QFileInfo::exists(dir + "/mime/packages/" + shell::kMimePackageName)) return;  // installed
  }
  const QByteArray package = shell::Template("typeloom-mime.xml");
  if (package.isEmpty()) return;
  if (ReadFile(MimePackagePath()) == package) return;
  if (Replace(MimePackagePath(), package, kFileMode)) Run("update-mime-database", {DataBase() + "/mime"});
}

void XdgShell::DropUnusedMimePackage() {
  if (!QFileInfo::exists(MimePackagePath())) return;
  const QList<QByteArray> printed = PrintTypes();
  for (const QByteArray& t : {shell::MimeTypeOf("fon"), shell::MimeTypeOf("pfm")}) {
    if (OwnsAnyList(t) || printed.contains(t)) return;
  }
  if (QFile::remove(MimePackagePath())) Run("update-mime-database", {DataBase() + "/mime"});
}

// --- registry keys ---

namespace {

// The parts of a key path below the class key, folded; nothing when the path is not
// one of the keys the class has.
std::optional<std::vector<std::string>> KeyParts(std::string_view path) {
  const std::string folded = reg::FoldName(reg::NormalizePath(path));
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < folded.size()) {
    const std::size_t cut = folded.find('\\', start);
    parts.push_back(folded.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
    if (cut == std::string::npos) break;
    start = cut + 1;
  }
  if (parts.size() > 3) return std::nullopt;
  if (parts.size() >= 1 && parts[0] != "shell") return std::nullopt;
  if (parts.size() >= 2 && parts[1] != "open" && parts[1] != "print") return std::nullopt;
  if (parts.size() == 3 && parts[2] != "command") return std::nullopt;
  return parts;
}

}  // namespace

long XdgShellKeys::OpenKey(RootKey, std::string_view path, std::uint32_t, KeyHandle* key) {
  const auto parts = KeyParts(path);
  if (!parts) return reg::kFileNotFound;
  Opened opened;
  opened.command = parts->size() == 3;
  if (parts->size() >= 2) opened.verb = (*parts)[1] == "open" ? XdgShell::Verb::Open : XdgShell::Verb::Print;
  const KeyHandle handle = next_++;
  handles_[handle] = opened;
  *key = handle;
  return reg::kSuccess;
}

long XdgShellKeys::CreateKey(RootKey root, std::string_view path, std::uint32_t access, KeyHandle* key) {
  const long rc = OpenKey(root, path, access, key);
  return rc == reg::kSuccess ? rc : reg::kAccessDenied;  // no other keys can be made here
}

long XdgShellKeys::EnumValue(KeyHandle key, std::uint32_t, char*, std::uint32_t*) {
  return handles_.count(key) != 0 ? reg::kNoMoreItems : reg::kInvalidHandle;
}

long XdgShellKeys::QueryValue(KeyHandle key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return reg::kInvalidHandle;
  if (!it->second.command) return reg::kFileNotFound;
  std::uint32_t valueType = 0;
  std::string value;
  const long rc = shell_.Read(extension_, it->second.verb, name, &valueType, &value);
  if (rc != reg::kSuccess) return rc;
  return CopyOut(valueType, value, type, data, size);
}

long XdgShellKeys::SetValue(KeyHandle key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return reg::kInvalidHandle;
  if (!it->second.command || (type != reg::kSz && type != reg::kExpandSz)) return reg::kAccessDenied;
  std::string_view text(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size);
  return shell_.Write(extension_, it->second.verb, name, text);
}

long XdgShellKeys::CloseKey(KeyHandle key) { return handles_.erase(key) != 0 ? reg::kSuccess : reg::kInvalidHandle; }

XdgShellMounts::XdgShellMounts(ShellIdentity identity, XdgDirs dirs, XdgShell::RunTool runTool)
    : user_(XdgShell::Scope::User, identity, dirs, runTool), machine_(XdgShell::Scope::Machine, identity, dirs, runTool) {}

void XdgShellMounts::MountOnto(CompositeRegistry& registry) {
  for (const std::string& ext : shell::FontExtensions()) {
    keys_.push_back(std::make_unique<XdgShellKeys>(user_, ext));
    registry.Mount(RootKey::ClassesRoot, ext + "file", *keys_.back());
    keys_.push_back(std::make_unique<XdgShellKeys>(machine_, ext));
    registry.Mount(RootKey::LocalMachine, "software\\classes\\" + ext + "file", *keys_.back());
  }
}

}  // namespace typeloom::platform
