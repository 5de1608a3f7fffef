#include "platform/ui/StartupNotify.h"

#include <gtest/gtest.h>

#include <string>

namespace typeloom::platform {
namespace {

TEST(StartupNotify, LaunchTimeIsTheDecimalAfterTheLastTimeMark) {
  const struct {
    const char* id;
    std::optional<std::uint32_t> time;
  } cases[] = {
      {"gnome-shell/Typeloom/4242-0-host_TIME123456", 123456u},
      {"xdg-launch_TIME1_TIME77", 77u},
      {"kde_TIME4294967295", 4294967295u},
      {"_TIME0", 0u},
      {"", std::nullopt},
      {"no-time-here", std::nullopt},
      {"ends_TIME", std::nullopt},
      {"too-large_TIME4294967296", std::nullopt},
      {"eleven-digits_TIME00000000001", std::nullopt},
      {"not-a-number_TIME12a", std::nullopt},
      {"sign_TIME-5", std::nullopt},
      {"blank_TIME 5", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(LaunchTimeOfStartupId(c.id), c.time);
  }
}

TEST(StartupNotify, RemoveMessageQuotesWhatWouldEndTheValue) {
  const struct {
    const char* id;
    const char* message;
  } cases[] = {
      {"plain-id_TIME5", "remove: ID=plain-id_TIME5"},
      {"with blank", "remove: ID=\"with blank\""},
      {"q\"uote", "remove: ID=\"q\\\"uote\""},
      {"back\\slash", "remove: ID=\"back\\\\slash\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(StartupRemoveMessage(c.id), c.message);
  }
}

// The pieces put back together give the message and its NUL, padded with NULs.
TEST(StartupNotify, PiecesCarryTheMessageAndItsEnd) {
  for (const std::size_t length : {0u, 1u, 19u, 20u, 21u, 39u, 40u, 1035u}) {
    SCOPED_TRACE(length);
    std::string message(length, 'm');
    for (std::size_t i = 0; i < length; ++i) message[i] = static_cast<char>('a' + i % 26);
    const auto pieces = StartupInfoPieces(message);
    EXPECT_EQ(pieces.size(), length / 20 + 1);
    std::string joined;
    for (const auto& piece : pieces) joined.append(piece.data(), piece.size());
    EXPECT_EQ(joined.substr(0, length), message);
    EXPECT_EQ(joined.find_first_not_of('\0', length), std::string::npos);
  }
}

}  // namespace
}  // namespace typeloom::platform
