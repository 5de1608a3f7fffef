#include "support/FakeSingleInstance.h"

#include <utility>

namespace typeloom::test {

void FakeSingleInstance::LockStart() {
  calls << QStringLiteral("LockStart");
  startLocked = true;
}

void FakeSingleInstance::UnlockStart() {
  calls << QStringLiteral("UnlockStart");
  startLocked = false;
}

bool FakeSingleInstance::PreviousInstance() {
  calls << QStringLiteral("PreviousInstance");
  return previousInstance;
}

platform::HandOver FakeSingleInstance::SignalAndWait() {
  calls << QStringLiteral("SignalAndWait");
  ++signalsSent;
  return signalAnswer;
}

void FakeSingleInstance::Listen(std::function<bool()> handler) {
  calls << QStringLiteral("Listen");
  handler_ = std::move(handler);
}

bool FakeSingleInstance::DeliverSignal() {
  if (!handler_) return false;
  ++signalsDelivered;
  return handler_();
}

}  // namespace typeloom::test
