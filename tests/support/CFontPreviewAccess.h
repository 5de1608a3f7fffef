#pragma once
// Reaches the private steps of CFontPreview for tests and the fuzzer.
#include "fontfile/CFontPreview.h"

#include <utility>

namespace typeloom {

struct CFontPreviewAccess {
  static std::string LookupName(const CFontPreview& p, int nameId) { return p.LookupName(nameId); }
  static bool TestStyleBit(const CFontPreview& p, int bit) { return p.TestStyleBit(bit); }
  static bool MatchFaceName(CFontPreview& p) { return p.MatchFaceName(); }
  static std::uint32_t SystemLocale(const CFontPreview& p) { return p.systemLocale_; }
  // Puts a reading's result into the object, as ReadTrueTypeTables would.
  static void Load(CFontPreview& p, fontfile::FontTables tables) {
    p.validTrueType_ = tables.validTrueType;
    p.names_ = std::move(tables.names);
    p.selectionFlags_ = tables.selectionFlags;
  }
};

}  // namespace typeloom
