#pragma once
// The lock and client side of the single-instance protocol, without Qt's network or
// GUI modules: a later start uses it alone, before any window library is loaded.
//
// Two flock'ed files and a local socket in $XDG_RUNTIME_DIR (or a private 0700
// folder "<name>-<uid>" under the temp folder):
//   <name>.lock     held by the first instance for its whole life (the kernel
//                   releases it when the process dies, also on a crash);
//   <name>.start    held between LockStart and UnlockStart;
//   <name>.socket   where the first instance listens (LocalSingleInstance).
// A later start connects, sends one signal line and waits for the reply that the
// first instance sends once its handler has returned: handled or not delivered.
#include "platform/instance/SingleInstance.h"

#include <QString>

namespace typeloom::platform {

class InstanceLock {
 public:
  // `directory` replaces the runtime folder (tests); empty means the default one.
  // `heldInstanceLock` is the descriptor of an instance lock this process already
  // holds (taken over; closed with this object), or -1.
  explicit InstanceLock(QString name = QStringLiteral("Typeloom"), QString directory = QString(),
                        int heldInstanceLock = -1);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  void LockStart();
  void UnlockStart();
  // True when another process holds the instance lock; false when this process
  // holds it now (or there is no safe folder to meet in). A true answer is not kept.
  bool PreviousInstance();
  HandOver SignalAndWait();
  bool HoldsInstanceLock() const { return instanceFd_ >= 0; }
  // Gives up the held instance lock's descriptor to the caller, which keeps the lock
  // as long as the descriptor stays open; -1 when none is held.
  int ReleaseInstanceLock();

  // Bounds of SignalAndWait: how long to keep trying to connect, and how long
  // to wait for the first instance's reply. Defaults: 10 s each.
  void SetTimeouts(int connectMs, int replyMs);

  QString LockFilePath() const;
  QString SocketPath() const;

  // The line a later start sends, and the first instance's replies.
  static const char kSignalLine[];
  static const char kReplyLine[];
  static const char kUndeliveredLine[];
  static constexpr int kMaxLineBytes = 64;

 private:
  QString directory_;
  QString name_;
  bool directoryUsable_ = false;
  int instanceFd_ = -1;
  int startFd_ = -1;
  int connectMs_ = 10000;
  int replyMs_ = 10000;
};

}  // namespace typeloom::platform
