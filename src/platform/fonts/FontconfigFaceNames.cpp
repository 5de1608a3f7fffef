#include "platform/fonts/FontFaces.h"

#include "platform/fonts/FaceResolver.h"

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <unordered_map>

namespace typeloom::platform {
namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
using FontSet = std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)>;
using ObjectSet = std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)>;

const FcChar8* Utf8(const std::string& s) { return reinterpret_cast<const FcChar8*>(s.c_str()); }

// Whether a listed face has `name` as one of its values of `object`, exactly.
bool Listed(const char* object, const std::string& name) {
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  ObjectSet objects(FcObjectSetBuild(object, nullptr), FcObjectSetDestroy);
  if (!pattern || !objects) return false;
  FcPatternAddString(pattern.get(), object, Utf8(name));
  const FontSet faces(FcFontList(nullptr, pattern.get(), objects.get()), FcFontSetDestroy);
  if (!faces) return false;
  for (int i = 0; i < faces->nfont; ++i) {
    FcChar8* value = nullptr;
    for (int n = 0; FcPatternGetString(faces->fonts[i], object, n, &value) == FcResultMatch; ++n) {
      if (value != nullptr && name == reinterpret_cast<const char*>(value)) return true;
    }
  }
  return false;
}

std::string ResolveUncached(const std::string& wanted) {
  if (wanted.find('\0') != std::string::npos) return std::string();  // no face name holds one
  // The details of the font just located ask for its family again: the listing
  // made to locate it answers that.
  if (const std::optional<bool> family = LastFamilyListing(wanted); family ? *family : Listed(FC_FAMILY, wanted)) {
    return wanted;
  }
  for (const char* object : {FC_FULLNAME, FC_POSTSCRIPT_NAME}) {
    if (Listed(object, wanted)) return wanted;
  }
  // Not known: the family fontconfig would draw instead.
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  if (!pattern) return std::string();
  FcPatternAddString(pattern.get(), FC_FAMILY, Utf8(wanted));
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  const Pattern match(FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
  FcChar8* family = nullptr;
  if (!match || FcPatternGetString(match.get(), FC_FAMILY, 0, &family) != FcResultMatch || family == nullptr) {
    return std::string();
  }
  return std::string(reinterpret_cast<const char*>(family));
}

}  // namespace

std::optional<std::string> FontconfigFaceNameResolver::ResolveFace(std::string_view name) {
  if (name.empty()) return std::nullopt;
  // Each answer lists over every installed font, and the details of a font ask for
  // the same names each time it is chosen: answers are kept while fontconfig's fonts
  // (its configuration and this process's application fonts) stay the same.
  static std::size_t cachedFor = 0;
  static std::unordered_map<std::string, std::string> cache;
  if (const std::size_t now = FontsStamp(); now != cachedFor) {
    cache.clear();
    cachedFor = now;
  }
  std::string wanted(name);
  if (const auto it = cache.find(wanted); it != cache.end()) return it->second;
  std::string face = ResolveUncached(wanted);
  if (cache.size() > 100000) cache.clear();  // bounded: names come from font files
  cache.emplace(std::move(wanted), face);
  return face;
}

std::string FontconfigFaceNameResolver::FamilyOfFile(const std::string& path, unsigned index) {
  if (path.empty() || path.find('\0') != std::string::npos) return {};
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  ObjectSet objects(FcObjectSetBuild(FC_FAMILY, FC_INDEX, nullptr), FcObjectSetDestroy);
  if (!pattern || !objects) return {};
  FcPatternAddString(pattern.get(), FC_FILE, Utf8(path));
  const FontSet faces(FcFontList(nullptr, pattern.get(), objects.get()), FcFontSetDestroy);
  if (!faces) return {};
  for (int i = 0; i < faces->nfont; ++i) {
    int faceIndex = 0;
    FcPatternGetInteger(faces->fonts[i], FC_INDEX, 0, &faceIndex);
    FcChar8* family = nullptr;
    // The low 16 bits number the face; the high ones a variable font's instance.
    if (static_cast<unsigned>(faceIndex & 0xFFFF) == index &&
        FcPatternGetString(faces->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family != nullptr) {
      return reinterpret_cast<const char*>(family);
    }
  }
  return {};
}

bool FontconfigFaceNameResolver::IsInstalledFile(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return false;
  if (IsInstalledPath(path)) return true;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr || path == resolved) return false;
  return IsInstalledPath(resolved);
}

}  // namespace typeloom::platform
