// Fuzz target: a style image's PNG bytes as read without Qt's reader. The bytes are
// the file. Traps when an accepted image is empty, larger than the limit, or does not
// hold one pixel per place.
#include "platform/ui/PngPixels.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::platform;
  PngPixels pixels;
  if (!ReadRgbaPng(data, size, &pixels)) return 0;
  const std::uint64_t count = static_cast<std::uint64_t>(pixels.width) * static_cast<std::uint64_t>(pixels.height);
  if (pixels.width <= 0 || pixels.height <= 0 || count > kMaxPngPixels || pixels.argb.size() != count) std::abort();
  return 0;
}
