#include "platform/files/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

QStringList& Failures() {
  static QStringList failures;
  return failures;
}

bool Fail(const QString& path, int code, QString* error) {
  const QString why = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
  if (error != nullptr) *error = why;
  // Bounded: nobody may ever take them.
  if (Failures().size() < 100) Failures() << why;
  return false;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = ENOSPC;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool ReplaceFile(const QString& path, const QByteArray& bytes, mode_t mode, QString* error) {
  const QByteArray target = QFile::encodeName(path);
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  struct stat old {};
  if (::stat(target.constData(), &old) == 0) {
    if (!S_ISREG(old.st_mode)) return Fail(path, EISDIR, error);
    // A file its owner made read-only stays as it is, even where the folder would
    // let it be replaced (and for root, who could write it anyway).
    if ((old.st_mode & S_IWUSR) == 0 || ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
      return Fail(path, EACCES, error);
    mode = old.st_mode & 07777;
  }

  QByteArray temp = target + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Fail(path, errno, error);
  const auto abandon = [&](int code) {
    ::close(fd);
    ::unlink(temp.constData());
    return Fail(path, code, error);
  };
  if (::fchmod(fd, mode) != 0) return abandon(errno);
  if (!WriteAll(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()))) return abandon(errno);
  // On the disk, and all of it: a delayed allocation failure shows here at the latest.
  if (::fsync(fd) != 0) return abandon(errno);
  struct stat written {};
  if (::fstat(fd, &written) != 0) return abandon(errno);
  if (written.st_size != bytes.size()) return abandon(EIO);
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(temp.constData());
    return Fail(path, code, error);
  }
  if (::rename(temp.constData(), target.constData()) != 0) {
    const int code = errno;
    ::unlink(temp.constData());
    return Fail(path, code, error);
  }
  // The rename itself on the disk.
  const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

QStringList TakeWriteFailures() {
  QStringList failures;
  failures.swap(Failures());
  return failures;
}

}  // namespace typeloom::platform
