#include "platform/instance/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
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

const char InstanceLock::kReplyLine[] = "typeloom-handled\n";
const char InstanceLock::kUndeliveredLine[] = "typeloom-undelivered\n";
const char InstanceLock::kRefusedLine[] = "typeloom-refused\n";

namespace {

constexpr int kStartLockWaitMs = 60000;   // a start gives up waiting its turn after this

// Opens (creating when needed) a lock file: never through a symbolic link, never
// kept open across exec, and only a regular file of this user's.
int OpenLockFile(const QString& path) {
  const int fd =
      ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
    ::close(fd);
    errno = EPERM;
    return -1;
  }
  return fd;
}

QString Quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

QString OpenProblem(const QString& path) {
  return QStringLiteral("cannot open %1: %2").arg(Quoted(path), QString::fromLocal8Bit(std::strerror(errno)));
}

bool TryLock(int fd) {
  while (true) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// Why `folder` cannot hold the lock files and the socket, or empty when it can: it
// must be a directory (not a link to one) of user `uid` that nobody else may enter,
// and short enough for a local socket's address.
QString FolderProblem(const QString& folder, const QString& name, uid_t uid) {
  struct stat st {};
  if (::lstat(QFile::encodeName(folder).constData(), &st) != 0) return OpenProblem(folder);
  if (!S_ISDIR(st.st_mode)) return Quoted(folder) + QStringLiteral(" is not a folder");
  if (st.st_uid != uid) return Quoted(folder) + QStringLiteral(" belongs to another user");
  if ((st.st_mode & 0777) != 0700) return Quoted(folder) + QStringLiteral(" is open to other users");
  if (!SocketPathFits(folder, name)) return Quoted(folder) + QStringLiteral(" is too long a path for a local socket");
  return QString();
}

}  // namespace

bool SocketPathFits(const QString& folder, const QString& name) {
  const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name + QStringLiteral(".socket"));
  return static_cast<std::size_t>(path.size()) < sizeof(sockaddr_un::sun_path);
}

RuntimePlace ChooseRuntimeFolder(const QString& name, const QString& xdgRuntimeDir, const QString& tempFolder,
                                 uid_t uid) {
  RuntimePlace place;
  QStringList problems;
  if (!xdgRuntimeDir.isEmpty()) {
    const QString problem = QDir::isAbsolutePath(xdgRuntimeDir) ? FolderProblem(xdgRuntimeDir, name, uid)
                                                                : QStringLiteral("XDG_RUNTIME_DIR is not absolute");
    if (problem.isEmpty()) {
      place.folder = xdgRuntimeDir;
      return place;
    }
    problems << problem;
  }
  // A private folder of this user's under the temp folder; under /tmp itself when
  // the temp folder's path is too long for a socket.
  const QString own = name + QLatin1Char('-') + QString::number(uid);
  QString folder = QDir::cleanPath(tempFolder.isEmpty() ? QStringLiteral("/tmp") : tempFolder) + QLatin1Char('/') + own;
  if (!SocketPathFits(folder, name)) folder = QStringLiteral("/tmp/") + own;
  ::mkdir(QFile::encodeName(folder).constData(), 0700);
  const QString problem = FolderProblem(folder, name, uid);
  if (problem.isEmpty()) {
    place.folder = folder;
    return place;
  }
  problems << problem;
  place.problem = problems.join(QStringLiteral("; "));
  return place;
}

long PeerUid(int socketFd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(socketFd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials) {
    return -1;
  }
  return static_cast<long>(credentials.uid);
}

namespace {

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
    : name_(std::move(name)), instanceFd_(heldInstanceLock) {
  RuntimePlace place;
  if (directory.isEmpty()) {
    place = ChooseRuntimeFolder(name_, qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), ::getuid());
  } else {
    QDir().mkpath(directory);
    place.problem = FolderProblem(directory, name_, ::getuid());
    if (place.problem.isEmpty()) place.folder = directory;
  }
  directory_ = place.folder;
  problem_ = place.problem;
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
  if (!Usable() || startFd_ >= 0) return;
  const QString path = directory_ + QLatin1Char('/') + name_ + QStringLiteral(".start");
  const int fd = OpenLockFile(path);
  if (fd < 0) {
    problem_ = OpenProblem(path);
    return;
  }
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
  if (!Usable()) return false;
  const int fd = OpenLockFile(LockFilePath());
  if (fd < 0) {
    problem_ = OpenProblem(LockFilePath());
    return false;
  }
  if (!TryLock(fd)) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return held;
  }
  instanceFd_ = fd;
  return false;
}

int InstanceLock::ReleaseInstanceLock() { return std::exchange(instanceFd_, -1); }

HandOver InstanceLock::SignalAndWait(const std::string& message) {
  if (!Usable() || instanceFd_ >= 0) return HandOver::NoAnswer;
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
  // The request goes only to a first instance of this user's.
  if (PeerUid(fd) != static_cast<long>(::getuid())) {
    ::close(fd);
    return HandOver::NoAnswer;
  }

  timer.restart();
  const auto left = [&] { return replyMs_ - static_cast<int>(timer.elapsed()); };
  std::string reply;
  bool ok = true;
  for (std::size_t sent = 0, size = message.size(); ok && sent < size;) {
    const ssize_t n = ::send(fd, message.data() + sent, size - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
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
  if (reply == kRefusedLine) return HandOver::Refused;
  return HandOver::NoAnswer;
}

}  // namespace typeloom::platform
