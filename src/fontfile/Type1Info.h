#pragma once
// The names of a Type 1 font (.pfb, .pfa, .t1), read from the clear-text part of
// its font program: the font-info dictionary's /version, /Notice (or /Copyright
// when there is no notice), /FullName, /FamilyName and /Weight, and the font's
// /FontName. They are returned as the name records a TrueType file would hold for
// them (Windows platform, US English): 0 notice, 1 family, 2 weight, 4 full name,
// 5 version, 6 PostScript name. A Type 1 font has no head table, so the result is
// never a valid TrueType file.
//
// The reader is a small PostScript tokenizer over at most kMaxType1ClearText bytes
// of clear text (up to `eexec`); it takes the first string of each key, nested
// parentheses and escapes decoded, and never reads outside the data.
#include "fontfile/TrueTypeReader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace typeloom::fontfile {

inline constexpr std::size_t kType1SignatureBytes = 14;
inline constexpr std::size_t kMaxType1ClearText = 256u * 1024u;

// Whether a file starting with these bytes is a Type 1 font: a PFB segment header
// (0x80 0x01) or the clear-text start "%!PS-AdobeFont" / "%!FontType1".
bool IsType1Start(std::span<const std::uint8_t, kType1SignatureBytes> start);

// The names of the Type 1 font in `source`; empty when it is none.
FontTables ReadType1Info(ByteSource& source);
FontTables ReadType1Info(std::span<const std::uint8_t> data);

// The names found in clear text (the part before `eexec`), exposed for tests.
FontTables ParseType1ClearText(std::span<const std::uint8_t> text);

}  // namespace typeloom::fontfile
