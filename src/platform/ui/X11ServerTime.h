#pragma once
// A current X server time, for window requests that must not look older than the
// user's last input.
#include <cstdint>

namespace typeloom::platform {

// Connects to the X display `displayName` (null: $DISPLAY), changes a property of a
// window of its own and returns the time of the PropertyNotify the server sends
// back: one round trip. 0 when there is no X server to ask.
std::uint32_t CurrentX11ServerTime(const char* displayName = nullptr);

}  // namespace typeloom::platform
