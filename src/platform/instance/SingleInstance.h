#pragma once
// Keeps the program to one running instance per user and carries the hand-over
// signal from a later start to the first one.
#include "platform/instance/HandOverMessage.h"

#include <functional>

namespace typeloom::platform {

// What became of a later start's hand-over.
enum class HandOver {
  Handled,       // the first instance handed the request to its window
  NotDelivered,  // the first instance answered, but had no window to hand it to
  NoAnswer,      // no first instance answered in time
  Refused,       // the first instance refused the message as malformed
};

class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // Serialises starts: held from before a start saves its command line until its
  // hand-over has been handled (or it became the first instance), so no hand-over
  // overwrites another's command line before that one was read.
  virtual void LockStart() = 0;
  virtual void UnlockStart() = 0;
  // True when another instance already runs. False means this process is now the
  // first instance and keeps that role until it ends.
  virtual bool PreviousInstance() = 0;
  // Later start: send `request` (which CheckHandOver accepts) to the first instance
  // and wait, for a bounded time, until it has handled it.
  virtual HandOver SignalAndWait(const HandOverRequest& request) = 0;
  // First instance: `handler` runs on the UI thread for every well-formed request
  // and returns whether it reached the window; the sending process is released
  // with that answer once it returns. Malformed messages never reach it.
  virtual void Listen(std::function<bool(const HandOverRequest&)> handler) = 0;
};

}  // namespace typeloom::platform
