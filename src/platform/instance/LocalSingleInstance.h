#pragma once
#include "platform/instance/InstanceLock.h"
#include "platform/instance/SingleInstance.h"

#include <QString>

#include <functional>
#include <memory>

namespace typeloom::platform {

// One instance per user: InstanceLock's files and protocol, plus the first instance's
// listening side, a local socket "<name>.socket" (mode 0700, this user's peers only)
// watched by socket notifiers, that checks every message, runs the handler for each
// well-formed one on the UI thread and replies once it has returned (refusing
// malformed ones at once). It needs Qt Core only.
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
  HandOver SignalAndWait(const HandOverRequest& request) override;
  void Listen(std::function<bool(const HandOverRequest&)> handler) override;
  bool Usable() const { return lock_.Usable(); }
  QString Problem() const { return lock_.Problem(); }

  void SetTimeouts(int connectMs, int replyMs) { lock_.SetTimeouts(connectMs, replyMs); }
  QString LockFilePath() const { return lock_.LockFilePath(); }
  QString SocketPath() const { return lock_.SocketPath(); }

  // The first instance's replies.
  static const char* const kReplyLine;
  static const char* const kUndeliveredLine;
  static const char* const kRefusedLine;

 private:
  class Server;
  InstanceLock lock_;
  std::unique_ptr<Server> server_;
  std::function<bool(const HandOverRequest&)> pendingHandler_;
};

}  // namespace typeloom::platform
