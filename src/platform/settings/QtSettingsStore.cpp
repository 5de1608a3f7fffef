#include "platform/settings/QtSettingsStore.h"

#include "platform/files/AtomicFile.h"
#include "platform/settings/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <utility>

namespace typeloom::platform {

namespace {

// Modification time in whole milliseconds, or -1 when the file is missing.
std::int64_t MtimeMs(const QByteArray& path) {
  struct stat st {};
  if (::stat(path.constData(), &st) != 0) return -1;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
}

// Holds an exclusive flock on a folder for the life of the object.
class FolderLock {
 public:
  explicit FolderLock(const QByteArray& dir) : fd_(::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

QtSettingsStore::QtSettingsStore(QString configDir) : configDir_(std::move(configDir)) {}

QString QtSettingsStore::FilePath(const QString& app) const {
  QString root = configDir_;
  if (root.isEmpty()) {
    root = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (root.isEmpty() || !QDir::isAbsolutePath(root)) root = QDir::homePath() + QStringLiteral("/.config");
  }
  return root + QLatin1Char('/') + app + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString QtSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                    const QString& defaultValue) {
  QSettings settings(FilePath(app), QSettings::IniFormat);
  settings.beginGroup(section);
  if (!settings.contains(key)) return defaultValue;
  // An empty stored text reads back as a null variant; it is still present.
  const QVariant value = settings.value(key);
  // Unquoted commas in a hand-edited file read back as a list.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
  return value.toString();
}

void QtSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                  const QString& value) {
  const QString path = FilePath(app);
  const QString dir = QFileInfo(path).absolutePath();
  QDir().mkpath(dir);
  const QByteArray nativePath = QFile::encodeName(path);

  // QSettings skips re-reading a file whose size and millisecond mtime are
  // unchanged, but the kernel stamps files with a coarse clock: two saves of
  // equally long texts within one tick would look identical to a reader that
  // cached the first. Saves are serialised and each one moves the mtime forward.
  FolderLock lock(QFile::encodeName(dir));
  const std::int64_t before = MtimeMs(nativePath);
  // Written by the program's own editor, not by QSettings, whose sync on Qt 6.4 can
  // leave an emptied file behind on a full disk. Only this value's line changes; the
  // new file replaces the old one once it is wholly on the disk.
  QByteArray content;
  QFile current(path);
  if (current.exists()) {
    if (!current.open(QIODevice::ReadOnly)) {
      lastError_ = QStringLiteral("%1: %2").arg(path, current.errorString());
      return;
    }
    content = current.readAll();
    if (current.error() != QFileDevice::NoError) {
      lastError_ = QStringLiteral("%1: %2").arg(path, current.errorString());
      return;
    }
    current.close();
  }
  const QByteArray updated = SetIniValue(content, section, key, value);
  // A value saved again as it is (a start with the same command line) leaves the
  // file alone: no rewrite, no wait for the disk.
  if (current.exists() && updated == content) {
    lastError_.clear();
    return;
  }
  if (!ReplaceFile(path, updated, 0600, &lastError_)) return;
  lastError_.clear();
  const std::int64_t after = MtimeMs(nativePath);
  if (before >= 0 && after >= 0 && after <= before) {
    const std::int64_t next = before + 1;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(next / 1000);
    times[1].tv_nsec = static_cast<long>((next % 1000) * 1000000);
    ::utimensat(AT_FDCWD, nativePath.constData(), times, 0);
  }
}

}  // namespace typeloom::platform
