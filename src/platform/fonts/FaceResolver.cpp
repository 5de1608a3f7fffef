#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FamilyMatch.h"

#include <QFontMetrics>
#include <QHash>
#include <QPaintDevice>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace typeloom::platform {
namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
using FontSet = std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)>;
using ObjectSet = std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)>;

QString GetString(FcPattern* p, const char* object) {
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, 0, &s) == FcResultMatch && s != nullptr
             ? QString::fromUtf8(reinterpret_cast<const char*>(s))
             : QString();
}

// Fills the face's names, file and index from a fontconfig pattern.
void Take(FcPattern* p, FaceLocation& face) {
  face.family = GetString(p, FC_FAMILY);
  face.style = GetString(p, FC_STYLE);
  FcChar8* file = nullptr;
  if (FcPatternGetString(p, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
    face.file = reinterpret_cast<const char*>(file);
  }
  int index = 0;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  // The high 16 bits number a variable font's named instance; the face is the low part.
  face.index = index & 0xFFFF;
  FcBool scalable = FcTrue;
  face.scalable = FcPatternGetBool(p, FC_SCALABLE, 0, &scalable) != FcResultMatch || scalable != FcFalse;
  int spacing = FC_PROPORTIONAL;
  face.fixedSpacing = FcPatternGetInteger(p, FC_SPACING, 0, &spacing) == FcResultMatch && spacing >= FC_MONO;
}

// The installed faces whose `object` equals `name`, by file and index.
std::vector<FcPattern*> List(const char* object, const QByteArray& name, FontSet& holder) {
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  ObjectSet objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_SCALABLE, FC_SPACING, nullptr), FcObjectSetDestroy);
  if (!pattern || !objects) return {};
  FcPatternAddString(pattern.get(), object, reinterpret_cast<const FcChar8*>(name.constData()));
  holder.reset(FcFontList(nullptr, pattern.get(), objects.get()));
  if (!holder) return {};
  std::vector<FcPattern*> faces(holder->fonts, holder->fonts + holder->nfont);
  const auto key = [](FcPattern* p) {
    FcChar8* file = nullptr;
    FcPatternGetString(p, FC_FILE, 0, &file);
    int index = 0;
    FcPatternGetInteger(p, FC_INDEX, 0, &index);
    return std::make_tuple(std::string(file != nullptr ? reinterpret_cast<const char*>(file) : ""), index);
  };
  std::sort(faces.begin(), faces.end(), [&](FcPattern* a, FcPattern* b) { return key(a) < key(b); });
  return faces;
}

// The request for a family as fontconfig matches it: substituted by its rules.
Pattern MatchPattern(FcConfig* config, const QByteArray& family, bool bold, bool italic) {
  Pattern pattern(FcPatternCreate(), FcPatternDestroy);
  if (!pattern) return pattern;
  if (!family.isEmpty()) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

// fontconfig's best face for a request by family (which may be installed nowhere).
bool Match(const QByteArray& family, bool bold, bool italic, FaceLocation& face) {
  FcConfig* config = FcConfigReference(nullptr);
  if (config == nullptr) return false;
  const Pattern pattern = MatchPattern(config, family, bold, italic);
  FcResult result = FcResultNoMatch;
  Pattern match(pattern ? MatchFace(config, pattern.get(), &result) : nullptr, FcPatternDestroy);
  FcConfigDestroy(config);
  if (!match) return false;
  Take(match.get(), face);
  return true;
}

bool LocateInstalled(const QByteArray& utf8, const QString& name, bool bold, bool italic, FaceLocation& face);

// The last family listing: its name, whether a listed face has that family spelled
// exactly, and the fonts it was made under (0: none yet).
struct FamilyListing {
  std::size_t stamp = 0;
  QByteArray name;
  bool exact = false;
};

FamilyListing& LastListing() {
  static FamilyListing listing;
  return listing;
}

void RememberFamilyListing(const QByteArray& name, bool exact) {
  FamilyListing& last = LastListing();
  last.stamp = FontsStamp();
  last.name = name;
  last.exact = exact;
}

bool SpelledExactly(const QByteArray& name, const std::vector<FcPattern*>& faces) {
  for (FcPattern* p : faces) {
    FcChar8* family = nullptr;
    for (int n = 0; FcPatternGetString(p, FC_FAMILY, n, &family) == FcResultMatch; ++n) {
      if (family != nullptr && name == reinterpret_cast<const char*>(family)) return true;
    }
  }
  return false;
}

// The family listing and the match for the family, from one walk over the faces.
// Empty when the walk cannot decide the listing (a name that is not valid text, or
// holds a NUL that fontconfig would end it at).
std::optional<bool> LocateFamily(const QByteArray& utf8, bool bold, bool italic, FaceLocation& face) {
  if (utf8.contains('\0')) return std::nullopt;
  // As FcFontList does for the current configuration: fonts changed on disk are
  // noticed first.
  if (!FcInitBringUptoDate()) return std::nullopt;
  FcConfig* config = FcConfigReference(nullptr);
  if (config == nullptr) return std::nullopt;
  const FamilyFaces faces(config, reinterpret_cast<const FcChar8*>(utf8.constData()));
  std::optional<bool> listed;
  if (faces.Decided()) {
    listed = faces.Listed();
    RememberFamilyListing(utf8, faces.Exact());
    if (faces.Listed()) {
      face.kind = FaceLocation::Kind::Family;
      const Pattern pattern = MatchPattern(config, utf8, bold, italic);
      FcResult result = FcResultNoMatch;
      const Pattern match(pattern ? faces.Match(config, pattern.get(), &result) : nullptr, FcPatternDestroy);
      if (match) Take(match.get(), face);
    }
  }
  FcConfigDestroy(config);
  return listed;
}

FaceLocation LocateUncached(const QString& name, bool bold, bool italic) {
  FaceLocation face;
  const QByteArray utf8 = name.toUtf8();
  if (LocateInstalled(utf8, name, bold, italic, face)) return face;
  // A bitmap family listed with its point sizes ("Fixed 14,18"): the family itself.
  if (const QString family = WithoutSizeList(name); !family.isEmpty()) {
    if (LocateInstalled(family.toUtf8(), family, bold, italic, face)) return face;
    face = FaceLocation();
  }
  face.kind = FaceLocation::Kind::Substitute;
  Match(utf8, bold, italic, face);
  return face;
}

// An installed family, full name or PostScript name; false for any other name.
bool LocateInstalled(const QByteArray& utf8, const QString& name, bool bold, bool italic, FaceLocation& face) {
  if (!utf8.isEmpty()) {
    FontSet set(nullptr, FcFontSetDestroy);
    std::optional<bool> listed = LocateFamily(utf8, bold, italic, face);
    if (!listed) {
      const std::vector<FcPattern*> family = List(FC_FAMILY, utf8, set);
      RememberFamilyListing(utf8, SpelledExactly(utf8, family));
      listed = !family.empty();
      if (*listed) {
        face.kind = FaceLocation::Kind::Family;
        Match(utf8, bold, italic, face);
      }
    }
    if (*listed) {
      // The family as installed (its own letter case), unless the name is another
      // of the face's family names.
      if (face.family.compare(name, Qt::CaseInsensitive) != 0) face.family = name;
      return true;
    }
    // A face's full name, else its PostScript name, fixes the face.
    for (const char* object : {FC_FULLNAME, FC_POSTSCRIPT_NAME}) {
      const auto faces = List(object, utf8, set);
      if (!faces.empty()) {
        face.kind = FaceLocation::Kind::FullName;
        Take(faces.front(), face);
        return true;
      }
    }
  }
  return false;
}

// What fontconfig answers depends on its configuration and the fonts it holds: a
// new configuration or another number of application fonts makes earlier answers stale.
struct FontsState {
  FcConfig* config = nullptr;
  int applicationFonts = 0;
  std::uintptr_t applicationPatterns = 0;  // which patterns, as one sum of addresses
  bool operator==(const FontsState&) const = default;
};

FontsState CurrentFontsState() {
  FontsState state;
  state.config = FcConfigGetCurrent();
  if (state.config != nullptr) {
    if (FcFontSet* set = FcConfigGetFonts(state.config, FcSetApplication)) {
      state.applicationFonts = set->nfont;
      for (int i = 0; i < set->nfont; ++i) state.applicationPatterns += reinterpret_cast<std::uintptr_t>(set->fonts[i]);
    }
  }
  return state;
}

// The faces of the system set whose file is `path`; with `firstOnly`, the walk ends
// at the first one (0 or 1).
int CountSystemFaces(const std::string& path, bool firstOnly) {
  int count = 0;
  if (FcFontSet* system = FcConfigGetFonts(nullptr, FcSetSystem)) {
    for (int i = 0; i < system->nfont; ++i) {
      FcChar8* file = nullptr;
      if (FcPatternGetString(system->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file != nullptr &&
          path == reinterpret_cast<const char*>(file)) {
        ++count;
        if (firstOnly) break;
      }
    }
  }
  return count;
}

// Each path's full count, kept while the fonts stay the same.
std::unordered_map<std::string, int>& KnownCounts() {
  static std::size_t stampOf = 0;
  static std::unordered_map<std::string, int> known;
  if (const std::size_t stamp = FontsStamp(); stamp != stampOf) {
    known.clear();
    stampOf = stamp;
  }
  return known;
}

void KeepCount(const std::string& path, int count) {
  auto& known = KnownCounts();
  if (known.size() > 100000) known.clear();  // bounded: paths come from the font list
  known.emplace(path, count);
}

}  // namespace

// Each path's answer is kept while the fonts stay the same: choosing such a font
// again does not scan the set again, and a start scans it once, for the one path asked.
int InstalledFaceCount(const std::string& path) {
  auto& known = KnownCounts();
  if (const auto it = known.find(path); it != known.end()) return it->second;
  const int count = CountSystemFaces(path, false);
  KeepCount(path, count);
  return count;
}

// Only whether there is a face is asked: the walk ends at the first. A walk that
// found none counted every face (none), and is kept as InstalledFaceCount would keep
// it; a first face found is not the count and is not kept.
bool IsInstalledPath(const std::string& path) {
  auto& known = KnownCounts();
  if (const auto it = known.find(path); it != known.end()) return it->second > 0;
  if (CountSystemFaces(path, true) > 0) return true;
  KeepCount(path, 0);
  return false;
}

std::size_t FontsStamp() {
  static FontsState last;
  static std::size_t generation = 0;
  const FontsState now = CurrentFontsState();
  if (!(now == last)) {
    last = now;
    ++generation;
  }
  return generation;
}

std::optional<bool> LastFamilyListing(std::string_view name) {
  const FamilyListing& last = LastListing();
  if (last.stamp == 0 || last.stamp != FontsStamp()) return std::nullopt;
  if (std::string_view(last.name.constData(), static_cast<std::size_t>(last.name.size())) != name) return std::nullopt;
  return last.exact;
}

// Locating a face lists and matches over every installed font (milliseconds with a
// few thousand); the summary, the sample and the specimen ask for the same names
// again and again, so answers are kept while fontconfig's state is unchanged.
FaceLocation LocateFace(const QString& name, bool bold, bool italic) {
  static std::size_t cachedFor = 0;
  static QHash<QString, FaceLocation> cache;
  if (const std::size_t now = FontsStamp(); now != cachedFor) {
    cache.clear();
    cachedFor = now;
  }
  const QString key = name + QChar(u'\0') + QChar(bold ? u'b' : u'-') + QChar(italic ? u'i' : u'-');
  const auto it = cache.constFind(key);
  if (it != cache.constEnd()) return *it;
  FaceLocation face = LocateUncached(name, bold, italic);
  if (cache.size() > 100000) cache.clear();  // bounded: names come from the font list
  cache.insert(key, face);
  return face;
}

QFont FontForFace(const FaceLocation& face, const QString& name, double pointSize, const FontEffects& effects) {
  QFont font;
  switch (face.kind) {
    case FaceLocation::Kind::Family:
      font.setFamily(face.family.isEmpty() ? name : face.family);
      break;
    case FaceLocation::Kind::FullName:
      font.setFamily(face.family);
      font.setStyleName(face.style);
      break;
    case FaceLocation::Kind::Substitute:
      // The face fontconfig substitutes, so that drawing and the details agree.
      font.setFamily(face.family.isEmpty() ? name : face.family);
      break;
  }
  // An installed face draws alone: a character it lacks shows as its own
  // missing-glyph shape, never in another font that would suggest it has it. A
  // name installed nowhere keeps the font system's substitute and its fallbacks.
  if (face.kind != FaceLocation::Kind::Substitute) font.setStyleStrategy(QFont::NoFontMerging);
  if (effects.bold) font.setBold(true);
  if (effects.italic) font.setItalic(true);
  font.setStrikeOut(effects.strikeOut);
  font.setUnderline(effects.underline);
  if (pointSize > 0) font.setPointSizeF(pointSize);
  return font;
}

QFont ResolveFont(const QString& name, double pointSize, const FontEffects& effects) {
  return FontForFace(LocateFace(name, effects.bold, effects.italic), name, pointSize, effects);
}

namespace {

// The pixel size Qt's font engines get for a point size at `dpi`: two decimals,
// then whole pixels.
double PixelSize(int pointSize, int dpi) {
  const double twoDecimals = std::floor(pointSize * double(dpi) / 72.0 * 100.0 + 0.5) / 100.0;
  return std::floor(twoDecimals + 0.5);
}

}  // namespace

LineHeights::LineHeights(const QFont& font, bool scalable, const QPaintDevice* device, int loadPointSize)
    : font_(font), device_(device), dpi_(device->logicalDpiY() > 0 ? device->logicalDpiY() : 96) {
  if (!scalable) return;
  QFont sized(font_);
  sized.setPointSize(loadPointSize > 0 ? loadPointSize : 12);
  raw_ = QRawFont::fromFont(QFont(sized, device));
}

int LineHeights::AtPointSize(int pointSize) {
  if (raw_.isValid()) {
    raw_.setPixelSize(PixelSize(pointSize, dpi_));
    // As QFontMetrics::height(): ascent and descent each rounded half up.
    if (raw_.isValid()) return static_cast<int>(std::floor(raw_.ascent() + 0.5) + std::floor(raw_.descent() + 0.5));
  }
  QFont sized(font_);
  sized.setPointSize(pointSize);
  return QFontMetrics(sized, device_).height();
}

}  // namespace typeloom::platform
