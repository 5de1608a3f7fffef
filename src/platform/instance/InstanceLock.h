#pragma once
// The lock and client side of the single-instance protocol, without Qt's network or
// GUI modules: a later start uses it alone, before any window library is loaded.
//
// Two flock'ed files and a local socket in a private folder: $XDG_RUNTIME_DIR when
// it is a 0700 folder of this user's, else a 0700 folder "<name>-<uid>" of this
// user's under the temp folder (or under /tmp when that path is too long):
//   <name>.lock     held by the first instance for its whole life (the kernel
//                   releases it when the process dies, also on a crash);
//   <name>.start    held between LockStart and UnlockStart;
//   <name>.socket   where the first instance listens (LocalSingleInstance).
// A later start connects, sends one hand-over message (HandOverMessage.h) and waits
// for the reply line that the first instance sends once its handler has returned:
// handled, not delivered, or refused. Both ends check that the other runs as the
// same user.
#include "platform/instance/SingleInstance.h"

#include <QString>

#include <string>
#include <sys/types.h>

namespace typeloom::platform {

// Where a user's instances meet: `folder`, or, when there is no private folder to
// be had, empty with `problem` saying why.
struct RuntimePlace {
  QString folder;
  QString problem;
};

// Chooses the meeting folder of user `uid` for the program `name` (creating the
// fallback folder when needed); see the header comment.
RuntimePlace ChooseRuntimeFolder(const QString& name, const QString& xdgRuntimeDir, const QString& tempFolder,
                                 uid_t uid);
// Whether "<folder>/<name>.socket" fits a local socket's address.
bool SocketPathFits(const QString& folder, const QString& name);

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

  // False when there is no private folder to meet in (Problem() says why), or the
  // instance lock file cannot be opened safely: the program must not run unguarded.
  bool Usable() const { return problem_.isEmpty(); }
  QString Problem() const { return problem_; }

  void LockStart();
  void UnlockStart();
  // True when another process holds the instance lock; false when this process
  // holds it now. A true answer is not kept.
  bool PreviousInstance();
  // Sends `message` (an encoded hand-over) to the first instance and waits for
  // its answer.
  HandOver SignalAndWait(const std::string& message);
  bool HoldsInstanceLock() const { return instanceFd_ >= 0; }
  // Gives up the held instance lock's descriptor to the caller, which keeps the lock
  // as long as the descriptor stays open; -1 when none is held.
  int ReleaseInstanceLock();

  // Bounds of SignalAndWait: how long to keep trying to connect, and how long
  // to wait for the first instance's reply. Defaults: 10 s each.
  void SetTimeouts(int connectMs, int replyMs);

  QString LockFilePath() const;
  QString SocketPath() const;

  // The first instance's replies, one line each.
  static const char kReplyLine[];
  static const char kUndeliveredLine[];
  static const char kRefusedLine[];
  static constexpr int kMaxLineBytes = 64;

 private:
  QString directory_;
  QString name_;
  QString problem_;
  int instanceFd_ = -1;
  int startFd_ = -1;
  int connectMs_ = 10000;
  int replyMs_ = 10000;
};

// The user id at the other end of a connected local socket, or -1.
long PeerUid(int socketFd);

}  // namespace typeloom::platform
