#pragma once
// The graphics system's two facts about a face, derived from the face's own tables:
// the pitch-and-family byte and the language-information bits. This is the
// program's rule for them (the details panel shows a line per set bit):
//
// Pitch-and-family byte (the TrueType derivation):
//   0x01 variable pitch  set unless post.isFixedPitch is non-zero, or an OS/2 table
//                        exists and PANOSE proportion (byte 3) is 9 (monospaced).
//                        A face without tables (bitmap, Type 1) takes fontconfig's
//                        spacing instead: mono or charcell is fixed pitch.
//   0x02 vector          every scalable outline.
//   0x04 TrueType        an sfnt face without a `CFF ` table.
//   0x08 device          instead of TrueType, when a `CFF ` table exists
//                        (PostScript-outline OpenType).
//   high nibble          PANOSE family kind (byte 0) 3 -> script (4), 4 -> decorative
//                        (5); otherwise fixed pitch or PANOSE proportion 9 -> modern
//                        (3); otherwise PANOSE serif style (byte 1) 2-10 -> Roman (1),
//                        11-15 -> Swiss (2); otherwise none (0).
//   A bitmap (non-scalable) face sets only the pitch bit.
//
// Language-information bits:
//   0x00001 double byte       OS/2 ulCodePageRange1 has a CJK code page (bits 17-21:
//                             932, 936, 949, 950, 1361).
//   0x00100 diacritics        GPOS has `mark` or `mkmk`, or GDEF classes a glyph as mark.
//   0x40000 unreached glyphs  the face holds more glyphs (maxp) than its cmap maps,
//                             .notdef aside.
//   0x00010 glyph shapes      the contextual forms of a joining script: GSUB has `init`,
//                             `medi`, `fina` or `isol` in a language system of a joining
//                             script's script tag (Arabic, Syriac, Mongolian, N'Ko,
//                             Mandaic, Manichaean, Psalter Pahlavi, Adlam, Hanifi
//                             Rohingya, Sogdian, Chorasmian, Old Uyghur, Phags-pa), or
//                             the face covers Arabic. The same features elsewhere (a
//                             Latin swash `fina`, a Bengali `init`) are not shaping by
//                             joining and do not count.
//   0x00400 kashida           the cmap maps U+0640.
//   0x00020 ligatures         GSUB has `liga`, `rlig` or `clig`.
//   0x00008 kerning           a `kern` table holds at least one pair, or GPOS has `kern`.
//                             The line reports that the face carries kerning data; on
//                             Linux text is shaped through GPOS, so a GPOS `kern`
//                             feature counts as much as the older table.
//   0x00002 reordering        the face covers a right-to-left script: OS/2
//                             ulCodePageRange1 bit 5 (1255 Hebrew) or 6 (1256 Arabic),
//                             or the cmap maps at least kRightToLeftCoverage characters
//                             of one right-to-left script's blocks: Hebrew (U+0590-05FF,
//                             U+FB1D-FB4F), Arabic (below), Syriac (U+0700-074F,
//                             U+0860-086F), Thaana (U+0780-07BF), N'Ko (U+07C0-07FF),
//                             Samaritan (U+0800-083F), Mandaic (U+0840-085F), Adlam
//                             (U+1E900-1E95F). A stray character or two of such a block
//                             in a Latin face is no coverage.
//   "Covers Arabic" is code page 1256, or the cmap mapping at least kRightToLeftCoverage
//   characters of the Arabic blocks: U+0600-06FF, U+0750-077F, U+0870-08FF,
//   U+FB50-FDFF, U+FE70-FEFC (U+FEFF, the byte-order mark that most fonts map, is
//   not Arabic).
// A face with none of these has 0.
//
// The reader takes the bytes of a font file (an sfnt or a collection) and never
// reads outside them; anything it cannot read counts as absent.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace typeloom::platform {

// What the rule reads from one face.
struct FaceTables {
  bool sfnt = false;  // the bytes hold an sfnt face with at least one table
  bool cff = false;   // a `CFF ` table exists
  bool postFixedPitch = false;
  bool hasOs2 = false;
  std::array<std::uint8_t, 10> panose{};
  std::uint32_t codePageRange1 = 0;  // 0 when the OS/2 table has none (version 0)
  bool gposMarks = false;            // GPOS `mark` or `mkmk`
  bool gdefMarks = false;            // GDEF classes a glyph as mark
  unsigned glyphCount = 0;           // maxp
  unsigned mappedGlyphs = 0;         // distinct glyphs other than .notdef that the cmap reaches
  bool joiningForms = false;         // GSUB `init`, `medi`, `fina`, `isol` under a joining script
  bool mapsArabic = false;           // covers Arabic by its cmap
  bool mapsOtherRightToLeft = false; // covers another right-to-left script by its cmap
  bool mapsKashida = false;          // U+0640
  bool ligatures = false;            // GSUB `liga`, `rlig`, `clig`
  bool kernPairs = false;            // a `kern` table with at least one pair
  bool gposKern = false;             // GPOS `kern`
};

// Characters of one right-to-left script a cmap must map for the face to cover it.
inline constexpr unsigned kRightToLeftCoverage = 16;

// A run of mapped code points, first and last included.
struct CodeRange {
  std::uint32_t first, last;
};
struct ScriptCoverage {
  bool arabic = false;
  bool otherRightToLeft = false;
};
// Which right-to-left scripts the mapped code points cover (the rule above).
ScriptCoverage CoverageOf(std::span<const CodeRange> mapped);

// Whether an OpenType script tag names a joining script (the rule above).
bool IsJoiningScript(std::uint32_t scriptTag);

// Reads face `faceIndex` of the file bytes `data`.
FaceTables ReadFaceTables(std::span<const std::uint8_t> data, unsigned faceIndex);

// True when a `kern` table's bytes hold at least one kerning pair (a format 0
// subtable, Microsoft or Apple layout, with a pair inside the table).
bool KernTableHasPairs(std::span<const std::uint8_t> kern);

namespace pf {
inline constexpr std::uint8_t kVariablePitch = 0x01, kVector = 0x02, kTrueType = 0x04, kDevice = 0x08;
inline constexpr std::uint8_t kRoman = 0x10, kSwiss = 0x20, kModern = 0x30, kScript = 0x40, kDecorative = 0x50;
}  // namespace pf

namespace fli {
inline constexpr std::uint32_t kDbcs = 0x00001, kReorder = 0x00002, kUseKerning = 0x00008, kGlyphShape = 0x00010,
                               kLigate = 0x00020, kDiacritic = 0x00100, kKashida = 0x00400, kGlyphs = 0x40000;
}  // namespace fli

// The pitch-and-family byte. `scalable` and `fixedSpacing` are the font system's
// (fontconfig's) view of the face; `fixedSpacing` counts only for a face without tables.
std::uint8_t PitchAndFamily(const FaceTables& face, bool scalable, bool fixedSpacing);

// The language-information bits.
std::uint32_t LanguageInfo(const FaceTables& face);

}  // namespace typeloom::platform
