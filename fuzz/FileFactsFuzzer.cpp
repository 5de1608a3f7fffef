// Fuzz target: the graphics facts of a font file as the program reads them from
// disk (FactsOfFile: the file read whole, then HarfBuzz and the table rules) against
// the same rules over the bytes in memory, for faces 0 and 1 and fontconfig's flags.
// The file is an in-memory one, reopened by path for every input.
#include "platform/graphics/FaceTables.h"
#include "platform/graphics/GraphicsFacts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace typeloom::platform;

int Descriptor() {
  static const int fd = [] {
    const int made = ::memfd_create("font", MFD_CLOEXEC);
    if (made < 0) std::abort();
    return made;
  }();
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = Descriptor();
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (::ftruncate(fd, 0) != 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  const std::span<const std::uint8_t> bytes(data, size);
  for (const unsigned index : {0u, 1u}) {
    const bool scalable = (size & 1) != 0;
    const bool fixed = (size & 2) != 0;
    const TextFacts fromFile = FactsOfFile(path, index, scalable, fixed);
    const FaceTables tables = ReadFaceTables(bytes, index);
    if (fromFile.pitchAndFamily != PitchAndFamily(tables, scalable, fixed) ||
        fromFile.languageInfo != LanguageInfo(tables))
      __builtin_trap();
    if ((fromFile.pitchAndFamily & pf::kTrueType) != 0 && (fromFile.pitchAndFamily & pf::kDevice) != 0)
      __builtin_trap();
  }
  return 0;
}
