#include "platform/fonts/FontCoverage.h"

#include "platform/fonts/SizeListName.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string_view>
#include <tuple>
#include <unordered_set>

namespace typeloom::platform {
namespace {

QString Folded(const FcChar8* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)).toCaseFolded(); }

std::tuple<std::string_view, int> FileAndIndex(FcPattern* p) {
  FcChar8* file = nullptr;
  FcPatternGetString(p, FC_FILE, 0, &file);
  int index = 0;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  return {file != nullptr ? std::string_view(reinterpret_cast<const char*>(file)) : std::string_view(), index};
}

// The request fontconfig gets for a name drawn as a family (or, with an empty
// family, for the default face): regular weight, upright, substituted as usual.
FcPattern* Request(const QByteArray& family) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return nullptr;
  if (!family.isEmpty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

}  // namespace

struct FontCoverage::Index {
  bool available = false;
  std::vector<FcPattern*> held;                       // every indexed face, referenced
  QHash<QString, std::vector<FcPattern*>> families;   // folded family name -> faces
  QHash<QString, FcPattern*> fullNames;               // folded full name -> first face by file and index
  QHash<QString, FcPattern*> faces;                   // name -> its face (owned), null: none
  FcCharSet* characters = nullptr;                    // the query's
  FcLangSet* language = nullptr;

  ~Index() {
    for (FcPattern* p : faces) {
      if (p != nullptr) FcPatternDestroy(p);
    }
    for (FcPattern* p : held) FcPatternDestroy(p);
    if (characters != nullptr) FcCharSetDestroy(characters);
    if (language != nullptr) FcLangSetDestroy(language);
  }

  void Add(FcPattern* p) {
    FcPatternReference(p);
    held.push_back(p);
    FcChar8* s = nullptr;
    std::unordered_set<std::u16string> seen;  // a family named twice counts once
    for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &s) == FcResultMatch; ++i) {
      const QString key = Folded(s);
      if (seen.insert(key.toStdU16String()).second) families[key].push_back(p);
    }
    for (int i = 0; FcPatternGetString(p, FC_FULLNAME, i, &s) == FcResultMatch; ++i) {
      FcPattern*& first = fullNames[Folded(s)];
      if (first == nullptr || FileAndIndex(p) < FileAndIndex(first)) first = p;
    }
  }

  // fontconfig's best face for `request` among `candidates` (all when empty);
  // the answer is owned by the caller.
  static FcPattern* Match(FcPattern* request, std::vector<FcPattern*>* candidates) {
    if (request == nullptr) return nullptr;
    FcResult result = FcResultNoMatch;
    FcPattern* match = nullptr;
    if (candidates == nullptr) {
      match = FcFontMatch(nullptr, request, &result);
    } else {
      FcFontSet* set = FcFontSetCreate();
      if (set != nullptr) {
        for (FcPattern* p : *candidates) {
          FcPatternReference(p);
          if (!FcFontSetAdd(set, p)) FcPatternDestroy(p);
        }
        match = FcFontSetMatch(nullptr, &set, 1, request, &result);
        FcFontSetDestroy(set);
      }
    }
    FcPatternDestroy(request);
    return match;
  }

  FcPattern* Resolve(const QString& name) {
    if (FcPattern* face = Installed(name)) return face;
    // A bitmap family listed with its point sizes ("Fixed 14,18"): the family itself.
    if (const QString family = WithoutSizeList(name); !family.isEmpty()) {
      if (FcPattern* face = Installed(family)) return face;
    }
    return Match(Request(name.toUtf8()), nullptr);
  }

  // An installed family's or full name's face; null for any other name.
  FcPattern* Installed(const QString& name) {
    const QByteArray utf8 = name.toUtf8();
    if (!utf8.isEmpty()) {
      const QString key = name.toCaseFolded();
      if (const auto family = families.find(key); family != families.end()) {
        // Among the family's own faces: a family request prefers them to any other.
        return Match(Request(utf8), &family.value());
      }
      if (const auto full = fullNames.constFind(key); full != fullNames.constEnd()) {
        FcPatternReference(*full);
        return *full;
      }
    }
    return nullptr;
  }
};

FontCoverage::FontCoverage() : index_(std::make_unique<Index>()) {
  if (!FcInit()) return;
  index_->available = true;
  for (const FcSetName which : {FcSetSystem, FcSetApplication}) {
    FcFontSet* set = FcConfigGetFonts(nullptr, which);
    if (set == nullptr) continue;
    for (int i = 0; i < set->nfont; ++i) index_->Add(set->fonts[i]);
  }
}

FontCoverage::~FontCoverage() = default;

bool FontCoverage::Available() const { return index_->available; }

void FontCoverage::SetQuery(const std::vector<char32_t>& characters, const std::string& language) {
  if (index_->characters != nullptr) FcCharSetDestroy(index_->characters);
  if (index_->language != nullptr) FcLangSetDestroy(index_->language);
  index_->characters = nullptr;
  index_->language = nullptr;
  if (!characters.empty()) {
    index_->characters = FcCharSetCreate();
    for (const char32_t c : characters) {
      if (index_->characters != nullptr) FcCharSetAddChar(index_->characters, c);
    }
  }
  if (!language.empty()) {
    index_->language = FcLangSetCreate();
    if (index_->language != nullptr) FcLangSetAdd(index_->language, reinterpret_cast<const FcChar8*>(language.c_str()));
  }
}

const void* FontCoverage::FaceOf(const QString& name) {
  if (!index_->available) return nullptr;
  auto it = index_->faces.find(name);
  if (it == index_->faces.end()) it = index_->faces.insert(name, index_->Resolve(name));
  return it.value();
}

bool FontCoverage::Matches(const QString& name) {
  auto* face = static_cast<FcPattern*>(const_cast<void*>(FaceOf(name)));
  if (face == nullptr) return false;
  if (index_->characters != nullptr) {
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) != FcResultMatch || charset == nullptr) return false;
    if (!FcCharSetIsSubset(index_->characters, charset)) return false;
  }
  if (index_->language != nullptr) {
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) != FcResultMatch || langs == nullptr) return false;
    if (!FcLangSetContains(langs, index_->language)) return false;
  }
  return true;
}

std::optional<CoverageFacts> FontCoverage::FactsOf(const QString& name) {
  auto* face = static_cast<FcPattern*>(const_cast<void*>(FaceOf(name)));
  if (face == nullptr) return std::nullopt;
  CoverageFacts facts;
  const auto [file, index] = FileAndIndex(face);
  facts.file = std::string(file);
  facts.index = index & 0xFFFF;  // the high bits number a variable font's named instance
  FcCharSet* charset = nullptr;
  if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) == FcResultMatch && charset != nullptr) {
    facts.characterCount = FcCharSetCount(charset);
  }
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) == FcResultMatch && langs != nullptr) {
    if (FcStrSet* tags = FcLangSetGetLangs(langs)) {
      if (FcStrList* list = FcStrListCreate(tags)) {
        while (FcChar8* tag = FcStrListNext(list)) facts.languages.emplace_back(reinterpret_cast<const char*>(tag));
        FcStrListDone(list);
      }
      FcStrSetDestroy(tags);
    }
  }
  std::sort(facts.languages.begin(), facts.languages.end());
  return facts;
}

bool FontCoverage::KnownLanguage(const std::string& tag) {
  if (tag.empty() || !FcInit()) return false;
  const std::string language = tag.substr(0, tag.find('-'));
  bool known = false;
  if (FcStrSet* langs = FcGetLangs()) {
    known = FcStrSetMember(langs, reinterpret_cast<const FcChar8*>(tag.c_str())) ||
            (!language.empty() && FcStrSetMember(langs, reinterpret_cast<const FcChar8*>(language.c_str())));
    FcStrSetDestroy(langs);
  }
  return known;
}

}  // namespace typeloom::platform
