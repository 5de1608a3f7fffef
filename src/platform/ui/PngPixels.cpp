#include "platform/ui/PngPixels.h"

#include <png.h>

#include <cstring>
#include <utility>

namespace typeloom::platform {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Whether the chunks describe an image Qt's reader would give unconverted: IHDR
// first (8-bit RGBA, not interlaced, within the size limit), then no chunk that
// converts colours, up to IEND, every chunk inside the data.
bool PlainRgba(const unsigned char* data, std::size_t size) {
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
  std::size_t at = sizeof kSignature;
  bool first = true;
  while (true) {
    if (size - at < 12) return false;
    const std::uint32_t length = BigEndian32(data + at);
    const unsigned char* type = data + at + 4;
    if (length > size - at - 12) return false;
    const unsigned char* body = data + at + 8;
    if (first) {
      if (std::memcmp(type, "IHDR", 4) != 0 || length != 13) return false;
      const std::uint32_t width = BigEndian32(body);
      const std::uint32_t height = BigEndian32(body + 4);
      if (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxPngPixels) return false;
      // Bit depth 8, colour type 6 (RGBA), compression 0, filter 0, no interlace.
      if (body[8] != 8 || body[9] != 6 || body[10] != 0 || body[11] != 0 || body[12] != 0) return false;
      first = false;
    } else if (std::memcmp(type, "gAMA", 4) == 0 || std::memcmp(type, "cHRM", 4) == 0 ||
               std::memcmp(type, "sRGB", 4) == 0 || std::memcmp(type, "iCCP", 4) == 0 ||
               std::memcmp(type, "sBIT", 4) == 0) {
      return false;
    } else if (std::memcmp(type, "IEND", 4) == 0) {
      return true;
    }
    at += 12 + std::size_t{length};
  }
}

}  // namespace

bool ReadRgbaPng(const unsigned char* data, std::size_t size, PngPixels* out) {
  if (data == nullptr || !PlainRgba(data, size)) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, data, size) == 0) {
    png_image_free(&image);
    return false;
  }
  // BGRA bytes are 0xAARRGGBB words on a little-endian machine; written as ARGB
  // otherwise.
  const std::uint32_t probe = 1;
  unsigned char firstByte = 0;
  std::memcpy(&firstByte, &probe, 1);
  image.format = firstByte == 1 ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
  if (std::uint64_t{image.width} * image.height > kMaxPngPixels) {
    png_image_free(&image);
    return false;
  }
  PngPixels pixels;
  pixels.width = static_cast<int>(image.width);
  pixels.height = static_cast<int>(image.height);
  pixels.argb.resize(std::size_t{image.width} * image.height);
  if (png_image_finish_read(&image, nullptr, pixels.argb.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return false;
  }
  *out = std::move(pixels);
  return true;
}

}  // namespace typeloom::platform
