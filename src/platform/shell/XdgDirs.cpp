#include "platform/shell/XdgDirs.h"

#include "platform/shell/MimeAppsList.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

QString EnvDir(const char* name, const QString& fallback) {
  const QString value = qEnvironmentVariable(name);
  return QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : fallback;
}

QStringList EnvDirs(const char* name, const QStringList& fallback) {
  QStringList out;
  for (const QString& part : qEnvironmentVariable(name).split(u':', Qt::SkipEmptyParts)) {
    if (QDir::isAbsolutePath(part)) out << QDir::cleanPath(part);
  }
  return out.isEmpty() ? fallback : out;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

XdgDirs XdgDirs::FromEnvironment() {
  XdgDirs d;
  const QString home = QDir::homePath();
  d.configHome = EnvDir("XDG_CONFIG_HOME", home + "/.config");
  d.configDirs = EnvDirs("XDG_CONFIG_DIRS", {"/etc/xdg"});
  d.dataHome = EnvDir("XDG_DATA_HOME", home + "/.local/share");
  d.dataDirs = EnvDirs("XDG_DATA_DIRS", {"/usr/local/share", "/usr/share"});
  for (const QString& part : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts)) {
    if (IsDesktopName(part)) d.desktops << part.toLower();
  }
  return d;
}

QStringList XdgDirs::MimeAppsFiles(bool userLevel) const {
  QStringList folders;
  if (userLevel) folders << configHome;
  folders << configDirs;
  if (userLevel) folders << dataHome + "/applications";
  for (const QString& dir : dataDirs) folders << dir + "/applications";
  QStringList files;
  for (const QString& folder : folders) {
    for (const QString& desktop : desktops) files << folder + u'/' + desktop + "-mimeapps.list";
    files << folder + "/mimeapps.list";
  }
  return files;
}

QStringList XdgDirs::ApplicationDirs(bool userLevel) const {
  QStringList dirs;
  if (userLevel) dirs << dataHome + "/applications";
  for (const QString& dir : dataDirs) dirs << dir + "/applications";
  return dirs;
}

bool IsDesktopName(const QString& name) {
  if (name.isEmpty() || name.size() > 64 || name.startsWith(u'.')) return false;
  return std::all_of(name.begin(), name.end(), [](QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
           c == u'_' || c == u'.';
  });
}

std::optional<QString> MachineFolder(const QStringList& candidates, const QStringList& homes,
                                     const std::function<bool(const QString&)>& writable) {
  const auto under = [](const QString& path, const QString& folder) {
    const QString f = QDir::cleanPath(folder);
    return f != "/" && (path == f || path.startsWith(f + u'/'));
  };
  for (const QString& candidate : candidates) {
    if (!QDir::isAbsolutePath(candidate)) continue;
    const QString path = QDir::cleanPath(candidate);
    if (std::any_of(homes.begin(), homes.end(), [&](const QString& home) { return under(path, home); })) continue;
    if ((path + u'/').contains("/flatpak/exports/") || under(path, "/var/lib/snapd/desktop")) continue;
    if (writable(path)) return path;
  }
  return std::nullopt;
}

QStringList HomeFolders() {
  QStringList homes{"/root", "/home"};
  const QString home = qEnvironmentVariable("HOME");
  if (QDir::isAbsolutePath(home)) homes << home;
  setpwent();
  while (const passwd* pw = getpwent()) {
    if (pw->pw_uid >= 1000 && pw->pw_uid != 65534 && pw->pw_dir != nullptr && pw->pw_dir[0] == '/')
      homes << QFile::decodeName(pw->pw_dir);
  }
  endpwent();
  return homes;
}

bool WritableFolder(const QString& path) {
  return QFileInfo(path).isDir() && ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
}

std::optional<QByteArray> KeyFileValue(const QByteArray& content, const QByteArray& group, const QByteArray& key) {
  bool inGroup = false;
  for (const QByteArray& raw : content.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.startsWith('[')) {
      inGroup = line == '[' + group + ']';
      continue;
    }
    if (!inGroup || line.startsWith('#')) continue;
    const qsizetype eq = line.indexOf('=');
    if (eq > 0 && line.left(eq).trimmed() == key) return line.mid(eq + 1).trimmed();
  }
  return std::nullopt;
}

QByteArray UnescapeValue(const QByteArray& value) {
  QByteArray out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    const char c = value[++i];
    switch (c) {
      case 's': out += ' '; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case '\\': out += '\\'; break;
      default: out += '\\'; out += c; break;
    }
  }
  return out;
}

QByteArray EscapeValue(const QByteArray& text) {
  QByteArray out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default: out += c; break;
    }
  }
  return out;
}

QByteArray ExecArgument(const QString& argument) {
  static const QByteArray reserved = QByteArrayLiteral(" \t\n\"'\\><~|&;$*?#()`");
  const QByteArray bytes = argument.toUtf8();
  bool quote = bytes.isEmpty();
  for (char c : bytes) quote = quote || reserved.contains(c);
  QByteArray arg;
  if (quote) {
    arg += '"';
    for (char c : bytes) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
      arg += c;
    }
    arg += '"';
  } else {
    arg = bytes;
  }
  arg.replace("%", "%%");
  return EscapeValue(arg);
}

QString CommandOfExec(const QByteArray& rawExec) {
  const QByteArray exec = UnescapeValue(rawExec);
  QByteArray out;
  for (qsizetype i = 0; i < exec.size(); ++i) {
    if (exec[i] != '%' || i + 1 == exec.size()) {
      out += exec[i];
      continue;
    }
    const char code = exec[++i];
    if (code == '%') {
      out += '%';
    } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
      out += "%1";
    } else if (code == 'i' || code == 'c' || code == 'k') {
      if (out.endsWith(' ')) out.chop(1);
    }
  }
  return QString::fromUtf8(out.trimmed());
}

QString ProgramOfExec(const QByteArray& rawExec) {
  const QByteArray exec = UnescapeValue(rawExec).trimmed();
  QByteArray program;
  if (exec.startsWith('"')) {
    for (qsizetype i = 1; i < exec.size(); ++i) {
      if (exec[i] == '\\' && i + 1 < exec.size()) {
        program += exec[++i];
      } else if (exec[i] == '"') {
        break;
      } else {
        program += exec[i];
      }
    }
  } else {
    const qsizetype blank = exec.indexOf(' ');
    program = blank < 0 ? exec : exec.left(blank);
  }
  return QString::fromUtf8(program.replace("%%", "%"));
}

std::optional<DesktopEntryFile> ReadDesktopEntry(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray content = file.readAll();
  const auto type = KeyFileValue(content, "Desktop Entry", "Type");
  if (!type) return std::nullopt;
  DesktopEntryFile entry;
  entry.path = path;
  entry.exec = KeyFileValue(content, "Desktop Entry", "Exec").value_or(QByteArray());
  for (const QByteArray& t : KeyFileValue(content, "Desktop Entry", "MimeType").value_or(QByteArray()).split(';')) {
    if (!t.trimmed().isEmpty()) entry.mimeTypes << t.trimmed();
  }
  entry.hidden = KeyFileValue(content, "Desktop Entry", "Hidden").value_or(QByteArray()) == "true";
  return entry;
}

std::optional<DesktopEntryFile> FindDesktopEntry(const QStringList& applicationDirs, const QByteArray& id) {
  if (id.isEmpty() || id.contains('/') || !id.endsWith(".desktop")) return std::nullopt;
  const QString name = QString::fromUtf8(id);
  for (const QString& dir : applicationDirs) {
    QStringList candidates{dir + u'/' + name};
    // "vendor-app.desktop" may be the file vendor/app.desktop.
    QString nested = name;
    for (qsizetype dash = nested.indexOf(u'-'); dash > 0; dash = nested.indexOf(u'-', dash + 1)) {
      QString path = nested;
      path[dash] = u'/';
      candidates << dir + u'/' + path;
    }
    for (const QString& candidate : candidates) {
      if (QFileInfo(candidate).isFile()) return ReadDesktopEntry(candidate);
    }
  }
  return std::nullopt;
}

std::optional<ResolvedDefault> ResolveDefault(const QStringList& mimeAppsFiles, const QStringList& applicationDirs,
                                              const QByteArray& type) {
  for (const QString& path : mimeAppsFiles) {
    if (!QFileInfo(path).isFile()) continue;
    for (const QByteArray& id : mimeapps::DefaultIds(ReadAll(path), type)) {
      const auto entry = FindDesktopEntry(applicationDirs, id);
      if (entry && !entry->hidden && entry->mimeTypes.contains(type)) return ResolvedDefault{id, *entry};
    }
  }
  return std::nullopt;
}

}  // namespace typeloom::platform
