#pragma once
// fontconfig's best face for a request, compared only with the faces that can win it.
#include <fontconfig/fontconfig.h>

#include <vector>

namespace typeloom::platform {

// What FcFontMatch(config, pattern, result) answers, for a pattern already substituted.
// When no element fontconfig weighs above the family is asked for and the first family
// is bound strongly, only the faces of that family (and faces without a family) can
// score best, so only they are compared, in the order fontconfig keeps them; any other
// request is matched against every face. The caller owns the returned pattern.
FcPattern* MatchFace(FcConfig* config, FcPattern* pattern, FcResult* result);

// One walk over the faces for a family name: what FcFontList by that family answers,
// and the faces a match for the family has to compare, kept for MatchFace.
class FamilyFaces {
 public:
  // Walks the configuration's system and application faces.
  FamilyFaces(FcConfig* config, const FcChar8* family);
  // Walks the given sets instead (as FcFontSetList and FcFontSetMatch take them).
  FamilyFaces(FcFontSet** sets, int count, const FcChar8* family);

  // False when a name could not be compared here (the family or a face's name is not
  // valid text): ask fontconfig itself. The answers below hold only when decided.
  bool Decided() const { return decided_; }
  // Whether a listing by the family has a face: some face's family equals it with
  // blanks and letter case ignored, as fontconfig lists.
  bool Listed() const { return listed_; }
  // Whether some face's family is spelled exactly as the name given.
  bool Exact() const { return exact_; }

  // What FcFontSetMatch over the walked sets answers for `pattern` (substituted), as
  // MatchFace does; when the pattern's family is another name, the sets are matched
  // as a whole. The caller owns the returned pattern.
  FcPattern* Match(FcConfig* config, FcPattern* pattern, FcResult* result) const;

 private:
  void Walk(FcFontSet** sets, int count);

  const FcChar8* family_;
  FcFontSet* sets_[2] = {};
  int count_ = 0;
  std::vector<FcPattern*> faces_[2];  // per set, the faces that may carry the family
  bool decided_ = false;
  bool listed_ = false;
  bool exact_ = false;
};

}  // namespace typeloom::platform
