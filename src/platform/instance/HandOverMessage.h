#pragma once
// The message a later start sends the first instance: its whole command line and
// the launcher's activation identifiers, so the request never depends on a file
// both processes share. Pure standard C++; every byte of a received message is
// checked before any of it is used.
//
// Layout (integers big-endian):
//   header  "TLHO"  magic, 4 bytes
//           u16     version (kHandOverVersion)
//           u32     body length, at most kMaxHandOverBody
//   body    u16     argument count, at most kMaxHandOverArguments
//           per argument: u32 length, the argument's bytes (no NUL)
//           u16     startup id length, its bytes       (DESKTOP_STARTUP_ID)
//           u16     activation token length, its bytes (XDG_ACTIVATION_TOKEN)
//           u32     X server time of the request, 0 when unknown
// The body ends exactly after the last field. Identifiers are at most
// kMaxActivationId bytes of printable ASCII (blank to tilde); arguments together
// at most kMaxCommandLineBytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform {

inline constexpr std::uint16_t kHandOverVersion = 1;
inline constexpr std::size_t kHandOverHeaderBytes = 10;
inline constexpr std::size_t kMaxHandOverArguments = 4096;
inline constexpr std::size_t kMaxCommandLineBytes = 256 * 1024;
inline constexpr std::size_t kMaxActivationId = 1024;
inline constexpr std::size_t kMaxHandOverBody =
    2 + kMaxHandOverArguments * 4 + kMaxCommandLineBytes + 2 * (2 + kMaxActivationId) + 4;

struct HandOverRequest {
  std::vector<std::string> arguments;  // the later start's arguments, as the system gave them
  std::string startupId;               // X11 launch id, empty when none
  std::string activationToken;         // Wayland activation token, empty when none
  std::uint32_t x11Time = 0;           // a current X server time at the later start, 0 when none

  bool operator==(const HandOverRequest&) const = default;
};

enum class HandOverError {
  None,
  Incomplete,        // fewer bytes than the header announces (framing only)
  BadMagic,
  UnsupportedVersion,
  TooLong,           // body length over the bound
  Truncated,         // a field runs past the body's end
  TrailingBytes,     // bytes after the last field
  TooManyArguments,
  BadArgument,       // holds a NUL byte
  CommandLineTooLong,
  BadIdentifier,     // startup id or token: too long or not printable ASCII
};

// A short English description of `error`, for a line on standard error.
const char* HandOverErrorText(HandOverError error);

// True when `id` may travel as a startup id or activation token (it may be empty).
bool IsValidActivationId(std::string_view id);

// Whether `request` fits the message's bounds; None when it does.
HandOverError CheckHandOver(const HandOverRequest& request);

// The message for a request that CheckHandOver accepts.
std::string EncodeHandOver(const HandOverRequest& request);

// Framing for a stream: from the bytes received so far, the whole message's size.
// `error` is Incomplete (and `size` 0) while the header is not complete yet.
struct HandOverFrame {
  HandOverError error = HandOverError::Incomplete;
  std::size_t size = 0;
};
HandOverFrame FrameHandOver(const std::uint8_t* data, std::size_t size);

// Parses one whole message (exactly `size` bytes). On any error nothing of it is
// returned: `request` is left default.
struct HandOverParse {
  HandOverError error = HandOverError::None;
  HandOverRequest request;
};
HandOverParse ParseHandOver(const std::uint8_t* data, std::size_t size);

// Collects one message from a stream whose bytes arrive in pieces of any size. It
// keeps no more than the header announces (so at most one message of the largest
// size) and refuses as soon as the bytes so far cannot begin a valid message; bytes
// past the message's end are ignored.
class HandOverCollector {
 public:
  enum class State { Collecting, Complete, Refused };

  // Takes the next bytes received; returns the state after them.
  State Feed(const std::uint8_t* data, std::size_t size);
  State Current() const { return state_; }
  // Why the message was refused (None otherwise).
  HandOverError Error() const { return error_; }
  // The request, once Complete.
  const HandOverRequest& Request() const { return request_; }

 private:
  void Finish(HandOverError error);

  std::string bytes_;
  std::size_t whole_ = 0;  // the message's size, once its header is in
  State state_ = State::Collecting;
  HandOverError error_ = HandOverError::None;
  HandOverRequest request_;
};

}  // namespace typeloom::platform
