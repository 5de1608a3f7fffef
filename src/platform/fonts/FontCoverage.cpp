#include "platform/fonts/FontCoverage.h"

#include "platform/fonts/SizeListName.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <utility>

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
  // How a name draws: as one of an installed family's faces (picked when first
  // needed) or in a face known at once (a full or PostScript name's, a substitute),
  // null: none.
  struct Entry {
    const std::vector<FcPattern*>* family = nullptr;
    QByteArray request;         // the family as the name asks for it
    FcPattern* face = nullptr;  // owned
    bool picked = false;
  };

  bool available = false;
  std::vector<FcPattern*> held;                       // every indexed face, referenced
  QHash<QString, std::vector<FcPattern*>> families;   // folded family name -> faces
  QHash<QString, FcPattern*> fullNames;               // folded full name -> first face by file and index
  QHash<QString, FcPattern*> postScriptNames;         // folded PostScript name -> the same
  QHash<QString, Entry> entries;                      // name -> how it draws
  FcCharSet* characters = nullptr;                    // the query's
  FcLangSet* language = nullptr;

  ~Index() {
    for (const Entry& entry : entries) {
      if (entry.face != nullptr) FcPatternDestroy(entry.face);
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
    for (const auto& [object, names] :
         {std::pair{FC_FULLNAME, &fullNames}, std::pair{FC_POSTSCRIPT_NAME, &postScriptNames}}) {
      for (int i = 0; FcPatternGetString(p, object, i, &s) == FcResultMatch; ++i) {
        FcPattern*& first = (*names)[Folded(s)];
        if (first == nullptr || FileAndIndex(p) < FileAndIndex(first)) first = p;
      }
    }
  }

  // fontconfig's best face for `request` among `candidates` (all when null);
  // the answer is owned by the caller.
  static FcPattern* Match(FcPattern* request, const std::vector<FcPattern*>* candidates) {
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

  Entry& EntryOf(const QString& name) {
    auto it = entries.find(name);
    if (it == entries.end()) it = entries.insert(name, Route(name));
    return it.value();
  }

  Entry Route(const QString& name) {
    Entry entry;
    if (Installed(name, entry)) return entry;
    // A bitmap family listed with its point sizes ("Fixed 14,18"): the family itself.
    if (const QString family = WithoutSizeList(name); !family.isEmpty()) {
      if (Installed(family, entry)) return entry;
    }
    entry.face = Match(Request(name.toUtf8()), nullptr);
    entry.picked = true;
    return entry;
  }

  // An installed family's, full name's or PostScript name's entry; false for any
  // other name.
  bool Installed(const QString& name, Entry& entry) {
    if (name.isEmpty()) return false;
    const QString key = name.toCaseFolded();
    if (const auto family = families.constFind(key); family != families.constEnd()) {
      // Among the family's own faces: a family request prefers them to any other.
      entry.family = &family.value();
      entry.request = name.toUtf8();
      return true;
    }
    // A face's full name, else its PostScript name, fixes the face.
    for (const QHash<QString, FcPattern*>* names : {&fullNames, &postScriptNames}) {
      if (const auto face = names->constFind(key); face != names->constEnd()) {
        FcPatternReference(*face);
        entry.face = *face;
        entry.picked = true;
        return true;
      }
    }
    return false;
  }

  FcPattern* Face(Entry& entry) {
    if (!entry.picked) {
      entry.face = Match(Request(entry.request), entry.family);
      entry.picked = true;
    }
    return entry.face;
  }

  // Whether `face` has what the query asks for.
  bool Covers(FcPattern* face) const {
    if (characters != nullptr) {
      FcCharSet* charset = nullptr;
      if (FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) != FcResultMatch || charset == nullptr) return false;
      if (!FcCharSetIsSubset(characters, charset)) return false;
    }
    if (language != nullptr) {
      FcLangSet* langs = nullptr;
      if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) != FcResultMatch || langs == nullptr) return false;
      if (!FcLangSetContains(langs, language)) return false;
    }
    return true;
  }

  bool Matches(const QString& name) {
    Entry& entry = EntryOf(name);
    if (!entry.picked) {
      // The face picked is one of the family's, with its own character and language
      // sets: when all the family's faces answer alike, that is the answer, and the
      // pick (a substitution and a match) is not needed.
      const std::vector<FcPattern*>& faces = *entry.family;
      const bool first = Covers(faces.front());
      if (std::all_of(faces.begin() + 1, faces.end(), [&](FcPattern* p) { return Covers(p) == first; })) return first;
    }
    FcPattern* face = Face(entry);
    return face != nullptr && Covers(face);
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

void FontCoverage::Prepare(const QString& name) {
  if (index_->available) index_->EntryOf(name);
}

bool FontCoverage::Matches(const QString& name) { return index_->available && index_->Matches(name); }

std::optional<CoverageFacts> FontCoverage::FactsOf(const QString& name) {
  if (!index_->available) return std::nullopt;
  FcPattern* face = index_->Face(index_->EntryOf(name));
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
