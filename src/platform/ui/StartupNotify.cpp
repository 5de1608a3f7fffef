#include "platform/ui/StartupNotify.h"

#include <algorithm>

namespace typeloom::platform {

std::optional<std::uint32_t> LaunchTimeOfStartupId(std::string_view id) {
  const std::size_t at = id.rfind("_TIME");
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view digits = id.substr(at + 5);
  if (digits.empty() || digits.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xffffffffu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::string StartupRemoveMessage(std::string_view id) {
  std::string message = "remove: ID=";
  if (id.find_first_of(" \"\\") == std::string_view::npos) return message.append(id);
  message += '"';
  for (const char c : id) {
    if (c == '"' || c == '\\') message += '\\';
    message += c;
  }
  message += '"';
  return message;
}

std::vector<std::array<char, 20>> StartupInfoPieces(std::string_view message) {
  std::vector<std::array<char, 20>> pieces;
  const std::size_t total = message.size() + 1;  // the NUL ends the message
  for (std::size_t at = 0; at < total; at += 20) {
    std::array<char, 20> piece{};
    const std::size_t count = std::min<std::size_t>(20, message.size() > at ? message.size() - at : 0);
    std::copy_n(message.data() + at, count, piece.begin());
    pieces.push_back(piece);
  }
  return pieces;
}

}  // namespace typeloom::platform
