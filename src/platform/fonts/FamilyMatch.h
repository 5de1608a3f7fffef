#pragma once
// fontconfig's best face for a request, compared only with the faces that can win it.
#include <fontconfig/fontconfig.h>

namespace typeloom::platform {

// What FcFontMatch(config, pattern, result) answers, for a pattern already substituted.
// When no element fontconfig weighs above the family is asked for and the first family
// is bound strongly, only the faces of that family (and faces without a family) can
// score best, so only they are compared, in the order fontconfig keeps them; any other
// request is matched against every face. The caller owns the returned pattern.
FcPattern* MatchFace(FcConfig* config, FcPattern* pattern, FcResult* result);

}  // namespace typeloom::platform
