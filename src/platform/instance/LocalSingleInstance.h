#pragma once
#include "platform/instance/InstanceLock.h"
#include "platform/instance/SingleInstance.h"

#include <QString>

#include <functional>
#include <memory>

namespace typeloom::platform {

// One instance per user: InstanceLock's files and protocol, plus the first instance's
// listening side, a QLocalServer on "<name>.socket" that runs the handler for every
// signal on the UI thread and replies once it has returned.
// A PreviousInstance() answer of true is not kept: after a failed SignalAndWait a
// caller may ask again and become the first instance if the other one has gone.
class LocalSingleInstance final : public SingleInstance {
 public:
  // `directory` replaces the runtime folder (tests); empty means the default one.
  // With `heldInstanceLock` (a descriptor from InstanceLock::ReleaseInstanceLock) this
  // object is the first instance from the start and listens at once.
  explicit LocalSingleInstance(QString name = QStringLiteral("Typeloom"), QString directory = QString(),
                               int heldInstanceLock = -1);
  ~LocalSingleInstance() override;
  LocalSingleInstance(const LocalSingleInstance&) = delete;
  LocalSingleInstance& operator=(const LocalSingleInstance&) = delete;

  void LockStart() override { lock_.LockStart(); }
  void UnlockStart() override { lock_.UnlockStart(); }
  bool PreviousInstance() override;
  HandOver SignalAndWait() override { return lock_.SignalAndWait(); }
  void Listen(std::function<bool()> handler) override;

  void SetTimeouts(int connectMs, int replyMs) { lock_.SetTimeouts(connectMs, replyMs); }
  QString LockFilePath() const { return lock_.LockFilePath(); }
  QString SocketPath() const { return lock_.SocketPath(); }

  // The line a later start sends, and the first instance's replies.
  static const char* const kSignalLine;
  static const char* const kReplyLine;
  static const char* const kUndeliveredLine;

 private:
  class Server;
  InstanceLock lock_;
  std::unique_ptr<Server> server_;
  std::function<bool()> pendingHandler_;
};

}  // namespace typeloom::platform
