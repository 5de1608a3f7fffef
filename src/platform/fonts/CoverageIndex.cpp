#include "platform/fonts/CoverageIndex.h"

#include "platform/fonts/SideWorker.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory_resource>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace typeloom::platform {
namespace {

std::string_view View(const FcChar8* s) { return reinterpret_cast<const char*>(s); }

// Calls `use` with each of the leading string values of `object`, as the loop over
// FcPatternGetString's numbers would, but finding the object once.
template <typename Use>
void ForEachString(FcPattern* p, const char* object, Use use) {
  FcPatternIter iter;
  if (!FcPatternFindIter(p, &iter, object)) return;
  FcValue value;
  for (int i = 0; FcPatternIterGetValue(p, &iter, i, &value, nullptr) == FcResultMatch; ++i) {
    if (value.type != FcTypeString || value.u.s == nullptr) return;
    use(View(value.u.s));
  }
}

std::tuple<std::string_view, int> FileAndIndex(FcPattern* p) {
  FcChar8* file = nullptr;
  FcPatternGetString(p, FC_FILE, 0, &file);
  int index = 0;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  return {file != nullptr ? View(file) : std::string_view(), index};
}

// The request fontconfig gets for a name drawn as a family (or, with an empty
// family, for the default face): regular weight, upright, substituted as usual.
FcPattern* Request(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return nullptr;
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

// fontconfig's best face for `request` (taken) among `faces` in their order (which
// decides between faces that score alike); owned by the caller.
FcPattern* MatchAmong(FcPattern* request, FcPattern* const* faces, std::size_t count) {
  if (request == nullptr) return nullptr;
  FcPattern* match = nullptr;
  if (FcFontSet* set = FcFontSetCreate(); set != nullptr) {
    for (std::size_t i = 0; i < count; ++i) {
      FcPatternReference(faces[i]);
      if (!FcFontSetAdd(set, faces[i])) FcPatternDestroy(faces[i]);
    }
    FcResult result = FcResultNoMatch;
    match = FcFontSetMatch(nullptr, &set, 1, request, &result);
    FcFontSetDestroy(set);
  }
  FcPatternDestroy(request);
  return match;
}

// A character set of `characters`, or null for none.
FcCharSet* CharSetOf(const std::vector<char32_t>& characters) {
  if (characters.empty()) return nullptr;
  FcCharSet* set = FcCharSetCreate();
  for (const char32_t c : characters) {
    if (set != nullptr) FcCharSetAddChar(set, c);
  }
  return set;
}

FcLangSet* LangSetOf(const std::string& tag) {
  if (tag.empty()) return nullptr;
  FcLangSet* set = FcLangSetCreate();
  if (set != nullptr) FcLangSetAdd(set, reinterpret_cast<const FcChar8*>(tag.c_str()));
  return set;
}

FcCharSet* CharSetOfFace(FcPattern* face) {
  FcCharSet* charset = nullptr;
  return FcPatternGetCharSet(face, FC_CHARSET, 0, &charset) == FcResultMatch ? charset : nullptr;
}

FcLangSet* LangSetOfFace(FcPattern* face) {
  FcLangSet* langs = nullptr;
  return FcPatternGetLangSet(face, FC_LANG, 0, &langs) == FcResultMatch ? langs : nullptr;
}

// Whether `face` has every character of `characters` and supports `language` (null:
// no demand).
bool FaceCovers(FcPattern* face, const FcCharSet* characters, const FcLangSet* language) {
  if (characters != nullptr) {
    const FcCharSet* charset = CharSetOfFace(face);
    if (charset == nullptr || !FcCharSetIsSubset(characters, charset)) return false;
  }
  if (language != nullptr) {
    const FcLangSet* langs = LangSetOfFace(face);
    if (langs == nullptr || !FcLangSetContains(langs, language)) return false;
  }
  return true;
}

// Whether two faces answer every query alike: the same character and language sets.
bool SameSets(FcPattern* a, FcPattern* b) {
  const FcCharSet* ca = CharSetOfFace(a);
  const FcCharSet* cb = CharSetOfFace(b);
  if ((ca == nullptr) != (cb == nullptr) || (ca != nullptr && !FcCharSetEqual(ca, cb))) return false;
  const FcLangSet* la = LangSetOfFace(a);
  const FcLangSet* lb = LangSetOfFace(b);
  return (la == nullptr) == (lb == nullptr) && (la == nullptr || FcLangSetEqual(la, lb));
}

// fontconfig makes the lock of its current configuration when it is first asked for
// that configuration: asked here, before two threads could make it at once.
void MakeConfigurationLock() {
  if (FcConfig* config = FcConfigReference(nullptr)) FcConfigDestroy(config);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// A family name as fontconfig's matching compares it, for ASCII: blanks left out,
// letters in lower case (more blanks than it skips are left out: a name told apart
// here is told apart there too).
std::string Skeleton(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (const char c : name) {
    if (!IsBlank(c)) out += LowerAscii(c);
  }
  return out;
}

// Whether `name`, as fontconfig's matching compares families, may equal `skeleton`
// (an ASCII Skeleton). An ASCII name is compared exactly; characters beyond ASCII may
// fold to ASCII letters (one or more), so such a name may match when its ASCII
// characters stand in that order in the skeleton. `ascii`: IsAscii(name).
bool MaySkeletonMatch(std::string_view name, bool ascii, std::string_view skeleton) {
  if (ascii) {
    std::size_t at = 0;
    for (const char c : name) {
      if (IsBlank(c)) continue;
      if (at == skeleton.size() || skeleton[at] != LowerAscii(c)) return false;
      ++at;
    }
    return at == skeleton.size();
  }
  std::size_t at = 0;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80 || IsBlank(c)) continue;
    at = skeleton.find(LowerAscii(c), at);
    if (at == std::string_view::npos) return false;
    ++at;
  }
  return true;
}

}  // namespace

std::string_view WithoutSizeListUtf8(std::string_view name) {
  // Back over "<digits>,<digits>,...[,]" to the blank before it; one comma at least.
  std::size_t i = name.size();
  bool comma = false, digit = false;
  while (i > 0) {
    const char c = name[i - 1];
    if (c == ',') {
      comma = true;
    } else if (c >= '0' && c <= '9') {
      digit = true;
    } else {
      break;
    }
    --i;
  }
  if (!comma || !digit || i < 2 || name[i - 1] != ' ' || name[i] == ',') return {};
  return name.substr(0, i - 1);
}

// Names as keys without copies: an ASCII name is its own key, compared without regard
// to ASCII case (which is what folding does to ASCII); any other name is keyed by its
// folded text, kept in the index's arena. The hash reads eight bytes at a time;
// setting bit 5 of every byte makes an ASCII letter's two cases alike (and a few other
// pairs of bytes, which then only share a hash).
struct FoldedHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view key) const {
    constexpr std::uint64_t kCase = 0x2020202020202020ull;
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = key.size() * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
      std::uint64_t word;
      std::memcpy(&word, key.data() + i, 8);
      hash = (std::rotl(hash, 23) ^ (word | kCase)) * kMultiplier;
    }
    if (i < key.size()) {
      std::uint64_t word = 0;
      std::memcpy(&word, key.data() + i, key.size() - i);
      hash = (std::rotl(hash, 23) ^ (word | kCase)) * kMultiplier;
    }
    return static_cast<std::size_t>(hash ^ (hash >> 29));
  }
};

struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (a == b) return true;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
  }
};

struct CoverageIndex::Index {
  // How a name draws: as one of an installed family's faces (picked when first
  // needed) or in a face known at once (a full or PostScript name's, a substitute),
  // null: none.
  using Faces = std::pmr::vector<std::uint32_t>;  // positions in `held`
  static constexpr std::uint32_t kNone = UINT32_MAX;
  struct Entry {
    const Faces* family = nullptr;
    std::string_view request;   // the family as the name asks for it (in the arena)
    FcPattern* face = nullptr;  // owned
    std::uint32_t at = kNone;   // the face's position in `held`, for a full or PostScript name
    bool picked = false;
  };
  template <typename Value>
  using Map = std::pmr::unordered_map<std::string_view, Value, FoldedHash, FoldedEqual>;

  explicit Index(Fold f) : fold(f) {}

  Fold fold;
  bool available = false;
  std::pmr::monotonic_buffer_resource arena{std::size_t{1} << 18};
  std::vector<FcPattern*> held;                                // every indexed face, referenced
  std::vector<std::int8_t> covered;                            // the query's answer for each, -1: not asked yet
  Map<Faces> families{&arena};                                 // family name -> faces
  Map<std::uint32_t> fullNames{&arena};                        // full name -> first face by file and index
  Map<std::uint32_t> postScriptNames{&arena};                  // PostScript name -> the same
  std::pmr::unordered_map<std::string_view, Entry> entries{&arena};  // name, exactly -> how it draws
  struct FamilyName {
    const char* text;
    std::uint32_t size;
    bool ascii;
    char first;  // of an ASCII family's Skeleton, 0 when it is empty
  };
  std::vector<FamilyName> familyNames;                         // every face's families, as written
  std::vector<std::pair<FcPattern*, FcPattern*>> substitutes;  // request without its name -> face
  std::string folding;                                         // Key's buffer
  FcCharSet* characters = nullptr;                             // the query's
  FcLangSet* language = nullptr;
  std::unordered_map<FcPattern*, std::optional<std::uint32_t>> likeFaces;  // IndexedLike's answers
  // The last MatchEach's names and the routes of those it routed itself (installed
  // ones; the others are in `entries`), which Save takes instead of routing again.
  std::vector<std::string_view> eachNames;
  std::vector<std::optional<Entry>> eachRoutes;
  // A second thread for the quick list (CoverageIndex's constructor with `alongside`,
  // then the first MatchEach); last, so that it is gone before what its tasks use.
  std::unique_ptr<SideWorker> worker;

  ~Index() {
    ForgetEachRoutes();
    for (const auto& [name, entry] : entries) {
      if (entry.face != nullptr) FcPatternDestroy(entry.face);
    }
    for (const auto& [rest, face] : substitutes) {
      FcPatternDestroy(rest);
      if (face != nullptr) FcPatternDestroy(face);
    }
    for (FcPattern* p : held) FcPatternDestroy(p);
    if (characters != nullptr) FcCharSetDestroy(characters);
    if (language != nullptr) FcLangSetDestroy(language);
  }

  void ForgetEachRoutes() {
    for (const std::optional<Entry>& route : eachRoutes) {
      if (route && route->face != nullptr) FcPatternDestroy(route->face);
    }
    eachRoutes.clear();
    eachNames.clear();
  }

  // `text` copied into the arena.
  std::string_view Keep(std::string_view text) {
    char* copy = static_cast<char*>(arena.allocate(text.size() + 1, 1));
    std::copy(text.begin(), text.end(), copy);
    copy[text.size()] = '\0';
    return {copy, text.size()};
  }

  // The key of `name`: the name itself when it is ASCII (it must outlive the use),
  // else its folded text, in `folding` (until the next call) or, with `keep`, in the arena.
  std::string_view Key(std::string_view name, bool keep) {
    if (IsAscii(name)) return name;
    folding = fold(name);
    return keep ? Keep(folding) : std::string_view(folding);
  }

  void Reserve(std::size_t faces) {
    held.reserve(faces);
    covered.reserve(faces);
    familyNames.reserve(faces * 2);  // most faces name one family or two
    families.reserve(faces);
    fullNames.reserve(faces);
    postScriptNames.reserve(faces);
  }

  void Add(FcPattern* p) {
    FcPatternReference(p);
    const auto at = static_cast<std::uint32_t>(held.size());
    held.push_back(p);
    covered.push_back(-1);
    ForEachString(p, FC_FAMILY, [&](std::string_view family) {
      const bool ascii = IsAscii(family);
      const auto letter = std::find_if(family.begin(), family.end(), [](char c) { return !IsBlank(c); });
      const char first = ascii && letter != family.end() ? LowerAscii(*letter) : '\0';
      familyNames.push_back({family.data(), static_cast<std::uint32_t>(family.size()), ascii, first});
      // A family named twice counts once: the face is then the last one added.
      Faces& faces = families.try_emplace(ascii ? family : Keep(fold(family))).first->second;
      if (faces.empty() || faces.back() != at) faces.push_back(at);
    });
    for (const auto& [object, names] :
         {std::pair{FC_FULLNAME, &fullNames}, std::pair{FC_POSTSCRIPT_NAME, &postScriptNames}}) {
      ForEachString(p, object, [&, names = names](std::string_view name) {
        std::uint32_t& first = names->try_emplace(Key(name, true), kNone).first->second;
        if (first == kNone || FileAndIndex(p) < FileAndIndex(held[first])) first = at;
      });
    }
  }

  // fontconfig's best face for `request` among `candidates` (all when null);
  // the answer is owned by the caller.
  FcPattern* Match(FcPattern* request, const Faces* candidates) const {
    if (request == nullptr) return nullptr;
    if (candidates != nullptr) {
      std::vector<FcPattern*> faces;
      faces.reserve(candidates->size());
      for (const std::uint32_t at : *candidates) faces.push_back(held[at]);
      return MatchAmong(request, faces.data(), faces.size());
    }
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, request, &result);
    FcPatternDestroy(request);
    return match;
  }

  Entry& EntryOf(std::string_view name) {
    if (const auto it = entries.find(name); it != entries.end()) return it->second;
    const std::string_view kept = Keep(name);
    return entries.emplace(kept, Route(kept)).first->second;
  }

  // `name` outlives the entry (the entry's request may be part of it).
  Entry Route(std::string_view name) {
    Entry entry;
    if (RouteInstalled(name, entry)) return entry;
    entry.face = Substitute(std::string(name));
    entry.picked = true;
    return entry;
  }

  // Route for a name that draws in an installed face; false when it is installed
  // nowhere (it draws in a substitute).
  bool RouteInstalled(std::string_view name, Entry& entry) {
    if (Installed(name, entry)) return true;
    // A bitmap family listed with its point sizes ("Fixed 14,18"): the family itself.
    if (const std::string_view family = WithoutSizeListUtf8(name); !family.empty()) {
      if (Installed(family, entry)) return true;
    }
    return false;
  }

  // An installed family's, full name's or PostScript name's entry; false for any
  // other name. `name` outlives the entry.
  bool Installed(std::string_view name, Entry& entry) {
    if (name.empty()) return false;
    const std::string_view key = Key(name, false);
    if (const auto family = families.find(key); family != families.end()) {
      // Among the family's own faces: a family request prefers them to any other.
      entry.family = &family->second;
      entry.request = name;
      return true;
    }
    // A face's full name, else its PostScript name, fixes the face.
    for (const auto* names : {&fullNames, &postScriptNames}) {
      if (const auto face = names->find(key); face != names->end()) {
        entry.at = face->second;
        entry.face = held[entry.at];
        FcPatternReference(entry.face);
        entry.picked = true;
        return true;
      }
    }
    return false;
  }

  FcPattern* Face(Entry& entry) {
    if (!entry.picked) {
      entry.face = Match(Request(std::string(entry.request)), entry.family);
      entry.picked = true;
    }
    return entry.face;
  }

  // Whether fontconfig's matching might find `family` among the faces' families (it
  // compares them without regard to blanks and case, folding text beyond ASCII by
  // its own table). Told for certain only for an ASCII family; any other is assumed
  // found.
  bool FamilyOfAFace(const std::string& family) const {
    const std::string asked = Skeleton(family);
    if (!IsAscii(asked)) return true;
    const char first = asked.empty() ? '\0' : asked.front();
    return std::any_of(familyNames.begin(), familyNames.end(), [&](const FamilyName& known) {
      // An ASCII family starting otherwise is told apart without reading it.
      if (known.ascii && known.first != first) return false;
      return MaySkeletonMatch({known.text, known.size}, known.ascii, asked);
    });
  }

  // fontconfig's substitute for a name installed nowhere. Its request is the name
  // (strong, first) before what the configuration added; when no face has that
  // family, the name scores alike on every face, so two names whose requests are
  // otherwise the same get the same face: one match answers them all.
  FcPattern* Substitute(const std::string& name) { return SubstituteFace(SubstituteRequest(name), std::nullopt); }

  // A substitute's request, and, when no face has the name as a family, the same
  // request without the name (which two such names may share).
  struct Requested {
    FcPattern* request = nullptr;  // owned
    FcPattern* rest = nullptr;     // owned
  };

  // Reads the index only, so it may run beside the routing of other names.
  Requested SubstituteRequest(const std::string& name) const {
    Requested requested;
    requested.request = Request(name);
    if (requested.request == nullptr) return requested;
    FcChar8* first = nullptr;
    if (FcPatternGetString(requested.request, FC_FAMILY, 0, &first) == FcResultMatch && name == View(first) &&
        !FamilyOfAFace(name)) {
      requested.rest = FcPatternDuplicate(requested.request);
      if (requested.rest != nullptr) FcPatternRemove(requested.rest, FC_FAMILY, 0);
    }
    return requested;
  }

  // The face for `requested` (whose patterns it takes): an earlier substitute's when
  // the requests are otherwise the same, else `matched` when given (fontconfig's
  // match of the request, worked out ahead; owned), else fontconfig's match now.
  FcPattern* SubstituteFace(Requested requested, std::optional<FcPattern*> matched) {
    auto [request, rest] = requested;
    if (request == nullptr) return matched ? *matched : nullptr;
    if (rest != nullptr) {
      for (const auto& [otherRest, face] : substitutes) {
        if (SameRequest(rest, otherRest)) {
          FcPatternDestroy(rest);
          FcPatternDestroy(request);
          if (matched && *matched != nullptr) FcPatternDestroy(*matched);
          if (face != nullptr) FcPatternReference(face);
          return face;
        }
      }
    }
    FcPattern* face = nullptr;
    if (matched) {
      face = *matched;
      FcPatternDestroy(request);
    } else {
      face = Match(request, nullptr);
    }
    if (rest != nullptr) {
      if (face != nullptr) FcPatternReference(face);
      substitutes.emplace_back(rest, face);
    }
    return face;
  }

  // The same values, and the same bindings of the families (strong ones score
  // before the language, weak ones after it).
  static bool SameRequest(FcPattern* a, FcPattern* b) {
    if (!FcPatternEqual(a, b)) return false;
    for (int i = 0;; ++i) {
      FcValue va, vb;
      FcValueBinding ba = FcValueBindingWeak, bb = FcValueBindingWeak;
      const FcResult ra = FcPatternGetWithBinding(a, FC_FAMILY, i, &va, &ba);
      const FcResult rb = FcPatternGetWithBinding(b, FC_FAMILY, i, &vb, &bb);
      if (ra != rb) return false;
      if (ra != FcResultMatch) return true;
      if (ba != bb) return false;
    }
  }

  // Covers for an indexed face, asked once a query.
  bool CoversFace(std::uint32_t at) {
    std::int8_t& answer = covered[at];
    if (answer < 0) answer = Covers(held[at]) ? 1 : 0;
    return answer == 1;
  }

  // Whether `face` has what the query asks for.
  bool Covers(FcPattern* face) const { return FaceCovers(face, characters, language); }

  bool Matches(Entry& entry) {
    if (entry.at != kNone) return CoversFace(entry.at);
    if (!entry.picked) {
      // The face picked is one of the family's, with its own character and language
      // sets: when all the family's faces answer alike, that is the answer, and the
      // pick (a substitution and a match) is not needed.
      const Faces& faces = *entry.family;
      const bool first = CoversFace(faces.front());
      if (std::all_of(faces.begin() + 1, faces.end(), [&](std::uint32_t at) { return CoversFace(at) == first; })) {
        return first;
      }
    }
    FcPattern* face = Face(entry);
    return face != nullptr && Covers(face);
  }

  // Matches for names asked once (only the routes of names installed nowhere are
  // kept). The names installed nowhere are answered last, in their order, as Route
  // would answer them; the first one's request and match, which no other answer
  // changes, are worked out on a second thread meanwhile.
  std::vector<bool> MatchEach(const std::vector<std::string_view>& names) {
    ForgetEachRoutes();
    std::vector<bool> answers(names.size(), false);
    std::vector<Entry> routes(names.size());
    std::vector<bool> kept(names.size(), false);
    std::vector<std::size_t> nowhere;  // positions in `names`
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (const auto it = entries.find(names[i]); it != entries.end()) {
        kept[i] = true;
        answers[i] = Matches(it->second);
      } else if (!RouteInstalled(names[i], routes[i])) {
        nowhere.push_back(i);
      }
    }
    Requested first;
    FcPattern* firstMatch = nullptr;
    const std::function<void()> matchFirst = [&] {
      first = SubstituteRequest(std::string(names[nowhere.front()]));
      FcResult result = FcResultNoMatch;
      if (first.request != nullptr) firstMatch = FcFontMatch(nullptr, first.request, &result);
    };
    const bool aside = worker != nullptr && !nowhere.empty();
    if (aside) worker->Offer(matchFirst);
    std::vector<Requested> others;  // of nowhere[1...]
    std::vector<std::optional<Entry>> routed(names.size());
    try {
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (kept[i] || (!nowhere.empty() && std::binary_search(nowhere.begin(), nowhere.end(), i))) continue;
        answers[i] = Matches(routes[i]);
        routed[i] = routes[i];  // with the face it holds, if any
      }
      for (std::size_t k = 1; k < nowhere.size(); ++k) {
        others.push_back(SubstituteRequest(std::string(names[nowhere[k]])));
      }
    } catch (...) {
      if (aside) worker->Withdraw();
      throw;
    }
    if (aside) {
      worker->Finish();
    } else if (!nowhere.empty()) {
      matchFirst();
    }
    // The second thread has served its purpose: it ends now instead of waiting awake.
    worker.reset();
    eachNames = names;
    eachRoutes = std::move(routed);
    for (std::size_t k = 0; k < nowhere.size(); ++k) {
      FcPattern* face = k == 0 ? SubstituteFace(first, firstMatch) : SubstituteFace(others[k - 1], std::nullopt);
      answers[nowhere[k]] = face != nullptr && Covers(face);
      // Kept as the name's route (a substitution costs more than the few entries):
      // saving the faces asks for it again.
      Entry route;
      route.face = face;
      route.picked = true;
      if (entries.find(names[nowhere[k]]) == entries.end()) {
        entries.emplace(Keep(names[nowhere[k]]), route);
      } else if (face != nullptr) {
        FcPatternDestroy(face);  // a name asked twice
      }
    }
    return answers;
  }

  // What Matches asks (CoverageIndex::SetQuery).
  void SetQuery(const std::vector<char32_t>& asked, const std::string& tag) {
    if (characters != nullptr) FcCharSetDestroy(characters);
    if (language != nullptr) FcLangSetDestroy(language);
    characters = nullptr;
    language = nullptr;
    std::fill(covered.begin(), covered.end(), std::int8_t{-1});
    characters = CharSetOf(asked);
    language = LangSetOf(tag);
  }

  // An indexed face with the same file, face number and sets as `face`, fontconfig's
  // match among `candidates` (all faces when null).
  std::optional<std::uint32_t> IndexedLike(FcPattern* face, const Faces* candidates) {
    if (const auto known = likeFaces.find(face); known != likeFaces.end()) return known->second;
    const auto same = [&](std::uint32_t at) {
      return FileAndIndex(held[at]) == FileAndIndex(face) && SameSets(held[at], face);
    };
    std::optional<std::uint32_t> like;
    if (candidates != nullptr) {
      const auto it = std::find_if(candidates->begin(), candidates->end(), same);
      if (it != candidates->end()) like = *it;
    } else {
      for (std::uint32_t at = 0; at < held.size() && !like; ++at) {
        if (same(at)) like = at;
      }
    }
    likeFaces.emplace(face, like);
    return like;
  }

  // The face whose answer is `entry`'s answer to every query (kNone: none answers).
  std::optional<std::uint32_t> AnsweringFace(Entry& entry) {
    if (entry.at != kNone) return entry.at;
    if (!entry.picked) {
      // Faces alike: any of them answers (Matches needs no pick then).
      const Faces& faces = *entry.family;
      const auto alike = [&](std::uint32_t at) { return SameSets(held[at], held[faces.front()]); };
      if (std::all_of(faces.begin() + 1, faces.end(), alike)) return faces.front();
      return kPickLater;
    }
    FcPattern* face = Face(entry);
    if (face == nullptr) return kNone;
    return IndexedLike(face, entry.family);
  }

  // AnsweringFace of a family not picked yet whose faces have other sets: the pick is
  // saved as the family's faces and request, for a later query to make when it needs it.
  static constexpr std::uint32_t kPickLater = kNone - 1;

  std::optional<SavedCoverage> Save(const std::vector<std::string_view>& names) {
    SavedCoverage saved;
    std::unordered_map<std::uint32_t, std::uint32_t> saving;  // position -> in saved.faces
    saved.names.reserve(names.size());
    // The last MatchEach's routes serve when these are its names (the same text in
    // the same place).
    const bool routedHere =
        names.size() == eachNames.size() && std::equal(names.begin(), names.end(), eachNames.begin(),
                                                       [](std::string_view a, std::string_view b) {
                                                         return a.data() == b.data() && a.size() == b.size();
                                                       });
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::string_view name = names[i];
      std::optional<Entry>* route = routedHere && eachRoutes[i] ? &eachRoutes[i] : nullptr;
      Entry& entry = route != nullptr ? **route : EntryOf(name);
      const std::optional<std::uint32_t> at = AnsweringFace(entry);
      if (!at) return std::nullopt;
      if (*at == kPickLater) {
        // The family's faces in its order, which decides between faces that score alike.
        SavedCoverage::Name saving{std::string(name), static_cast<std::uint32_t>(saved.faces.size()),
                                   static_cast<std::uint32_t>(entry.family->size()), std::string(entry.request)};
        for (const std::uint32_t candidate : *entry.family) {
          saved.faces.push_back({candidate, FaceFingerprint(held[candidate])});
        }
        saved.names.push_back(std::move(saving));
        continue;
      }
      std::uint32_t face = SavedCoverage::kNoFace;
      if (*at != kNone) {
        face = saving.try_emplace(*at, static_cast<std::uint32_t>(saved.faces.size())).first->second;
        if (face == saved.faces.size()) saved.faces.push_back({*at, FaceFingerprint(held[*at])});
      }
      saved.names.push_back({std::string(name), face, 0, {}});
    }
    return saved;
  }

  // Asks every face the query ahead of the names.
  void AskEveryFace() {
    for (std::uint32_t at = 0; at < held.size(); ++at) CoversFace(at);
  }

  // Indexes fontconfig's current faces.
  void Build() {
    available = true;
    const std::array<FcFontSet*, 2> sets{FcConfigGetFonts(nullptr, FcSetSystem),
                                         FcConfigGetFonts(nullptr, FcSetApplication)};
    // Sized once: tables that grow leave their old buckets in the arena.
    std::size_t faces = 0;
    for (const FcFontSet* set : sets) faces += set != nullptr ? static_cast<std::size_t>(set->nfont) : 0;
    Reserve(faces);
    for (const FcFontSet* set : sets) {
      if (set == nullptr) continue;
      for (int i = 0; i < set->nfont; ++i) Add(set->fonts[i]);
    }
  }
};

CoverageIndex::CoverageIndex(Fold fold) : index_(std::make_unique<Index>(fold)) {
  if (FcInit()) index_->Build();
}

CoverageIndex::CoverageIndex(Fold fold, const std::vector<char32_t>& characters, const std::string& language,
                             const std::function<void()>& alongside)
    : index_(std::make_unique<Index>(fold)) {
  if (!FcInit()) {
    alongside();
    return;
  }
  MakeConfigurationLock();
  index_->worker = std::make_unique<SideWorker>();
  index_->worker->Offer([&] {
    index_->Build();
    index_->SetQuery(characters, language);
    index_->AskEveryFace();
  });
  try {
    alongside();
  } catch (...) {
    index_->worker->Withdraw();
    throw;
  }
  index_->worker->Finish();
}

CoverageIndex::~CoverageIndex() = default;

bool CoverageIndex::Available() const { return index_->available; }

void CoverageIndex::SetQuery(const std::vector<char32_t>& characters, const std::string& language) {
  index_->SetQuery(characters, language);
}

void CoverageIndex::Prepare(std::string_view name) {
  if (index_->available) index_->EntryOf(name);
}

bool CoverageIndex::Matches(std::string_view name) {
  return index_->available && index_->Matches(index_->EntryOf(name));
}

std::vector<bool> CoverageIndex::MatchEach(const std::vector<std::string_view>& names) {
  return index_->available ? index_->MatchEach(names) : std::vector<bool>(names.size(), false);
}

std::optional<SavedCoverage> CoverageIndex::Save(const std::vector<std::string_view>& names) {
  return index_->available ? index_->Save(names) : std::nullopt;
}

std::optional<std::vector<bool>> CoverageIndex::MatchSaved(const SavedCoverage& saved,
                                                           const std::vector<char32_t>& characters,
                                                           const std::string& language) {
  std::vector<FcPattern*> faces;
  faces.reserve(saved.faces.size());
  FcFontSet* system = FcConfigGetFonts(nullptr, FcSetSystem);
  FcFontSet* application = FcConfigGetFonts(nullptr, FcSetApplication);
  const std::size_t inSystem = system != nullptr ? static_cast<std::size_t>(system->nfont) : 0;
  const std::size_t inApplication = application != nullptr ? static_cast<std::size_t>(application->nfont) : 0;
  for (const SavedCoverage::Face& face : saved.faces) {
    FcPattern* p = nullptr;
    if (face.position < inSystem) {
      p = system->fonts[face.position];
    } else if (face.position - inSystem < inApplication) {
      p = application->fonts[face.position - inSystem];
    }
    if (p == nullptr || FaceFingerprint(p) != face.fingerprint) return std::nullopt;
    faces.push_back(p);
  }
  FcCharSet* asked = CharSetOf(characters);
  FcLangSet* tag = LangSetOf(language);
  std::vector<std::int8_t> covered(faces.size(), -1);
  const auto coveredAt = [&](std::uint32_t face) {
    if (covered[face] < 0) covered[face] = FaceCovers(faces[face], asked, tag) ? 1 : 0;
    return covered[face] == 1;
  };
  std::vector<bool> answers(saved.names.size(), false);
  for (std::size_t i = 0; i < saved.names.size(); ++i) {
    const SavedCoverage::Name& name = saved.names[i];
    if (name.face >= faces.size()) continue;  // draws in no face
    if (name.pickAmong == 0) {
      answers[i] = coveredAt(name.face);
      continue;
    }
    // A family whose faces answer alike needs no pick; else fontconfig's match among
    // them, as CoverageIndex makes it.
    const std::uint32_t end = name.face + name.pickAmong;
    const bool first = coveredAt(name.face);
    bool alike = true;
    for (std::uint32_t at = name.face + 1; at < end && alike; ++at) alike = coveredAt(at) == first;
    if (alike) {
      answers[i] = first;
      continue;
    }
    FcPattern* picked = MatchAmong(Request(name.request), faces.data() + name.face, name.pickAmong);
    answers[i] = picked != nullptr && FaceCovers(picked, asked, tag);
    if (picked != nullptr) FcPatternDestroy(picked);
  }
  if (asked != nullptr) FcCharSetDestroy(asked);
  if (tag != nullptr) FcLangSetDestroy(tag);
  return answers;
}

FcPattern* CoverageIndex::FaceOf(std::string_view name) {
  return index_->available ? index_->Face(index_->EntryOf(name)) : nullptr;
}

bool CoverageIndex::KnownLanguage(const std::string& tag) {
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
