#pragma once
// Scriptable single-instance for tests: answers PreviousInstance as told,
// records what was called and lets a test deliver a hand-over signal.
#include "platform/instance/SingleInstance.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace typeloom::test {

class FakeSingleInstance final : public platform::SingleInstance {
 public:
  void LockStart() override;
  void UnlockStart() override;
  bool PreviousInstance() override;
  platform::HandOver SignalAndWait() override;
  void Listen(std::function<bool()> handler) override;

  // Delivers one hand-over signal to the listener, as the first instance would
  // on its UI thread. Returns the handler's answer; false when nobody listens.
  bool DeliverSignal();

  bool previousInstance = false;  // answer of PreviousInstance
  platform::HandOver signalAnswer = platform::HandOver::Handled;  // answer of SignalAndWait
  bool startLocked = false;       // between LockStart and UnlockStart
  int signalsSent = 0;            // SignalAndWait calls
  int signalsDelivered = 0;       // DeliverSignal calls that reached a handler
  bool listening() const { return static_cast<bool>(handler_); }
  // Names of the calls in order: "LockStart", "UnlockStart", "PreviousInstance",
  // "SignalAndWait", "Listen".
  QStringList calls;

 private:
  std::function<bool()> handler_;
};

}  // namespace typeloom::test
