#include "platform/instance/LocalSingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <utility>

namespace typeloom::platform {

const char LocalSingleInstance::kSignalLine[] = "typeloom-handover 1\n";
const char LocalSingleInstance::kReplyLine[] = "typeloom-handled\n";
const char LocalSingleInstance::kUndeliveredLine[] = "typeloom-undelivered\n";

namespace {

constexpr int kStartLockWaitMs = 60000;   // a start gives up waiting its turn after this
constexpr int kIdleClientMs = 60000;      // a client that never signals is dropped after this
constexpr qint64 kMaxLineBytes = 64;

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

}  // namespace

// The first instance's listening side. Everything runs on the thread that
// created it, driven by socket signals; no call waits for a client.
class LocalSingleInstance::Server {
 public:
  explicit Server(const QString& path) {
    QLocalServer::removeServer(path);  // a stale socket of a crashed first instance
    server_.listen(path);
    QObject::connect(&server_, &QLocalServer::newConnection, &context_, [this] { Accept(); });
  }

  void SetHandler(std::function<bool()> handler) {
    handler_ = std::move(handler);
    Schedule();
  }

 private:
  void Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      QPointer<QLocalSocket> guard(socket);
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, guard] { Read(guard); });
      QTimer::singleShot(kIdleClientMs, socket, [guard] {
        if (guard && !guard->property("signalled").toBool()) guard->abort();
      });
      Read(guard);
    }
  }

  void Read(const QPointer<QLocalSocket>& socket) {
    if (!socket) return;
    if (socket->property("signalled").toBool()) {
      socket->readAll();  // nothing more is expected; ignore it
      return;
    }
    if (!socket->canReadLine()) {
      if (socket->bytesAvailable() > kMaxLineBytes) Drop(socket);
      return;
    }
    const QByteArray line = socket->readLine(kMaxLineBytes + 1);
    if (line != QByteArray(kSignalLine)) {
      Drop(socket);
      return;
    }
    socket->setProperty("signalled", true);
    queue_.push_back(socket);
    Schedule();
  }

  static void Drop(QLocalSocket* socket) {
    socket->abort();
    socket->deleteLater();
  }

  void Schedule() {
    if (scheduled_ || busy_ || !handler_ || queue_.empty()) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(&context_, [this] { Deliver(); }, Qt::QueuedConnection);
  }

  // Runs the handler for the oldest signal, then releases its sender. A signal
  // whose sender already left is still handled: its request was made.
  void Deliver() {
    scheduled_ = false;
    if (busy_ || !handler_ || queue_.empty()) return;
    QPointer<QLocalSocket> socket = queue_.front();
    queue_.pop_front();
    busy_ = true;
    const std::function<bool()> handler = handler_;  // the handler may call Listen again
    const bool delivered = handler();
    busy_ = false;
    if (socket && socket->state() == QLocalSocket::ConnectedState) {
      socket->write(delivered ? kReplyLine : kUndeliveredLine);
      socket->flush();
      socket->disconnectFromServer();
    }
    Schedule();
  }

  QObject context_;
  QLocalServer server_;
  std::deque<QPointer<QLocalSocket>> queue_;
  std::function<bool()> handler_;
  bool busy_ = false;
  bool scheduled_ = false;
};

LocalSingleInstance::LocalSingleInstance(QString name, QString directory)
    : directory_(RuntimeFolder(name, directory)), name_(std::move(name)) {
  directoryUsable_ = !directory_.isEmpty();
}

LocalSingleInstance::~LocalSingleInstance() {
  // Close the server (which removes the socket file) while the instance lock
  // is still held, so a new first instance's socket is never removed.
  server_.reset();
  if (instanceFd_ >= 0) ::close(instanceFd_);
  if (startFd_ >= 0) ::close(startFd_);
}

QString LocalSingleInstance::LockFilePath() const { return directory_ + QLatin1Char('/') + name_ + QStringLiteral(".lock"); }

QString LocalSingleInstance::SocketPath() const {
  return directory_ + QLatin1Char('/') + name_ + QStringLiteral(".socket");
}

void LocalSingleInstance::SetTimeouts(int connectMs, int replyMs) {
  connectMs_ = connectMs;
  replyMs_ = replyMs;
}

void LocalSingleInstance::LockStart() {
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

void LocalSingleInstance::UnlockStart() {
  if (startFd_ < 0) return;
  ::close(startFd_);  // closing releases the lock
  startFd_ = -1;
}

bool LocalSingleInstance::PreviousInstance() {
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
  server_ = std::make_unique<Server>(SocketPath());
  if (pendingHandler_) server_->SetHandler(std::exchange(pendingHandler_, nullptr));
  return false;
}

HandOver LocalSingleInstance::SignalAndWait() {
  if (!directoryUsable_ || instanceFd_ >= 0) return HandOver::NoAnswer;
  QLocalSocket socket;
  QElapsedTimer timer;
  timer.start();
  while (true) {
    socket.connectToServer(SocketPath());
    if (socket.waitForConnected(qMax(1, qMin(1000, connectMs_ - static_cast<int>(timer.elapsed()))))) break;
    socket.abort();
    // Nobody holds the instance lock: there is no first instance to wait for.
    const int fd = OpenLockFile(LockFilePath());
    if (fd >= 0) {
      const bool free = TryLock(fd);
      ::close(fd);
      if (free) return HandOver::NoAnswer;
    }
    if (timer.elapsed() >= connectMs_) return HandOver::NoAnswer;
    QThread::msleep(50);
  }

  socket.write(kSignalLine);
  timer.restart();
  while (socket.bytesToWrite() > 0) {
    if (!socket.waitForBytesWritten(qMax(1, replyMs_ - static_cast<int>(timer.elapsed())))) return HandOver::NoAnswer;
  }
  while (!socket.canReadLine()) {
    const int left = replyMs_ - static_cast<int>(timer.elapsed());
    if (left <= 0 || socket.state() != QLocalSocket::ConnectedState || !socket.waitForReadyRead(left)) {
      if (!socket.canReadLine()) return HandOver::NoAnswer;
    }
  }
  const QByteArray reply = socket.readLine(kMaxLineBytes + 1);
  if (reply == QByteArray(kReplyLine)) return HandOver::Handled;
  if (reply == QByteArray(kUndeliveredLine)) return HandOver::NotDelivered;
  return HandOver::NoAnswer;
}

void LocalSingleInstance::Listen(std::function<bool()> handler) {
  if (server_) {
    server_->SetHandler(std::move(handler));
  } else {
    pendingHandler_ = std::move(handler);
  }
}

}  // namespace typeloom::platform
