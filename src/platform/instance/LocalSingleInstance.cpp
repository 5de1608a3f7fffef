#include "platform/instance/LocalSingleInstance.h"

#include <QByteArray>
#include <QFile>
#include <QMetaObject>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <utility>

namespace typeloom::platform {

const char* const LocalSingleInstance::kReplyLine = InstanceLock::kReplyLine;
const char* const LocalSingleInstance::kUndeliveredLine = InstanceLock::kUndeliveredLine;
const char* const LocalSingleInstance::kRefusedLine = InstanceLock::kRefusedLine;

namespace {

constexpr int kIdleClientMs = 60000;       // a client that never completes its message is dropped after this
constexpr std::size_t kReadChunk = 64 * 1024;  // read per wake-up of a client's notifier
constexpr int kBacklog = 50;

// A listening local stream socket at `path`, only for this user (mode 0700, in a
// folder that is private already), or -1. A stale socket file of a crashed first
// instance is replaced. Clients that connect before it listens are refused and
// try again.
int ListenAt(const QByteArray& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) return -1;
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  ::unlink(path.constData());
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  if (::chmod(path.constData(), S_IRWXU) != 0 || ::listen(fd, kBacklog) != 0) {
    ::close(fd);
    ::unlink(path.constData());
    return -1;
  }
  return fd;
}

}  // namespace

// The first instance's listening side: plain local sockets watched by socket
// notifiers. Everything runs on the thread that created it; no call waits for a
// client, so a client that never finishes its message delays nobody else.
class LocalSingleInstance::Server {
 public:
  explicit Server(const QString& path) : path_(QFile::encodeName(path)), listenFd_(ListenAt(path_)) {
    if (listenFd_ < 0) return;
    listener_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
    QObject::connect(listener_.get(), &QSocketNotifier::activated, &context_, [this] { Accept(); });
  }

  ~Server() {
    clients_.clear();
    listener_.reset();
    if (listenFd_ >= 0) {
      ::close(listenFd_);
      ::unlink(path_.constData());
    }
  }

  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  void SetHandler(std::function<bool(const HandOverRequest&)> handler) {
    handler_ = std::move(handler);
    Schedule();
  }

 private:
  // One connected later start. Its descriptor is closed with it; its notifier, which
  // may be emitting when the client goes, is deleted from the event loop (or with
  // the server).
  struct Client {
    Client(int descriptor, QObject* owner)
        : fd(descriptor), notifier(new QSocketNotifier(descriptor, QSocketNotifier::Read, owner)) {}
    ~Client() {
      notifier->setEnabled(false);
      notifier->deleteLater();
      ::close(fd);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    int fd;
    QSocketNotifier* notifier;
    HandOverCollector message;
    bool complete = false;  // its message was read whole; the rest is discarded
  };

  void Accept() {
    while (true) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) {
        if (errno == EINTR || errno == ECONNABORTED) continue;
        return;  // EAGAIN: none left; anything else: the next wake-up tries again
      }
      if (PeerUid(fd) != static_cast<long>(::getuid())) {
        ::close(fd);  // only this user's own starts may hand over
        continue;
      }
      const std::uint64_t id = nextId_++;
      auto client = std::make_unique<Client>(fd, &context_);
      QObject::connect(client->notifier, &QSocketNotifier::activated, &context_, [this, id] { Read(id); });
      QTimer::singleShot(kIdleClientMs, &context_, [this, id] {
        const auto found = clients_.find(id);
        if (found != clients_.end() && !found->second->complete) clients_.erase(found);
      });
      clients_.emplace(id, std::move(client));
      Read(id);
    }
  }

  // Takes what one client sent so far: at most one chunk per wake-up, so a client
  // that keeps sending cannot hold the thread. Collects one message; anything after
  // it on the same connection is read and dropped.
  void Read(std::uint64_t id) {
    const auto found = clients_.find(id);
    if (found == clients_.end()) return;
    Client& client = *found->second;
    char chunk[4096];
    std::size_t taken = 0;
    while (taken < kReadChunk) {
      const ssize_t n = ::recv(client.fd, chunk, sizeof chunk, MSG_DONTWAIT);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (n <= 0) {
        // The client left (or its connection failed). A message it completed is
        // still handled: the request was made.
        clients_.erase(found);
        return;
      }
      taken += static_cast<std::size_t>(n);
      if (client.complete) continue;
      switch (client.message.Feed(reinterpret_cast<const std::uint8_t*>(chunk), static_cast<std::size_t>(n))) {
        case HandOverCollector::State::Collecting:
          break;
        case HandOverCollector::State::Refused:
          Refuse(id);
          return;
        case HandOverCollector::State::Complete:
          client.complete = true;
          queue_.push_back({id, client.message.Request()});
          Schedule();
          break;
      }
    }
  }

  void Reply(std::uint64_t id, const char* line) {
    const auto found = clients_.find(id);
    if (found == clients_.end()) return;
    const std::size_t size = std::strlen(line);
    // A reply line fits any socket's buffer; a client that is gone gets nothing.
    while (::send(found->second->fd, line, size, MSG_NOSIGNAL | MSG_DONTWAIT) < 0 && errno == EINTR) {
    }
    clients_.erase(found);
  }

  void Refuse(std::uint64_t id) { Reply(id, kRefusedLine); }

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
    Reply(pending.client, delivered ? kReplyLine : kUndeliveredLine);
    Schedule();
  }

  struct Pending {
    std::uint64_t client;
    HandOverRequest request;
  };

  QByteArray path_;
  int listenFd_;
  QObject context_;  // owns the clients' notifiers; declared before the clients
  std::unique_ptr<QSocketNotifier> listener_;
  std::map<std::uint64_t, std::unique_ptr<Client>> clients_;
  std::uint64_t nextId_ = 1;
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
