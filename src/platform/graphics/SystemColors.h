#pragma once
// Colours as 32-bit values: with the high bit clear an RGB colour laid out
// 0x00BBGGRR, with the high bit set a system colour whose index is the low byte.
// System colours come from the application's palette.
#include <QColor>

#include <cstdint>

namespace typeloom::platform {

inline constexpr std::uint32_t kSystemColorBit = 0x80000000u;

// System colour indices the program uses.
inline constexpr int kColorWindow = 5;
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorButtonFace = 15;
inline constexpr int kColorButtonText = 18;
inline constexpr int kColorButtonLight = 22;

inline constexpr std::uint32_t SystemColorValue(int index) {
  return kSystemColorBit | static_cast<std::uint32_t>(index & 0xFF);
}

// The palette colour of a system colour index (window text for indices without one).
QColor SystemColor(int index);
// The colour a 32-bit value stands for.
QColor ColorOf(std::uint32_t value);

}  // namespace typeloom::platform
