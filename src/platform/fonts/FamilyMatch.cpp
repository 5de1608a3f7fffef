#include "platform/fonts/FamilyMatch.h"

#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace typeloom::platform {
namespace {

// The elements fontconfig compares before the strongly bound family, by name so that
// those of later versions count too. "variable" is handled on its own.
constexpr const char* kAboveFamily[] = {"file",  "fontwrapper", "fontformat", "namedinstance", "scalable",
                                        "color", "foundry",     "charset",    "genericfamily"};

bool IsAscii(const FcChar8* s) {
  for (; *s != 0; ++s) {
    if (*s >= 0x80) return false;
  }
  return true;
}

// fontconfig compares family names with spaces left out and letters folded.
enum class Compared { Same, Different, BeyondAscii };

// Compares a name with an ASCII family as far as both are ASCII: a difference there is
// a difference after folding too, since both fold their ASCII prefix alike. Reaching a
// byte beyond ASCII in the name first leaves the answer to the full fold.
Compared CompareWithAsciiFamily(const FcChar8* name, const FcChar8* family) {
  for (;;) {
    while (*name == ' ') ++name;
    while (*family == ' ') ++family;
    FcChar8 a = *name;
    if (a >= 0x80) return Compared::BeyondAscii;
    FcChar8 b = *family;
    if (a >= 'A' && a <= 'Z') a = static_cast<FcChar8>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<FcChar8>(b - 'A' + 'a');
    if (a != b) return Compared::Different;
    if (a == 0) return Compared::Same;
    ++name;
    ++family;
  }
}

// Both names are ASCII here.
bool SameAsciiFamily(const FcChar8* a, const FcChar8* b) { return CompareWithAsciiFamily(a, b) == Compared::Same; }

enum class Membership { No, Maybe, Certain };

// Whether the face carries the family. A face without a family ties with it, and a
// name beyond ASCII may fold to it: both are kept as possible equals.
Membership FamilyOf(FcPattern* face, const FcChar8* family) {
  FcPatternIter it;
  if (!FcPatternFindIter(face, &it, FC_FAMILY)) return Membership::Maybe;
  const int count = FcPatternIterValueCount(face, &it);
  if (count <= 0) return Membership::Maybe;
  Membership found = Membership::No;
  for (int i = 0; i < count; ++i) {
    FcValue name;
    if (FcPatternIterGetValue(face, &it, i, &name, nullptr) != FcResultMatch || name.type != FcTypeString ||
        name.u.s == nullptr || !IsAscii(name.u.s)) {
      found = Membership::Maybe;
    } else if (SameAsciiFamily(name.u.s, family)) {
      return Membership::Certain;
    }
  }
  return found;
}

// Whether the face scores nothing against the one "variable" value asked for: a face
// that does not say, or says the same or "don't care" in one of its values.
bool VariableAgrees(FcPattern* face, bool asked, FcBool wanted) {
  if (!asked) return true;
  for (int i = 0;; ++i) {
    FcBool value = FcFalse;
    const FcResult got = FcPatternGetBool(face, FC_VARIABLE, i, &value);
    if (got == FcResultNoMatch || got == FcResultNoId) return i == 0;
    if (got != FcResultMatch) return false;
    if ((value ^ wanted) != 1) return true;
  }
}

struct Request {
  const FcChar8* family = nullptr;  // null: compare with every face
  bool variableAsked = false;
  FcBool variable = FcFalse;
};

// The first family, when it decides the match.
Request Decide(FcPattern* pattern) {
  Request request;
  FcValue value;
  for (const char* object : kAboveFamily) {
    if (FcPatternGet(pattern, object, 0, &value) == FcResultMatch) return request;
  }
  if (FcPatternGet(pattern, FC_VARIABLE, 0, &value) == FcResultMatch) {
    if (value.type != FcTypeBool || FcPatternGet(pattern, FC_VARIABLE, 1, &value) != FcResultNoId) return request;
    request.variableAsked = true;
    FcPatternGetBool(pattern, FC_VARIABLE, 0, &request.variable);
  }
  FcValueBinding binding = FcValueBindingWeak;
  if (FcPatternGetWithBinding(pattern, FC_FAMILY, 0, &value, &binding) != FcResultMatch) return request;
  if (value.type != FcTypeString || value.u.s == nullptr || binding != FcValueBindingStrong || !IsAscii(value.u.s)) {
    return request;
  }
  request.family = value.u.s;
  return request;
}

// The faces of `sets` (in their order, `within[s]` when given, else all) that may carry
// the request's family; false when none of them surely does and agrees on "variable".
bool Gather(FcFontSet* const* sets, int count, const std::vector<FcPattern*>* within, const Request& request,
            std::vector<FcPattern*>* faces) {
  bool winnable = false;
  for (int s = 0; s < count; ++s) {
    if (sets[s] == nullptr) continue;
    FcPattern* const* begin = within != nullptr ? within[s].data() : sets[s]->fonts;
    const std::size_t size = within != nullptr ? within[s].size() : static_cast<std::size_t>(sets[s]->nfont);
    for (std::size_t i = 0; i < size; ++i) {
      const Membership member = FamilyOf(begin[i], request.family);
      if (member == Membership::No) continue;
      faces[s].push_back(begin[i]);
      if (member == Membership::Certain && VariableAgrees(begin[i], request.variableAsked, request.variable)) {
        winnable = true;
      }
    }
  }
  return winnable;
}

FcPattern* MatchAmong(FcConfig* config, std::vector<FcPattern*>* faces, int count, FcPattern* pattern,
                      FcResult* result) {
  FcFontSet subsets[2] = {};
  FcFontSet* sets[2] = {&subsets[0], &subsets[1]};
  for (int s = 0; s < count; ++s) {
    subsets[s].nfont = static_cast<int>(faces[s].size());
    subsets[s].sfont = subsets[s].nfont;
    subsets[s].fonts = faces[s].data();
  }
  return FcFontSetMatch(config, sets, count, pattern, result);
}

// Whether fontconfig's listing takes a name beyond ASCII as the family: it compares
// with blanks left out and letters folded by its own table, which FcStrCmpIgnoreCase
// applies; a blank is never part of a character, so leaving the blanks out first is
// the same. Empty when the name is not valid UTF-8, where that would not hold.
std::optional<bool> ListedAsFamily(const FcChar8* name, const FcChar8* family) {
  const std::size_t length = std::strlen(reinterpret_cast<const char*>(name));
  int characters = 0;
  int width = 0;
  if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()) ||
      !FcUtf8Len(name, static_cast<int>(length), &characters, &width)) {
    return std::nullopt;
  }
  const auto withoutBlanks = [](const FcChar8* s) {
    std::string kept;
    for (; *s != 0; ++s) {
      if (*s != ' ') kept.push_back(static_cast<char>(*s));
    }
    return kept;
  };
  const std::string a = withoutBlanks(name);
  const std::string b = withoutBlanks(family);
  return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(a.c_str()), reinterpret_cast<const FcChar8*>(b.c_str())) == 0;
}

}  // namespace

// A face of the family that agrees on everything weighed above the family scores
// nothing up to and including the family. Every face left out has another family, so
// it scores at least that face's score on the family and no less before it: it cannot
// be the best, and the faces kept meet in fontconfig's order, so ties fall the same way.
FcPattern* MatchFace(FcConfig* config, FcPattern* pattern, FcResult* result) {
  const Request request = Decide(pattern);
  if (request.family == nullptr) return FcFontMatch(config, pattern, result);
  FcFontSet* sets[2] = {FcConfigGetFonts(config, FcSetSystem), FcConfigGetFonts(config, FcSetApplication)};
  std::vector<FcPattern*> faces[2];
  if (!Gather(sets, 2, nullptr, request, faces)) return FcFontMatch(config, pattern, result);
  return MatchAmong(config, faces, 2, pattern, result);
}

FamilyFaces::FamilyFaces(FcConfig* config, const FcChar8* family) : family_(family) {
  FcFontSet* sets[2] = {FcConfigGetFonts(config, FcSetSystem), FcConfigGetFonts(config, FcSetApplication)};
  Walk(sets, 2);
}

FamilyFaces::FamilyFaces(FcFontSet** sets, int count, const FcChar8* family) : family_(family) {
  Walk(sets, count);
}

// One pass keeps the faces that may carry the family (a name fontconfig takes as it,
// or no family at all) and answers the listing from the same names.
void FamilyFaces::Walk(FcFontSet** sets, int count) {
  for (int s = 0; s < count && s < 2; ++s) {
    if (sets[s] != nullptr) sets_[count_++] = sets[s];
  }
  if (family_ == nullptr || *family_ == 0 || !IsAscii(family_) || count > 2) return;
  for (int s = 0; s < count_; ++s) {
    FcFontSet* set = sets_[s];
    for (int i = 0; i < set->nfont; ++i) {
      FcPattern* face = set->fonts[i];
      FcPatternIter it;
      if (!FcPatternFindIter(face, &it, FC_FAMILY)) {
        faces_[s].push_back(face);  // a face without a family ties with every family
        continue;
      }
      bool keep = true;  // until a value is seen: a family without values is none
      FcValue name;
      for (int v = 0; FcPatternIterGetValue(face, &it, v, &name, nullptr) == FcResultMatch; ++v) {
        if (v == 0) keep = false;
        if (name.type != FcTypeString || name.u.s == nullptr) return;  // fontconfig's own comparison decides
        switch (CompareWithAsciiFamily(name.u.s, family_)) {
          case Compared::Different:
            continue;
          case Compared::Same:
            exact_ = exact_ || std::strcmp(reinterpret_cast<const char*>(name.u.s),
                                           reinterpret_cast<const char*>(family_)) == 0;
            break;
          case Compared::BeyondAscii: {
            const std::optional<bool> same = ListedAsFamily(name.u.s, family_);
            if (!same) return;
            if (!*same) continue;
            break;
          }
        }
        listed_ = true;
        keep = true;
      }
      // A face left out has only names fontconfig takes as other families.
      if (keep) faces_[s].push_back(face);
    }
  }
  decided_ = true;
}

// For a family written as the name is (blanks and case aside), every face left out
// is of another family, so the faces kept hold MatchFace's whole choice.
FcPattern* FamilyFaces::Match(FcConfig* config, FcPattern* pattern, FcResult* result) const {
  const Request request = Decide(pattern);
  if (!decided_ || request.family == nullptr || !SameAsciiFamily(request.family, family_)) {
    return count_ > 0 ? FcFontSetMatch(config, const_cast<FcFontSet**>(sets_), count_, pattern, result)
                      : FcFontMatch(config, pattern, result);
  }
  std::vector<FcPattern*> faces[2];
  if (!Gather(sets_, count_, faces_, request, faces)) {
    return FcFontSetMatch(config, const_cast<FcFontSet**>(sets_), count_, pattern, result);
  }
  return MatchAmong(config, faces, count_, pattern, result);
}

}  // namespace typeloom::platform
