// Fuzz target: one walk over faces for a family name (platform/fonts/FamilyMatch.h)
// against fontconfig itself, for family names from font files (any bytes). The first
// line is the family asked for; each later line is a face, its family names split at
// tabs (an empty line: a face without a family), with weights and slants in turn.
// Traps when the walk decides a listing other than FcFontSetList's (whether a face is
// listed, whether one spells the family exactly) or matches another face than
// FcFontSetMatch over every face.
#include "platform/fonts/FamilyMatch.h"

#include <fontconfig/fontconfig.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Split(std::string_view text, char at) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(at, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string FileOf(FcPattern* p) {
  FcChar8* file = nullptr;
  return p != nullptr && FcPatternGetString(p, FC_FILE, 0, &file) == FcResultMatch ? reinterpret_cast<char*>(file) : "";
}

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  static FcConfig* config = FcConfigCreate();
  const std::vector<std::string> lines = Split(std::string_view(reinterpret_cast<const char*>(data), size), '\n');
  if (lines.size() < 2 || lines.size() > 200) return 0;
  const std::string& family = lines.front();
  constexpr int kWeights[] = {FC_WEIGHT_REGULAR, FC_WEIGHT_BOLD, FC_WEIGHT_LIGHT};
  constexpr int kSlants[] = {FC_SLANT_ROMAN, FC_SLANT_ITALIC};
  FcFontSet* set = FcFontSetCreate();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    FcPattern* face = FcPatternCreate();
    if (!lines[i].empty()) {
      for (const std::string& name : Split(lines[i], '\t')) {
        FcPatternAddString(face, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
      }
    }
    FcPatternAddInteger(face, FC_WEIGHT, kWeights[i % 3]);
    FcPatternAddInteger(face, FC_SLANT, kSlants[(i / 3) % 2]);
    FcPatternAddString(face, FC_FILE, reinterpret_cast<const FcChar8*>(std::to_string(i).c_str()));
    FcFontSetAdd(set, face);
  }
  FcFontSet* sets[1] = {set};
  const typeloom::platform::FamilyFaces faces(sets, 1, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (faces.Decided()) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FILE, nullptr);
    FcFontSet* listed = FcFontSetList(config, sets, 1, pattern, objects);
    bool exact = false;
    for (int i = 0; listed != nullptr && i < listed->nfont; ++i) {
      FcChar8* name = nullptr;
      for (int v = 0; FcPatternGetString(listed->fonts[i], FC_FAMILY, v, &name) == FcResultMatch; ++v) {
        exact = exact || family.c_str() == std::string(reinterpret_cast<char*>(name));
      }
    }
    Check(faces.Listed() == (listed != nullptr && listed->nfont > 0));
    Check(faces.Exact() == exact);
    if (listed != nullptr) FcFontSetDestroy(listed);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
  }
  for (const int weight : {FC_WEIGHT_REGULAR, FC_WEIGHT_BOLD}) {
    FcPattern* request = FcPatternCreate();
    FcPatternAddString(request, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(request, FC_WEIGHT, weight);
    FcPatternAddInteger(request, FC_SLANT, FC_SLANT_ROMAN);
    FcDefaultSubstitute(request);
    FcResult fullResult = FcResultNoMatch;
    FcResult ownResult = FcResultNoMatch;
    FcPattern* full = FcFontSetMatch(config, sets, 1, request, &fullResult);
    FcPattern* own = faces.Match(config, request, &ownResult);
    Check(FileOf(full) == FileOf(own) && fullResult == ownResult);
    if (full != nullptr) FcPatternDestroy(full);
    if (own != nullptr) FcPatternDestroy(own);
    FcPatternDestroy(request);
  }
  FcFontSetDestroy(set);
  return 0;
}
