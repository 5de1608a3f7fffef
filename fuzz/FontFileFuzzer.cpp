// Fuzz target: the font-file reader (sfnt, collection, Type 1) over arbitrary bytes, then every lookup of
// CFontPreview over what it read; and the graphics-system facts (HarfBuzz and the
// kern, post and OS/2 reads) over the same bytes. Traps when a decoded text is not valid UTF-8.
#include "fontfile/CFontPreview.h"
#include "fontfile/TrueTypeReader.h"
#include "fontfile/Type1Info.h"
#include "platform/fonts/FileProbe.h"
#include "platform/fonts/FontFaces.h"
#include "platform/fonts/FontSession.h"
#include "platform/fonts/SystemLocale.h"
#include "platform/graphics/FaceTables.h"
#include "support/CFontPreviewAccess.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace typeloom;

struct Faces final : platform::FaceNameResolver {
  std::optional<std::string> ResolveFace(std::string_view name) override {
    if (name.empty()) return std::nullopt;
    return name.size() % 3 == 0 ? std::string(name) : std::string("Fallback");
  }
  std::string FamilyOfFile(const std::string&, unsigned index) override { return index == 0 ? "Listed" : ""; }
  bool IsInstalledFile(const std::string& path) override { return path.size() % 2 == 0; }
};
struct Session final : platform::FontSession {
  int AddFont(const std::string&) override { return 1; }
  bool RemoveFont(const std::string&) override { return true; }
  void BroadcastFontChange() override {}
};
struct Locale final : platform::SystemLocale {
  std::uint32_t lcid = 0x0409;
  std::uint32_t DefaultLcid() override { return lcid; }
};
struct Files final : platform::FileProbe {
  bool FileExists(const std::string&) override { return false; }
};

bool ValidUtf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += n;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Any font file: an sfnt (face 0, or face 1 of a collection) or a Type 1 font.
  const std::span<const std::uint8_t> input(data, size);
  const bool type1 = size >= fontfile::kType1SignatureBytes &&
                     fontfile::IsType1Start(input.first<fontfile::kType1SignatureBytes>());
  fontfile::FontTables tables = fontfile::ReadFontFile(input, size % 5 == 0 ? 1u : 0u);
  if (type1 && (tables.validTrueType || tables.selectionFlags != 0)) __builtin_trap();
  if (!type1 && !tables.validTrueType && (!tables.names.empty() || tables.selectionFlags != 0)) __builtin_trap();
  for (const auto& r : tables.names) {
    if (!ValidUtf8(r.text) || (r.length == 0 && !r.text.empty())) __builtin_trap();
  }

  static Faces faces;
  static Session session;
  static Locale locale;
  static Files files;
  static const std::uint32_t kLocales[] = {0x0409, 0x0407, 0x0411, 0x10409};
  locale.lcid = kLocales[size % 4];
  CFontPreview preview(FontPreviewServices{&faces, &session, &locale, &files});
  CFontPreviewAccess::Load(preview, std::move(tables));
  std::size_t total = preview.Copyright().size() + preview.FamilyName().size() + preview.FullName().size() +
                      preview.SubFamilyName().size() + preview.PostscriptName().size() + preview.Trademark().size() +
                      preview.UniqueIdentifier().size() + preview.VersionString().size();
  for (int id = -1; id <= 26; ++id) total += CFontPreviewAccess::LookupName(preview, id).size();
  total += CFontPreviewAccess::LookupName(preview, 65535).size();
  for (int bit = -2; bit <= 17; ++bit) total += CFontPreviewAccess::TestStyleBit(preview, bit) ? 1 : 0;
  total += preview.Bold() + preview.Italic() + preview.Underlined() + preview.StrikeOut();
  if (CFontPreviewAccess::MatchFaceName(preview) && preview.FaceName().empty()) __builtin_trap();
  // A path that does not exist leaves the object as it was.
  preview.SetFontFile("/nonexistent");
  if (!preview.FontFile().empty()) __builtin_trap();

  // The bytes as a font file (faces 0 and 1 of a collection) and as a kern table.
  const std::span<const std::uint8_t> bytes(data, size);
  for (unsigned index : {0u, 1u}) {
    const platform::FaceTables face = platform::ReadFaceTables(bytes, index);
    if (!face.sfnt && (face.cff || face.hasOs2 || face.glyphCount != 0 || face.kernPairs)) __builtin_trap();
    const std::uint8_t byte = platform::PitchAndFamily(face, (size & 1) != 0, (size & 2) != 0);
    if ((byte & platform::pf::kTrueType) != 0 && (byte & platform::pf::kDevice) != 0) __builtin_trap();
    total += byte + platform::LanguageInfo(face);
  }
  total += platform::KernTableHasPairs(bytes) ? 1 : 0;
  return total == SIZE_MAX ? 1 : 0;
}
