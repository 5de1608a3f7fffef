#pragma once
// The characters a coverage query asks for: `typeloom --list --covers TEXT` and the
// font list's filter. Blanks and control characters are not asked for (a font need
// not draw them); every other character is, once. Pure standard C++: TEXT comes from
// the command line as bytes and is decoded here with every bound checked.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace typeloom::app {

// The code points of `utf8`, or nothing when it is not well-formed UTF-8 (overlong
// forms, surrogates, values past U+10FFFF, truncated or stray continuation bytes).
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);

// Blanks (white space and the no-break spaces) and control characters (C0, DEL, C1).
bool IgnoredForCoverage(char32_t c);

// The characters of `text` a font must have, ascending and each once; blanks and
// controls left out.
std::vector<char32_t> CoverageCharacters(std::u32string_view text);

// A language tag as fontconfig writes it: lower case, "_" as "-" ("zh_TW" gives
// "zh-tw"); empty when the tag holds anything but letters, digits, "-" and "_", or
// is empty or longer than 32 characters.
std::string NormalizeLanguageTag(std::string_view tag);

// The arguments after `--list`: `--covers TEXT` and `--lang TAG`, each at most once,
// in either order. On a mistake `error` is the line for standard error (without the
// program's name); a tag fontconfig does not know is the caller's to find.
struct ListQuery {
  std::vector<char32_t> characters;  // CoverageCharacters of TEXT; empty without --covers
  std::string language;              // the normalised tag; empty without --lang
  std::string rawLanguage;           // TAG as given
  bool hasLanguage = false;          // --lang was given
  std::string error;
};
ListQuery ParseListQuery(const std::vector<std::string_view>& arguments);

// What `typeloom --details --coverage FONT` prints: "Characters: N" and
// "Languages:" with the tags after it, each line ended by a line feed.
std::string CoverageSummary(std::size_t characterCount, const std::vector<std::string>& languages);

}  // namespace typeloom::app
