#pragma once
// The text side of X11 launch feedback (startup notification): the launch time in a
// startup id and the "remove:" message that ends a launch's feedback, cut into the
// 20-byte pieces of _NET_STARTUP_INFO_BEGIN / _NET_STARTUP_INFO client messages.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform {

// The X server time a launcher put at the end of a startup id ("..._TIME<decimal>"),
// or none when the id carries no such time (or one that does not fit 32 bits).
std::optional<std::uint32_t> LaunchTimeOfStartupId(std::string_view id);

// `remove: ID=<id>`, the id quoted and escaped when it holds a blank, a quote or a
// backslash.
std::string StartupRemoveMessage(std::string_view id);

// `message` and its terminating NUL in 20-byte pieces, the last one padded with NULs.
std::vector<std::array<char, 20>> StartupInfoPieces(std::string_view message);

}  // namespace typeloom::platform
