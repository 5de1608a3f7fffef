// Fuzz target: the list filter's saved faces as read back from the user's cache folder
// (any bytes: the file may be damaged or written by anyone with the user's rights).
// The bytes are read as a whole file, and again as the body of a file with the right
// header and checksum, so that damage the checksum would catch reaches the parser too.
// Traps when a file read is not the one encoding of what was read, or when a name
// refers to a face beyond the faces (alone or as a family's faces to pick among), a
// family to pick in lacks its request or the names are not in order and each once.
#include "platform/fonts/SavedCoverage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(const std::string& bytes) {
  using typeloom::platform::SavedCoverage;
  const std::optional<SavedCoverage> saved = typeloom::platform::ReadSavedCoverage(bytes);
  if (!saved) return;
  if (typeloom::platform::WriteSavedCoverage(*saved) != bytes) std::abort();
  for (std::size_t i = 0; i < saved->names.size(); ++i) {
    const SavedCoverage::Name& name = saved->names[i];
    if (name.name.empty()) std::abort();
    if (name.face != SavedCoverage::kNoFace && name.face >= saved->faces.size()) std::abort();
    if (name.pickAmong != 0 && (name.pickAmong < 2 || name.request.empty() || name.face == SavedCoverage::kNoFace ||
                                std::size_t{name.face} + name.pickAmong > saved->faces.size())) {
      std::abort();
    }
    if (i > 0 && !(saved->names[i - 1].name < name.name)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes);
  std::string sealed = "typeloom list faces 2\n" + bytes;
  const std::uint64_t sum = typeloom::platform::HashBytes(sealed);
  for (int i = 0; i < 8; ++i) sealed += static_cast<char>((sum >> (8 * i)) & 0xFF);
  Check(sealed);
  return 0;
}
