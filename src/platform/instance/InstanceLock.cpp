#include "platform/instance/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

namespace typeloom::platform {

const char InstanceLock::kSignalLine[] = "typeloom-handover 1\n";
const char InstanceLock::kReplyLine[] = "typeloom-handled\n";
const char InstanceLock::kUndeliveredLine[] = "typeloom-undelivered\n";

namespace {

constexpr int kStartLockWaitMs = 60000;   // a start gives up waiting its turn after this

int OpenLockFile(const QString& path) {
  return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool TryLock(int fd) {
  while (true) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// The folder for the lock files and the socket, or empty when there is no
// folder that only this user can write to.
QString RuntimeFolder(const QString& name, const QString& requested) {
  if (!requested.isEmpty()) {
    QDir().mkpath(requested);
    return requested;
  }
  const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg) && QFileInfo(xdg).isDir()) return xdg;

  const QString dir = QDir::tempPath() + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(::getuid());
  const QByteArray native = QFile::encodeName(dir);
  ::mkdir(native.constData(), 0700);
  struct stat st {};
  // Someone else's folder, or one others may write to, could be used to take
  // over the hand-over; refuse it.
  if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
      (st.st_mode & 077) != 0) {
    return QString();
  }
  return dir;
}

// A connected local stream socket, or -1.
int Connect(const QByteArray& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  while (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    return -1;
  }
  return fd;
}

// Waits for `events` on `fd` for at most `ms`; false on timeout or error.
bool Wait(int fd, short events, int ms) {
  pollfd p{fd, events, 0};
  while (true) {
    const int n = ::poll(&p, 1, ms < 0 ? 0 : ms);
    if (n < 0 && errno == EINTR) continue;
    return n > 0;
  }
}

}  // namespace

InstanceLock::InstanceLock(QString name, QString directory, int heldInstanceLock)
    : directory_(RuntimeFolder(name, directory)), name_(std::move(name)), instanceFd_(heldInstanceLock) {
  directoryUsable_ = !directory_.isEmpty();
}

InstanceLock::~InstanceLock() {
  if (instanceFd_ >= 0) ::close(instanceFd_);
  if (startFd_ >= 0) ::close(startFd_);
}

QString InstanceLock::LockFilePath() const { return directory_ + QLatin1Char('/') + name_ + QStringLiteral(".lock"); }

QString InstanceLock::SocketPath() const { return directory_ + QLatin1Char('/') + name_ + QStringLiteral(".socket"); }

void InstanceLock::SetTimeouts(int connectMs, int replyMs) {
  connectMs_ = connectMs;
  replyMs_ = replyMs;
}

void InstanceLock::LockStart() {
  if (!directoryUsable_ || startFd_ >= 0) return;
  const int fd = OpenLockFile(directory_ + QLatin1Char('/') + name_ + QStringLiteral(".start"));
  if (fd < 0) return;
  // Polled rather than blocking so that a start stuck elsewhere cannot hold
  // every later start forever; after the bound this start goes on unserialised.
  QElapsedTimer timer;
  timer.start();
  int pauseMs = 1;
  while (!TryLock(fd)) {
    if (errno != EWOULDBLOCK || timer.elapsed() > kStartLockWaitMs) {
      ::close(fd);
      return;
    }
    QThread::msleep(pauseMs);
    pauseMs = qMin(pauseMs * 2, 20);
  }
  startFd_ = fd;
}

void InstanceLock::UnlockStart() {
  if (startFd_ < 0) return;
  ::close(startFd_);  // closing releases the lock
  startFd_ = -1;
}

bool InstanceLock::PreviousInstance() {
  if (instanceFd_ >= 0) return false;
  if (!directoryUsable_) return false;  // no safe place to meet: run on our own
  const int fd = OpenLockFile(LockFilePath());
  if (fd < 0) return false;
  if (!TryLock(fd)) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
  }
  instanceFd_ = fd;
  return false;
}

int InstanceLock::ReleaseInstanceLock() { return std::exchange(instanceFd_, -1); }

HandOver InstanceLock::SignalAndWait() {
  if (!directoryUsable_ || instanceFd_ >= 0) return HandOver::NoAnswer;
  const QByteArray path = QFile::encodeName(SocketPath());
  QElapsedTimer timer;
  timer.start();
  int fd = -1;
  while ((fd = Connect(path)) < 0) {
    // Nobody holds the instance lock: there is no first instance to wait for.
    const int lock = OpenLockFile(LockFilePath());
    if (lock >= 0) {
      const bool free = TryLock(lock);
      ::close(lock);
      if (free) return HandOver::NoAnswer;
    }
    if (timer.elapsed() >= connectMs_) return HandOver::NoAnswer;
    QThread::msleep(50);
  }

  timer.restart();
  const auto left = [&] { return replyMs_ - static_cast<int>(timer.elapsed()); };
  std::string reply;
  bool ok = true;
  for (std::size_t sent = 0, size = std::strlen(kSignalLine); ok && sent < size;) {
    const ssize_t n = ::send(fd, kSignalLine + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      ok = left() > 0 && Wait(fd, POLLOUT, left());
    } else {
      ok = false;
    }
  }
  // The reply is one line; the first instance closes the connection after it.
  while (ok && reply.find('\n') == std::string::npos && reply.size() <= static_cast<std::size_t>(kMaxLineBytes)) {
    if (left() <= 0 || !Wait(fd, POLLIN, left())) break;
    char buffer[kMaxLineBytes + 1];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      reply.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
      continue;
    } else {
      break;  // closed without a (whole) reply
    }
  }
  ::close(fd);
  const std::size_t end = reply.find('\n');
  if (end == std::string::npos) return HandOver::NoAnswer;
  reply.resize(end + 1);
  if (reply == kReplyLine) return HandOver::Handled;
  if (reply == kUndeliveredLine) return HandOver::NotDelivered;
  return HandOver::NoAnswer;
}

}  // namespace typeloom::platform
