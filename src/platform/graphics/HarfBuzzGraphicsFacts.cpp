#include "platform/fonts/FaceResolver.h"
#include "platform/graphics/FaceTables.h"
#include "platform/graphics/GraphicsFacts.h"

#include <cerrno>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace typeloom::platform {
namespace {

// Larger files are not fonts the program reads facts from.
constexpr off_t kMaxFontFileBytes = off_t{256} << 20;

// The file's bytes up to the size it had when opened; fewer when it shrank meanwhile.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return bytes;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= kMaxFontFileBytes) {
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
  }
  ::close(fd);
  return bytes;
}

}  // namespace

TextFacts FactsOfFile(const std::string& path, unsigned index, bool scalable, bool fixedSpacing) {
  const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
  const FaceTables tables = ReadFaceTables(std::span<const std::uint8_t>(bytes.data(), bytes.size()), index);
  return TextFacts{PitchAndFamily(tables, scalable, fixedSpacing), LanguageInfo(tables)};
}

std::optional<TextFacts> HarfBuzzGraphicsFacts::FactsOf(const QString& fontName) {
  const FaceLocation face = LocateFace(fontName);
  if (face.file.empty()) return std::nullopt;
  struct stat info {};
  const bool stated = ::stat(face.file.c_str(), &info) == 0;
  const long long modified = stated ? static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec : 0;
  const std::string key = face.file + '\0' + std::to_string(face.index) + (face.scalable ? 's' : '-') +
                          (face.fixedSpacing ? 'f' : '-');
  if (stated) {
    const auto it = known_.find(key);
    if (it != known_.end() && it->second.size == info.st_size && it->second.modified == modified) return it->second.facts;
  }
  const TextFacts facts = FactsOfFile(face.file, static_cast<unsigned>(face.index), face.scalable, face.fixedSpacing);
  if (stated) {
    if (known_.size() > 100000) known_.clear();  // bounded: faces come from the font list
    known_[key] = Known{static_cast<long long>(info.st_size), modified, facts};
  }
  return facts;
}

GraphicsFacts& LinuxGraphicsFacts() {
  static HarfBuzzGraphicsFacts facts;
  return facts;
}

}  // namespace typeloom::platform
