#include "platform/shell/CreatedPaths.h"

#include "platform/files/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace typeloom::platform {
namespace {

constexpr qsizetype kMaxPathBytes = 4096;
constexpr qint64 kMaxRecordBytes = kMaxCreatedPaths * (kMaxPathBytes + 1);

// What update-mime-database writes beside packages/ (the media-type folders aside).
const QStringList kMimeDatabaseFiles{"XMLnamespaces", "aliases", "generic-icons", "globs",    "globs2",  "icons",
                                     "magic",         "mime.cache", "subclasses", "treemagic", "types", "version"};

bool Under(const QString& path, const QString& base) {
  return !base.isEmpty() && (path == base || path.startsWith(base + u'/'));
}

bool EmptyFolder(const QString& path) {
  return QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// A cache update-desktop-database wrote for no entry that names a type.
bool EmptyMimeCache(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > 4096) return false;
  return file.readAll().trimmed() == "[MIME Cache]";
}

// A database generated from an empty packages folder: its generated files go, and
// then the folders once empty. Anything else in it stays.
void RemoveEmptyMimeDatabase(const QString& mime) {
  const QString packages = mime + "/packages";
  if (QFileInfo::exists(packages) && !EmptyFolder(packages)) return;
  QDir dir(mime);
  for (const QString& name : kMimeDatabaseFiles) {
    const QFileInfo info(dir.filePath(name));
    if (info.isFile() && !info.isSymLink()) QFile::remove(info.filePath());
  }
  for (const QFileInfo& sub : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks)) {
    if (sub.fileName() == "packages") continue;
    const QFileInfoList entries = QDir(sub.filePath()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    const bool generated = std::all_of(entries.begin(), entries.end(), [](const QFileInfo& e) {
      return e.isFile() && !e.isSymLink() && e.fileName().endsWith(".xml");
    });
    if (!generated) continue;
    for (const QFileInfo& e : entries) QFile::remove(e.filePath());
    dir.rmdir(sub.fileName());
  }
  dir.rmdir("packages");
}

}  // namespace

QStringList ParseCreatedRecord(const QByteArray& text) {
  QStringList paths;
  for (const QByteArray& line : text.split('\n')) {
    if (paths.size() >= kMaxCreatedPaths) break;
    if (line.isEmpty() || line.size() > kMaxPathBytes || line.contains('\0')) continue;
    const QString path = QString::fromUtf8(line);
    if (!QDir::isAbsolutePath(path) || QDir::cleanPath(path) != path || path == "/" || path.contains(u'\uFFFD'))
      continue;
    if (!paths.contains(path)) paths << path;
  }
  return paths;
}

QStringList CreatedPaths::Recorded() const {
  QFile file(record_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return ParseCreatedRecord(file.read(kMaxRecordBytes));
}

void CreatedPaths::Store(const QStringList& paths) {
  if (paths.isEmpty()) {
    QFile::remove(record_);
    QDir().rmdir(QFileInfo(record_).absolutePath());  // the program's data folder, when nothing else is in it
    return;
  }
  QDir().mkpath(QFileInfo(record_).absolutePath());
  ReplaceFile(record_, paths.join(u'\n').toUtf8() + '\n', 0600);
}

bool CreatedPaths::MakeFolder(const QString& folder) {
  const QString clean = QDir::cleanPath(folder);
  QStringList missing;
  for (QString at = clean; !at.isEmpty() && at != "/" && !QFileInfo(at).exists(); at = QFileInfo(at).path())
    missing.prepend(at);
  if (!QDir().mkpath(clean)) return false;
  if (missing.isEmpty()) return true;
  QStringList paths = Recorded();
  for (const QString& made : missing) {
    if (!paths.contains(made) && paths.size() < kMaxCreatedPaths) paths << made;
  }
  Store(paths);
  return true;
}

void CreatedPaths::NoteIfNew(const QString& path, bool existedBefore) {
  if (existedBefore || !QFileInfo::exists(path)) return;
  QStringList paths = Recorded();
  const QString clean = QDir::cleanPath(path);
  if (paths.contains(clean) || paths.size() >= kMaxCreatedPaths) return;
  paths << clean;
  Store(paths);
}

void CreatedPaths::Tidy(const QString& base) {
  const QStringList paths = Recorded();
  if (paths.isEmpty()) return;
  QStringList mine;
  for (const QString& p : paths) {
    if (Under(p, QDir::cleanPath(base))) mine << p;
  }
  for (const QString& p : mine) {
    const QFileInfo info(p);
    if (info.fileName() == "mimeinfo.cache" && info.isFile() && EmptyMimeCache(p)) QFile::remove(p);
    if (info.fileName() == "mime" && info.isDir() && !info.isSymLink()) RemoveEmptyMimeDatabase(p);
  }
  // Deepest first, so that a folder emptied by its child's removal goes too.
  std::sort(mine.begin(), mine.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
  for (const QString& p : mine) {
    const QFileInfo info(p);
    if (info.isDir() && !info.isSymLink() && EmptyFolder(p)) QDir().rmdir(p);
  }
  QStringList kept;
  for (const QString& p : paths) {
    if (!mine.contains(p) || QFileInfo::exists(p) || QFileInfo(p).isSymLink()) kept << p;
  }
  if (kept != paths) Store(kept);
}

}  // namespace typeloom::platform
