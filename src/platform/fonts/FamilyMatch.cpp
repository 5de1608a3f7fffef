#include "platform/fonts/FamilyMatch.h"

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

// fontconfig compares family names with spaces left out and letters folded; both
// names are ASCII here.
bool SameAsciiFamily(const FcChar8* a, const FcChar8* b) {
  const auto next = [](const FcChar8*& s) {
    while (*s == ' ') ++s;
    const FcChar8 c = *s;
    if (c != 0) ++s;
    return (c >= 'A' && c <= 'Z') ? static_cast<FcChar8>(c - 'A' + 'a') : c;
  };
  for (;;) {
    const FcChar8 ca = next(a);
    const FcChar8 cb = next(b);
    if (ca != cb) return false;
    if (ca == 0) return true;
  }
}

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

}  // namespace

// A face of the family that agrees on everything weighed above the family scores
// nothing up to and including the family. Every face left out has another family, so
// it scores at least that face's score on the family and no less before it: it cannot
// be the best, and the faces kept meet in fontconfig's order, so ties fall the same way.
FcPattern* MatchFace(FcConfig* config, FcPattern* pattern, FcResult* result) {
  const Request request = Decide(pattern);
  if (request.family == nullptr) return FcFontMatch(config, pattern, result);
  std::vector<FcPattern*> faces[2];
  FcFontSet subsets[2] = {};
  bool winnable = false;
  const FcSetName names[2] = {FcSetSystem, FcSetApplication};
  for (int s = 0; s < 2; ++s) {
    FcFontSet* set = FcConfigGetFonts(config, names[s]);
    if (set == nullptr) continue;
    for (int i = 0; i < set->nfont; ++i) {
      const Membership member = FamilyOf(set->fonts[i], request.family);
      if (member == Membership::No) continue;
      faces[s].push_back(set->fonts[i]);
      if (member == Membership::Certain && VariableAgrees(set->fonts[i], request.variableAsked, request.variable)) {
        winnable = true;
      }
    }
    subsets[s].nfont = static_cast<int>(faces[s].size());
    subsets[s].sfont = subsets[s].nfont;
    subsets[s].fonts = faces[s].data();
  }
  if (!winnable) return FcFontMatch(config, pattern, result);
  FcFontSet* sets[2] = {&subsets[0], &subsets[1]};
  return FcFontSetMatch(config, sets, 2, pattern, result);
}

}  // namespace typeloom::platform
