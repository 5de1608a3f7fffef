#include "platform/fonts/FontFileNames.h"

#include "platform/fonts/FontsKeyNames.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string_view>

namespace typeloom::platform {
namespace {

// A string of the pattern, read in place: valid while the configuration holds the
// pattern, which outlives the read.
std::string_view GetString(FcPattern* p, const char* object, int n = 0) {
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, n, &s) == FcResultMatch && s != nullptr
             ? std::string_view(reinterpret_cast<const char*>(s))
             : std::string_view();
}

// The value of `object` in English when its language list says which, else the first.
std::string_view English(FcPattern* p, const char* object, const char* langObject) {
  for (int n = 0;; ++n) {
    FcChar8* lang = nullptr;
    if (FcPatternGetString(p, langObject, n, &lang) != FcResultMatch) break;
    const std::string_view l(reinterpret_cast<const char*>(lang));
    if (l == "en" || l.rfind("en-", 0) == 0 || l.rfind("en_", 0) == 0) {
      const std::string_view s = GetString(p, object, n);
      if (!s.empty()) return s;
    }
  }
  return GetString(p, object, 0);
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Stem(std::string_view baseName) {
  const std::size_t dot = baseName.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? baseName : baseName.substr(0, dot));
}

std::string Kind(std::string_view format) {
  if (format == "TrueType") return "(TrueType)";
  if (format == "CFF") return "(OpenType)";
  if (format == "Type 1") return "(Type 1)";
  std::string kind = "(";
  kind += format.empty() ? std::string_view("Unknown") : format;
  kind += ')';
  return kind;
}

// Reads every file's value name and hands it to `add` with the file's path, in path
// order, after telling `reserve` how many there are.
template <typename Reserve, typename Add>
bool ReadFiles(Reserve reserve, Add add) {
  if (FcInit() == FcFalse) return false;
  FcConfig* config = FcConfigGetCurrent();
  if (config == nullptr) return false;

  // The configuration's own font sets, read in place: a listing (FcFontList) would
  // copy every pattern and hash them to drop duplicates, which a set cannot hold.
  // Entries keep the pattern; names are read from it only for the faces that name
  // a file (tens of thousands of fonts make every copy count).
  struct Entry {
    const char* path;
    int index;      // face number within the file
    bool variable;  // the whole design space rather than an instance
    FcPattern* pattern;
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
      entries.push_back({reinterpret_cast<const char*>(file), index & 0xFFFF, false, p});
    }
  }
  const auto isVariable = [](FcPattern* p) {
    FcBool variable = FcFalse;
    return FcPatternGetBool(p, FC_VARIABLE, 0, &variable) == FcResultMatch && variable != FcFalse;
  };
  // Path order, each file's faces in index order. A variable font is listed as its
  // design space and as its default named instance, both with the face's own index;
  // the instance, which has the names, sorts first and stands for the face.
  // fontconfig keeps each folder's files in name order, so the set is often in this
  // order already. Only faces listed twice need to know which entry is the variable one.
  const auto before = [](const Entry& a, const Entry& b) {
    const int c = std::strcmp(a.path, b.path);
    return c != 0 ? c < 0 : a.index < b.index;
  };
  if (!std::is_sorted(entries.begin(), entries.end(), before)) std::stable_sort(entries.begin(), entries.end(), before);
  for (std::size_t i = 0; i < entries.size();) {
    std::size_t end = i + 1;
    while (end < entries.size() && !before(entries[i], entries[end])) ++end;
    if (end - i > 1) {
      for (std::size_t k = i; k < end; ++k) entries[k].variable = isVariable(entries[k].pattern);
      std::stable_sort(entries.begin() + static_cast<std::ptrdiff_t>(i), entries.begin() + static_cast<std::ptrdiff_t>(end),
                       [](const Entry& a, const Entry& b) { return !a.variable && b.variable; });
    }
    i = end;
  }

  // One group a file: its entries [first, end), whose faces are the entries that do
  // not repeat the index before them.
  struct File {
    std::size_t first;
    std::size_t end;
    bool scalable = true;  // of the first face
  };
  std::vector<File> byPath;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (byPath.empty() || std::strcmp(entries[byPath.back().first].path, entries[i].path) != 0) {
      byPath.push_back({i, i, true});
    }
    byPath.back().end = i + 1;
  }

  const auto scalable = [](FcPattern* p) {
    FcBool value = FcTrue;
    return FcPatternGetBool(p, FC_SCALABLE, 0, &value) != FcResultMatch || value != FcFalse;
  };
  const auto faceName = [](FcPattern* p, std::string_view family, std::string_view style) {
    std::string name(English(p, FC_FULLNAME, FC_FULLNAMELANG));
    if (name.empty()) name = style.empty() ? std::string(family) : std::string(family) + " " + std::string(style);
    return name;
  };

  // Point sizes of each bitmap family and style, over all of its files.
  std::map<std::pair<std::string, std::string>, std::set<int>> bitmapSizes;
  for (File& file : byPath) {
    FcPattern* first = entries[file.first].pattern;
    file.scalable = scalable(first);
    if (file.scalable) continue;
    auto& sizes = bitmapSizes[{std::string(English(first, FC_FAMILY, FC_FAMILYLANG)),
                               std::string(English(first, FC_STYLE, FC_STYLELANG))}];
    double px = 0;
    for (int n = 0; FcPatternGetDouble(first, FC_PIXEL_SIZE, n, &px) == FcResultMatch; ++n) {
      if (px > 0 && px <= 10000) sizes.insert(static_cast<int>(std::lround(px * 72.0 / 96.0)));
    }
  }

  reserve(byPath.size());
  // A file's face names, read in place; a name made of family and style is kept in
  // `made` (faces without a full name are rare).
  std::vector<std::string_view> names;
  std::deque<std::string> made;
  std::string stem;
  for (const File& file : byPath) {
    const std::string_view path = entries[file.first].path;
    FcPattern* first = entries[file.first].pattern;
    const std::string_view base = BaseName(path);
    std::string name;
    if (!file.scalable) {
      const std::string family(English(first, FC_FAMILY, FC_FAMILYLANG));
      const std::string style(English(first, FC_STYLE, FC_STYLELANG));
      const std::string full = faceName(first, family, style);
      const std::string shown = !family.empty() ? family : !full.empty() ? full : Stem(base);
      name = fontskey::BitmapName(shown, style, bitmapSizes[{family, style}]);
    } else {
      names.clear();
      made.clear();
      for (std::size_t k = file.first; k < file.end; ++k) {
        if (k > file.first && entries[k - 1].index == entries[k].index) continue;  // same face again
        FcPattern* face = entries[k].pattern;
        // The family and style are read only for a face without a full name.
        std::string_view n = English(face, FC_FULLNAME, FC_FULLNAMELANG);
        if (n.empty()) {
          n = made.emplace_back(
              faceName(face, English(face, FC_FAMILY, FC_FAMILYLANG), English(face, FC_STYLE, FC_STYLELANG)));
        }
        if (!n.empty()) names.push_back(n);
      }
      if (names.empty()) {
        stem = Stem(base);
        names.push_back(stem);
      }
      name = fontskey::ScalableName(names, Kind(GetString(first, FC_FONTFORMAT)));
    }
    add(std::move(name), path, base);
  }
  return true;
}

}  // namespace

bool ReadFontFiles(std::vector<InstalledFontFile>& files) {
  files.clear();
  return ReadFiles([&](std::size_t count) { files.reserve(count); },
                   [&](std::string&& name, std::string_view path, std::string_view base) {
                     files.push_back(InstalledFontFile{std::move(name), std::string(base), std::string(path)});
                   });
}

bool ReadFontFileNames(std::vector<std::string>& valueNames) {
  valueNames.clear();
  return ReadFiles([&](std::size_t count) { valueNames.reserve(count); },
                   [&](std::string&& name, std::string_view, std::string_view) {
                     valueNames.push_back(std::move(name));
                   });
}

}  // namespace typeloom::platform
