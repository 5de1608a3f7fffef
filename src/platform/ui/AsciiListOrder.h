#pragma once
// The order of printable ASCII that the list keeps under locales whose collation
// leaves those characters alone (ListOrder.h), as plain data: the list filter's
// Qt-free answer sorts by it too.
#include <array>
#include <cstddef>
#include <string_view>

namespace typeloom::platform::asciiorder {

// The common collation order of printable ASCII, case aside: space, punctuation,
// symbols, currency, digits, letters.
inline constexpr std::string_view kOrder =
    " _-,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$0123456789abcdefghijklmnopqrstuvwxyz";

// Rank of each ASCII character in that order (from 1), upper case as lower case;
// 0 for control characters.
inline constexpr std::array<unsigned char, 128> kRank = [] {
  std::array<unsigned char, 128> rank{};
  for (std::size_t i = 0; i < kOrder.size(); ++i) {
    const auto c = static_cast<unsigned char>(kOrder[i]);
    rank[c] = static_cast<unsigned char>(i + 1);
    if (c >= 'a' && c <= 'z') rank[c - 'a' + 'A'] = static_cast<unsigned char>(i + 1);
  }
  return rank;
}();
static_assert(kOrder.size() == 0x7f - 0x20 - 26, "every printable ASCII character but upper case");

// The languages (ISO 639 codes) whose collation, in Latin script, does not tailor
// printable ASCII.
inline constexpr std::string_view kPlainLanguages[] = {"en", "de", "fr", "it", "nl", "pt", "es"};

}  // namespace typeloom::platform::asciiorder
