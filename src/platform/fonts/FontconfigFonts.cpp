#include "platform/fonts/FontconfigFonts.h"

#include "platform/fonts/FontsKeyNames.h"
#include "platform/registry/Registry.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>

namespace typeloom::platform {
namespace {

struct Face {
  int index = 0;  // face number within the file
  std::string name;
  std::string format;
  bool scalable = true;
  std::string family;
  std::string style;
  std::vector<double> pixelSizes;
  bool variable = false;  // the whole design space rather than an instance
};

std::string GetString(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, n, &s) == FcResultMatch && s != nullptr
             ? std::string(reinterpret_cast<const char*>(s))
             : std::string();
}

// The value of `object` in English when its language list says which, else the first.
std::string English(FcPattern* p, const char* object, const char* langObject) {
  for (int n = 0;; ++n) {
    FcChar8* lang = nullptr;
    if (FcPatternGetString(p, langObject, n, &lang) != FcResultMatch) break;
    const std::string l(reinterpret_cast<const char*>(lang));
    if (l == "en" || l.rfind("en-", 0) == 0 || l.rfind("en_", 0) == 0) {
      std::string s = GetString(p, object, n);
      if (!s.empty()) return s;
    }
  }
  return GetString(p, object, 0);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& baseName) {
  const std::size_t dot = baseName.rfind('.');
  return dot == std::string::npos || dot == 0 ? baseName : baseName.substr(0, dot);
}

std::string Kind(const std::string& format) {
  if (format == "TrueType") return "(TrueType)";
  if (format == "CFF") return "(OpenType)";
  if (format == "Type 1") return "(Type 1)";
  return "(" + (format.empty() ? std::string("Unknown") : format) + ")";
}

}  // namespace

void FontconfigFonts::Load() {
  loaded_ = true;
  failed_ = true;
  if (FcInit() == FcFalse) return;
  std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
  std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> objects(
      FcObjectSetBuild(FC_FILE, FC_INDEX, FC_FAMILY, FC_FAMILYLANG, FC_STYLE, FC_STYLELANG, FC_FULLNAME,
                       FC_FULLNAMELANG, FC_FONTFORMAT, FC_SCALABLE, FC_PIXEL_SIZE, FC_VARIABLE, nullptr),
      FcObjectSetDestroy);
  if (!pattern || !objects) return;
  std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> set(FcFontList(nullptr, pattern.get(), objects.get()),
                                                              FcFontSetDestroy);
  if (!set) return;
  failed_ = false;

  std::map<std::string, std::vector<Face>> byPath;  // sorted by path
  for (int i = 0; i < set->nfont; ++i) {
    FcPattern* p = set->fonts[i];
    const std::string path = GetString(p, FC_FILE);
    if (path.empty()) continue;
    int index = 0;
    FcPatternGetInteger(p, FC_INDEX, 0, &index);
    if ((index >> 16) != 0) continue;  // a named instance of a variable font
    Face face;
    face.index = index & 0xFFFF;
    face.family = English(p, FC_FAMILY, FC_FAMILYLANG);
    face.style = English(p, FC_STYLE, FC_STYLELANG);
    face.name = English(p, FC_FULLNAME, FC_FULLNAMELANG);
    if (face.name.empty()) face.name = face.style.empty() ? face.family : face.family + " " + face.style;
    face.format = GetString(p, FC_FONTFORMAT);
    FcBool scalable = FcTrue;
    if (FcPatternGetBool(p, FC_SCALABLE, 0, &scalable) == FcResultMatch) face.scalable = scalable != FcFalse;
    double px = 0;
    for (int n = 0; FcPatternGetDouble(p, FC_PIXEL_SIZE, n, &px) == FcResultMatch; ++n) face.pixelSizes.push_back(px);
    FcBool variable = FcFalse;
    face.variable = FcPatternGetBool(p, FC_VARIABLE, 0, &variable) == FcResultMatch && variable != FcFalse;
    // A variable font is listed as its design space and as its default named instance,
    // both with the face's own index; the instance has the names.
    auto& faces = byPath[path];
    const auto same = std::find_if(faces.begin(), faces.end(), [&](const Face& f) { return f.index == face.index; });
    if (same == faces.end()) {
      faces.push_back(std::move(face));
    } else if (same->variable && !face.variable) {
      *same = std::move(face);
    }
  }

  // Point sizes of each bitmap family and style, over all of its files.
  std::map<std::pair<std::string, std::string>, std::set<int>> bitmapSizes;
  for (auto& [path, faces] : byPath) {
    std::sort(faces.begin(), faces.end(), [](const Face& a, const Face& b) { return a.index < b.index; });
    const Face& first = faces.front();
    if (first.scalable) continue;
    auto& sizes = bitmapSizes[{first.family, first.style}];
    for (double px : first.pixelSizes) {
      if (px > 0 && px <= 10000) sizes.insert(static_cast<int>(std::lround(px * 72.0 / 96.0)));
    }
  }

  files_.reserve(byPath.size());
  for (const auto& [path, faces] : byPath) {
    const Face& first = faces.front();
    std::string base = BaseName(path);
    std::string name;
    if (!first.scalable) {
      const std::string family = !first.family.empty() ? first.family : !first.name.empty() ? first.name : Stem(base);
      name = fontskey::BitmapName(family, first.style, bitmapSizes[{first.family, first.style}]);
    } else {
      std::vector<std::string> names;
      names.reserve(faces.size());
      for (const Face& f : faces) {
        if (!f.name.empty()) names.push_back(f.name);
      }
      if (names.empty()) names.push_back(Stem(base));
      name = fontskey::ScalableName(names, Kind(first.format));
    }
    files_.push_back(InstalledFontFile{std::move(name), std::move(base), path});
  }
  // Repeated names (one font in two folders, the files of one bitmap family) are
  // told apart, so that every file can be looked up by its own value name.
  fontskey::MakeUnique(files_);
  byLowerName_.reserve(files_.size());
  for (std::size_t i = 0; i < files_.size(); ++i) byLowerName_.try_emplace(reg::FoldName(files_[i].fileName), i);
}

bool FontconfigFonts::Available() {
  if (!loaded_) Load();
  return !failed_;
}

const std::vector<InstalledFontFile>& FontconfigFonts::Files() {
  if (!loaded_) Load();
  return files_;
}

std::string FontconfigFonts::PathOf(std::string_view catalogueFile) {
  if (!loaded_) Load();
  const auto it = byLowerName_.find(reg::FoldName(catalogueFile));
  return it == byLowerName_.end() ? std::string() : files_[it->second].path;
}

FontconfigFonts& LinuxInstalledFonts() {
  static FontconfigFonts fonts;
  return fonts;
}

bool ReloadFontconfig() { return FcInitReinitialize() != FcFalse; }

}  // namespace typeloom::platform
