// Fuzz target: the font-file reader over a file (FileByteSource: its start buffer,
// read-ahead window and seeks) against the same reader over the bytes in memory,
// faces 0 and 1 (a collection's first two).
// The file is an in-memory one, reopened by path for every input. Traps when the
// two readings differ.
#include "fontfile/TrueTypeReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

using namespace typeloom::fontfile;

// The fuzzer's one file, rewritten with each input.
const std::string& FilePath() {
  static const std::string path = [] {
    const int fd = ::memfd_create("font", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    return "/proc/self/fd/" + std::to_string(fd);
  }();
  return path;
}

int FileDescriptor() { return std::stoi(FilePath().substr(sizeof("/proc/self/fd/") - 1)); }

bool Same(const FontTables& a, const FontTables& b) {
  if (a.validTrueType != b.validTrueType || a.selectionFlags != b.selectionFlags || a.names.size() != b.names.size())
    return false;
  for (std::size_t i = 0; i < a.names.size(); ++i) {
    const NameRecord& x = a.names[i];
    const NameRecord& y = b.names[i];
    if (x.platformId != y.platformId || x.encodingId != y.encodingId || x.languageId != y.languageId ||
        x.nameId != y.nameId || x.length != y.length || x.offset != y.offset || x.text != y.text)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = FileDescriptor();
  if (::ftruncate(fd, 0) != 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  const unsigned face = size & 1;
  const FontTables fromFile = ReadFontFile(FilePath(), face);
  const FontTables fromMemory = ReadFontFile(std::span<const std::uint8_t>(data, size), face);
  if (!Same(fromFile, fromMemory)) __builtin_trap();
  const FontTables sfntFromFile = ReadTrueTypeTables(FilePath(), 1 - face);
  if (!Same(sfntFromFile, ReadTrueTypeTables(std::span<const std::uint8_t>(data, size), 1 - face))) __builtin_trap();

  // The same file through a source that is asked in other orders: reads before and
  // after a read-ahead window, and one at the start after a seek elsewhere.
  FileByteSource source(FilePath());
  if (!source.IsOpen()) __builtin_trap();
  std::uint8_t byte = 0;
  const std::uint64_t probe = size > 0 ? data[0] * 7u : 3u;
  const bool far = source.ReadAt(probe, 1, &byte);
  if (far != (probe < size) || (far && byte != data[probe])) __builtin_trap();
  source.WillRead(size / 2, size - size / 2);
  const FontTables again = ReadFontFile(source, face);
  if (!Same(again, fromMemory)) __builtin_trap();
  return 0;
}
