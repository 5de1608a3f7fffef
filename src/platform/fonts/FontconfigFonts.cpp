#include "platform/fonts/FontconfigFonts.h"

#include "platform/fonts/FontsKeyNames.h"
#include "platform/registry/Registry.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
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
  FcConfig* config = FcConfigGetCurrent();
  if (config == nullptr) return;
  failed_ = false;

  // The configuration's own font sets, read in place: a listing (FcFontList) would
  // copy every pattern and hash them to drop duplicates, which a set cannot hold.
  struct Entry {
    const char* path;
    Face face;
  };
  std::vector<Entry> entries;
  for (const FcSetName which : {FcSetSystem, FcSetApplication}) {
    FcFontSet* set = FcConfigGetFonts(config, which);
    if (set == nullptr) continue;
    entries.reserve(entries.size() + static_cast<std::size_t>(set->nfont));
    for (int i = 0; i < set->nfont; ++i) {
      FcPattern* p = set->fonts[i];
      FcChar8* file = nullptr;
      if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch || file == nullptr || *file == 0) continue;
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
      if (!face.scalable) {
        double px = 0;
        for (int n = 0; FcPatternGetDouble(p, FC_PIXEL_SIZE, n, &px) == FcResultMatch; ++n) {
          face.pixelSizes.push_back(px);
        }
      }
      FcBool variable = FcFalse;
      face.variable = FcPatternGetBool(p, FC_VARIABLE, 0, &variable) == FcResultMatch && variable != FcFalse;
      entries.push_back({reinterpret_cast<const char*>(file), std::move(face)});
    }
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    const int c = std::strcmp(a.path, b.path);
    return c != 0 ? c < 0 : a.face.index < b.face.index;
  });

  // Faces grouped by file, in path order, each file's faces in index order. A variable
  // font is listed as its design space and as its default named instance, both with
  // the face's own index; the instance has the names.
  std::vector<std::pair<std::string, std::vector<Face>>> byPath;
  for (Entry& e : entries) {
    if (byPath.empty() || byPath.back().first != e.path) byPath.emplace_back(e.path, std::vector<Face>());
    auto& faces = byPath.back().second;
    if (faces.empty() || faces.back().index != e.face.index) {
      faces.push_back(std::move(e.face));
    } else if (faces.back().variable && !e.face.variable) {
      faces.back() = std::move(e.face);
    }
  }

  // Point sizes of each bitmap family and style, over all of its files.
  std::map<std::pair<std::string, std::string>, std::set<int>> bitmapSizes;
  for (const auto& [path, faces] : byPath) {
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
  // Lives until the process ends; not taken down at exit, where nothing reads it.
  static FontconfigFonts* fonts = new FontconfigFonts;
  return *fonts;
}

bool ReloadFontconfig() { return FcInitReinitialize() != FcFalse; }

}  // namespace typeloom::platform
