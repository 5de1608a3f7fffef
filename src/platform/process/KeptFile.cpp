#include "platform/process/KeptFile.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

QString Reason(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

}  // namespace

KeptFile::KeptFile(int fd, QString path) : fd_(fd), path_(std::move(path)) {
  auto file = std::make_unique<QFile>();
  file->open(fd_, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
  device_ = std::move(file);
}

KeptFile::~KeptFile() {
  device_.reset();
  ::close(fd_);
}


std::unique_ptr<KeptFile> KeptFile::Create(const QString& path, QString* error) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    *error = QStringLiteral("%1: %2").arg(path, Reason(errno));
    return nullptr;
  }
  return std::unique_ptr<KeptFile>(new KeptFile(fd, path));
}

QIODevice& KeptFile::Device() { return *device_; }

bool KeptFile::Seal(QString* error) {
  device_.reset();
  // The same inode again, read-only: /proc/self/fd names the open file, not a path.
  const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
  const int reading = ::open(self.constData(), O_RDONLY | O_CLOEXEC);
  if (reading < 0) {
    *error = QStringLiteral("%1: %2").arg(path_, Reason(errno));
    return false;
  }
  ::close(fd_);
  fd_ = reading;
  return true;
}

bool KeptFile::Digest(QByteArray* sha256, qint64* size, QString* error) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  QByteArray chunk(1 << 16, Qt::Uninitialized);
  off_t at = 0;
  for (;;) {
    const ssize_t n = ::pread(fd_, chunk.data(), static_cast<std::size_t>(chunk.size()), at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = QStringLiteral("%1: %2").arg(path_, Reason(errno));
      return false;
    }
    if (n == 0) break;
    hash.addData(QByteArrayView(chunk.constData(), n));
    at += n;
  }
  *sha256 = hash.result();
  *size = at;
  return true;
}

bool KeptFile::MakeExecutable(QString* error) {
  if (::fchmod(fd_, 0700) == 0) return true;
  *error = QStringLiteral("%1: %2").arg(path_, Reason(errno));
  return false;
}

bool KeptFile::Rename(const QString& path, QString* error) {
  if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(path).constData()) != 0) {
    *error = QStringLiteral("%1: %2").arg(path, Reason(errno));
    return false;
  }
  path_ = path;
  return true;
}

void KeptFile::Remove() { ::unlink(QFile::encodeName(path_).constData()); }

}  // namespace typeloom::platform
