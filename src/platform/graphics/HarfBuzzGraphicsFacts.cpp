#include "platform/fonts/FaceResolver.h"
#include "platform/graphics/FaceTables.h"
#include "platform/graphics/GraphicsFacts.h"

#include <hb.h>

#include <memory>
#include <string>

#include <sys/stat.h>

namespace typeloom::platform {

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
  // Mapped, not read: only the tables the rule needs are touched.
  std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(hb_blob_create_from_file(face.file.c_str()),
                                                              hb_blob_destroy);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob.get(), &length);
  const FaceTables tables = ReadFaceTables(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data), data != nullptr ? length : 0),
      static_cast<unsigned>(face.index));
  const TextFacts facts{PitchAndFamily(tables, face.scalable, face.fixedSpacing), LanguageInfo(tables)};
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
