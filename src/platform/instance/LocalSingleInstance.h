#pragma once
#include "platform/instance/SingleInstance.h"

#include <QString>

#include <functional>
#include <memory>

namespace typeloom::platform {

// One instance per user through two flock'ed files and a local socket in
// $XDG_RUNTIME_DIR (or a private 0700 folder "<name>-<uid>" under the temp folder):
//   <name>.lock     held by the first instance for its whole life (the kernel
//                   releases it when the process dies, also on a crash);
//   <name>.start    held between LockStart and UnlockStart;
//   <name>.socket   where the first instance listens for hand-over signals.
// A later start connects, sends one signal line and waits for the reply that the
// first instance sends once its handler has returned: handled or not delivered.
// A PreviousInstance() answer of true is not kept: after a failed SignalAndWait a
// caller may ask again and become the first instance if the other one has gone.
class LocalSingleInstance final : public SingleInstance {
 public:
  // `directory` replaces the runtime folder (tests); empty means the default one.
  explicit LocalSingleInstance(QString name = QStringLiteral("Typeloom"), QString directory = QString());
  ~LocalSingleInstance() override;
  LocalSingleInstance(const LocalSingleInstance&) = delete;
  LocalSingleInstance& operator=(const LocalSingleInstance&) = delete;

  void LockStart() override;
  void UnlockStart() override;
  bool PreviousInstance() override;
  HandOver SignalAndWait() override;
  void Listen(std::function<bool()> handler) override;

  // Bounds of SignalAndWait: how long to keep trying to connect, and how long
  // to wait for the first instance's reply. Defaults: 10 s each.
  void SetTimeouts(int connectMs, int replyMs);

  QString LockFilePath() const;
  QString SocketPath() const;

  // The line a later start sends, and the first instance's replies: handled, or
  // not delivered (no window took it).
  static const char kSignalLine[];
  static const char kReplyLine[];
  static const char kUndeliveredLine[];

 private:
  class Server;
  QString directory_;
  QString name_;
  bool directoryUsable_ = false;
  int instanceFd_ = -1;
  int startFd_ = -1;
  int connectMs_ = 10000;
  int replyMs_ = 10000;
  std::unique_ptr<Server> server_;
  std::function<bool()> pendingHandler_;
};

}  // namespace typeloom::platform
