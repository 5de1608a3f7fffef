#pragma once
#include "platform/ui/Clock.h"

#include <QElapsedTimer>

namespace typeloom::platform {

// Monotonic clock over QElapsedTimer (CLOCK_MONOTONIC on Linux).
class QtClock final : public Clock {
 public:
  QtClock() { timer_.start(); }
  double Seconds() override { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }

 private:
  QElapsedTimer timer_;
};

// Lets queued window events (paint, input, timers, sockets) run.
class QtEventPump final : public EventPump {
 public:
  void ProcessEvents() override;
};

}  // namespace typeloom::platform
