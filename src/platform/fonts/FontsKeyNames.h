#pragma once
// How the fonts view names an installed font file, so that the catalogue's cleaning
// of value names yields the font's name, its style flags and its fixed sizes, and so
// that every name can be enumerated through a 2,000-byte buffer and looked up alone.
#include "platform/fonts/InstalledFonts.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::platform::fontskey {

// Upper bound of a value name in bytes, suffix included: well under the buffer
// the catalogue enumerates with.
inline constexpr std::size_t kMaxValueNameBytes = 500;

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a
// UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

// "A & B & C (TrueType)": the faces of a file in index order joined by " & ", only
// as many as fit; the first face always stays (shortened if it alone is too long).
// `kind` is the parenthesised technology, e.g. "(TrueType)".
std::string ScalableName(const std::vector<std::string_view>& faceNames, std::string_view kind);
std::string ScalableName(const std::vector<std::string>& faceNames, std::string_view kind);

// "Fixed 8,10,12 Bold (Bitmap)", "Fixed 10, (Bitmap)": family, the point sizes
// (a single one followed by a comma), then a style that the cleaning turns into
// flags (Bold, Italic, Bold Italic). Regular styles are left out; any other style
// stays with the family ("Fixed Oblique 10, (Bitmap)") so that it is not cut off
// with the sizes.
std::string BitmapName(std::string_view family, std::string_view style, const std::set<int>& pointSizes);

// Gives every repeated value name (compared as the registry compares names, without
// regard to case) a number inside its last parentheses: the second "DejaVu Sans
// (TrueType)" becomes "DejaVu Sans (TrueType 2)"; a name without parentheses gets
// " (2)". The first of each name keeps it unchanged.
void MakeUnique(std::vector<InstalledFontFile>& files);

// The position of the first file whose base name equals `fileName` as the registry
// compares names (FoldName), or files.size() when none does.
std::size_t FindFileName(const std::vector<InstalledFontFile>& files, std::string_view fileName);

}  // namespace typeloom::platform::fontskey
