#include "platform/fonts/FaceResolver.h"
#include "platform/graphics/FaceTables.h"
#include "platform/graphics/GraphicsFacts.h"

#include <hb.h>

#include <memory>

namespace typeloom::platform {

std::optional<TextFacts> HarfBuzzGraphicsFacts::FactsOf(const QString& fontName) {
  const FaceLocation face = LocateFace(fontName);
  if (face.file.empty()) return std::nullopt;
  // Mapped, not read: only the tables the rule needs are touched.
  std::unique_ptr<hb_blob_t, decltype(&hb_blob_destroy)> blob(hb_blob_create_from_file(face.file.c_str()),
                                                              hb_blob_destroy);
  unsigned length = 0;
  const char* data = hb_blob_get_data(blob.get(), &length);
  const FaceTables tables = ReadFaceTables(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(data), data != nullptr ? length : 0),
      static_cast<unsigned>(face.index));
  return TextFacts{PitchAndFamily(tables, face.scalable, face.fixedSpacing), LanguageInfo(tables)};
}

GraphicsFacts& LinuxGraphicsFacts() {
  static HarfBuzzGraphicsFacts facts;
  return facts;
}

}  // namespace typeloom::platform
