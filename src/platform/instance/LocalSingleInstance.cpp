#include "platform/instance/LocalSingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <deque>
#include <utility>

namespace typeloom::platform {

const char* const LocalSingleInstance::kSignalLine = InstanceLock::kSignalLine;
const char* const LocalSingleInstance::kReplyLine = InstanceLock::kReplyLine;
const char* const LocalSingleInstance::kUndeliveredLine = InstanceLock::kUndeliveredLine;

namespace {

constexpr int kIdleClientMs = 60000;  // a client that never signals is dropped after this

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
      if (socket->bytesAvailable() > InstanceLock::kMaxLineBytes) Drop(socket);
      return;
    }
    const QByteArray line = socket->readLine(InstanceLock::kMaxLineBytes + 1);
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

LocalSingleInstance::LocalSingleInstance(QString name, QString directory, int heldInstanceLock)
    : lock_(std::move(name), std::move(directory), heldInstanceLock) {
  if (lock_.HoldsInstanceLock()) server_ = std::make_unique<Server>(lock_.SocketPath());
}

LocalSingleInstance::~LocalSingleInstance() {
  // Close the server (which removes the socket file) while the instance lock
  // is still held, so a new first instance's socket is never removed.
  server_.reset();
}

bool LocalSingleInstance::PreviousInstance() {
  if (lock_.HoldsInstanceLock()) return false;
  if (lock_.PreviousInstance()) return true;
  if (lock_.HoldsInstanceLock()) {
    server_ = std::make_unique<Server>(lock_.SocketPath());
    if (pendingHandler_) server_->SetHandler(std::exchange(pendingHandler_, nullptr));
  }
  return false;
}

void LocalSingleInstance::Listen(std::function<bool()> handler) {
  if (server_) {
    server_->SetHandler(std::move(handler));
  } else {
    pendingHandler_ = std::move(handler);
  }
}

}  // namespace typeloom::platform
