#pragma once
// A clock that never jumps back, and the pump that lets pending window events run.

namespace typeloom::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual double Seconds() = 0;  // monotonic, arbitrary origin
};

class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessEvents() = 0;
};

}  // namespace typeloom::platform
