#include "platform/instance/LocalSingleInstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariant>

#include <unistd.h>

#include <deque>
#include <unordered_map>
#include <utility>

namespace typeloom::platform {

const char* const LocalSingleInstance::kReplyLine = InstanceLock::kReplyLine;
const char* const LocalSingleInstance::kUndeliveredLine = InstanceLock::kUndeliveredLine;
const char* const LocalSingleInstance::kRefusedLine = InstanceLock::kRefusedLine;

namespace {

constexpr int kIdleClientMs = 60000;     // a client that never completes its message is dropped after this
constexpr qint64 kReadChunk = 64 * 1024;  // also the bound of Qt's read buffer per client

}  // namespace

// The first instance's listening side. Everything runs on the thread that
// created it, driven by socket signals; no call waits for a client.
class LocalSingleInstance::Server {
 public:
  explicit Server(const QString& path) {
    QLocalServer::removeServer(path);  // a stale socket of a crashed first instance
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(path);
    QObject::connect(&server_, &QLocalServer::newConnection, &context_, [this] { Accept(); });
  }

  void SetHandler(std::function<bool(const HandOverRequest&)> handler) {
    handler_ = std::move(handler);
    Schedule();
  }

 private:
  void Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      if (PeerUid(static_cast<int>(socket->socketDescriptor())) != static_cast<long>(::getuid())) {
        Drop(socket);  // only this user's own starts may hand over
        continue;
      }
      socket->setReadBufferSize(kReadChunk);
      QPointer<QLocalSocket> guard(socket);
      buffers_[socket];
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      QObject::connect(socket, &QObject::destroyed, &context_, [this, socket] { buffers_.erase(socket); });
      QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, guard] { Read(guard); });
      QTimer::singleShot(kIdleClientMs, socket, [this, guard] {
        if (guard && buffers_.count(guard.data()) != 0) Drop(guard);
      });
      Read(guard);
    }
  }

  // Collects one message; anything after it on the same connection is ignored.
  void Read(const QPointer<QLocalSocket>& socket) {
    if (!socket) return;
    const auto found = buffers_.find(socket.data());
    if (found == buffers_.end()) {
      socket->readAll();
      return;
    }
    QByteArray& buffer = found->second;
    while (socket->bytesAvailable() > 0) {
      buffer += socket->read(kReadChunk);
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.constData());
      const HandOverFrame frame = FrameHandOver(bytes, static_cast<std::size_t>(buffer.size()));
      if (frame.error == HandOverError::Incomplete) continue;
      if (frame.error != HandOverError::None) {
        Refuse(socket);
        return;
      }
      if (static_cast<std::size_t>(buffer.size()) < frame.size) continue;
      HandOverParse parsed = ParseHandOver(bytes, frame.size);
      if (parsed.error != HandOverError::None) {
        Refuse(socket);
        return;
      }
      buffers_.erase(found);
      socket->readAll();
      queue_.push_back({socket, std::move(parsed.request)});
      Schedule();
      return;
    }
  }

  void Refuse(QLocalSocket* socket) {
    buffers_.erase(socket);
    socket->write(kRefusedLine);
    socket->flush();
    socket->disconnectFromServer();
  }

  void Drop(QLocalSocket* socket) {
    buffers_.erase(socket);
    socket->abort();
    socket->deleteLater();
  }

  void Schedule() {
    if (scheduled_ || busy_ || !handler_ || queue_.empty()) return;
    scheduled_ = true;
    QMetaObject::invokeMethod(&context_, [this] { Deliver(); }, Qt::QueuedConnection);
  }

  // Runs the handler for the oldest request, then releases its sender. A request
  // whose sender already left is still handled: it was made.
  void Deliver() {
    scheduled_ = false;
    if (busy_ || !handler_ || queue_.empty()) return;
    Pending pending = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    const auto handler = handler_;  // the handler may call Listen again
    const bool delivered = handler(pending.request);
    busy_ = false;
    QPointer<QLocalSocket>& socket = pending.socket;
    if (socket && socket->state() == QLocalSocket::ConnectedState) {
      socket->write(delivered ? kReplyLine : kUndeliveredLine);
      socket->flush();
      socket->disconnectFromServer();
    }
    Schedule();
  }

  struct Pending {
    QPointer<QLocalSocket> socket;
    HandOverRequest request;
  };

  // Clients whose message is not complete yet. Declared first: sockets are
  // removed from it as the server destroys them.
  std::unordered_map<QLocalSocket*, QByteArray> buffers_;
  QObject context_;
  QLocalServer server_;
  std::deque<Pending> queue_;
  std::function<bool(const HandOverRequest&)> handler_;
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

HandOver LocalSingleInstance::SignalAndWait(const HandOverRequest& request) {
  if (CheckHandOver(request) != HandOverError::None) return HandOver::Refused;
  return lock_.SignalAndWait(EncodeHandOver(request));
}

void LocalSingleInstance::Listen(std::function<bool(const HandOverRequest&)> handler) {
  if (server_) {
    server_->SetHandler(std::move(handler));
  } else {
    pendingHandler_ = std::move(handler);
  }
}

}  // namespace typeloom::platform
