#pragma once
// Reads a plain 8-bit RGBA PNG held in memory into 32-bit ARGB pixels, without Qt's
// image reader (which first reads the metadata of every image-format plugin).
//
// Only images whose pixels Qt's own reader gives unchanged are accepted: 8 bits per
// channel, colour type RGBA, not interlaced, and no chunk that asks for a colour or
// gamma conversion (gAMA, cHRM, sRGB, iCCP, sBIT). Anything else, a damaged file or
// one larger than kMaxPngPixels, gives false, and the caller reads it as before.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace typeloom::platform {

inline constexpr std::uint64_t kMaxPngPixels = 1u << 20;

struct PngPixels {
  int width = 0;
  int height = 0;
  // Row after row, each pixel 0xAARRGGBB, not premultiplied.
  std::vector<std::uint32_t> argb;
};

bool ReadRgbaPng(const unsigned char* data, std::size_t size, PngPixels* out);

}  // namespace typeloom::platform
