// The graphics-system facts: the rule over read table facts, and the reader over
// sfnt bytes built here, malformed ones included.
#include "fontfile/SfntBuilder.h"
#include "platform/graphics/FaceTables.h"

#include <gtest/gtest.h>

#include <functional>

namespace typeloom::platform {
namespace {

using typeloom::testing::Bytes;
using typeloom::testing::PutU16;
using typeloom::testing::PutU32;
using typeloom::testing::Sfnt;
using typeloom::testing::SetU16;
using typeloom::testing::SetU32;

FaceTables TrueType(std::array<std::uint8_t, 10> panose = {}) {
  FaceTables t;
  t.sfnt = true;
  t.hasOs2 = true;
  t.panose = panose;
  return t;
}
template <typename F>
FaceTables With(FaceTables t, F change) {
  change(t);
  return t;
}

struct PitchCase {
  const char* label;
  FaceTables face;
  bool scalable;
  bool fixedSpacing;
  std::uint8_t byte;
};

class PitchAndFamilyTest : public ::testing::TestWithParam<PitchCase> {};

TEST_P(PitchAndFamilyTest, DerivesTheByte) {
  const PitchCase& c = GetParam();
  EXPECT_EQ(int(PitchAndFamily(c.face, c.scalable, c.fixedSpacing)), int(c.byte));
}

using namespace pf;
INSTANTIATE_TEST_SUITE_P(
    Rule, PitchAndFamilyTest,
    ::testing::Values(
        PitchCase{"SerifStyle2IsRoman", TrueType({2, 2}), true, false, kVariablePitch | kVector | kTrueType | kRoman},
        PitchCase{"SerifStyle10IsRoman", TrueType({2, 10}), true, false, kVariablePitch | kVector | kTrueType | kRoman},
        PitchCase{"SerifStyle11IsSwiss", TrueType({2, 11}), true, false, kVariablePitch | kVector | kTrueType | kSwiss},
        PitchCase{"SerifStyle15IsSwiss", TrueType({2, 15}), true, false, kVariablePitch | kVector | kTrueType | kSwiss},
        PitchCase{"SerifStyle1AndZeroAndSixteenAreNone", TrueType({2, 1}), true, false,
                  kVariablePitch | kVector | kTrueType},
        PitchCase{"SerifStyle16IsNone", TrueType({2, 16}), true, false, kVariablePitch | kVector | kTrueType},
        PitchCase{"PostFixedPitchIsModern", With(TrueType({2, 2}), [](auto& t) { t.postFixedPitch = true; }), true,
                  false, kVector | kTrueType | kModern},
        PitchCase{"ProportionNineIsFixedAndModern", TrueType({2, 11, 0, 9}), true, false,
                  kVector | kTrueType | kModern},
        PitchCase{"ScriptBeforeFixed", With(TrueType({3, 11, 0, 9}), [](auto& t) { t.postFixedPitch = true; }), true,
                  false, kVector | kTrueType | kScript},
        PitchCase{"Decorative", TrueType({4, 2}), true, false, kVariablePitch | kVector | kTrueType | kDecorative},
        PitchCase{"CffIsDeviceNotTrueType", With(TrueType(), [](auto& t) { t.cff = true; }), true, false,
                  kVariablePitch | kVector | kDevice},
        PitchCase{"SfntIgnoresFontconfigSpacing", TrueType({2, 2}), true, true,
                  kVariablePitch | kVector | kTrueType | kRoman},
        PitchCase{"BitmapSetsOnlyThePitchBit", TrueType({3, 2}), false, false, kVariablePitch},
        PitchCase{"FixedBitmapSetsNothing", FaceTables{}, false, true, 0},
        PitchCase{"VariableBitmapWithoutTables", FaceTables{}, false, false, kVariablePitch},
        PitchCase{"Type1Fixed", FaceTables{}, true, true, kVector | kModern},
        PitchCase{"Type1Variable", FaceTables{}, true, false, kVariablePitch | kVector}),
    [](const auto& info) { return std::string(info.param.label); });

struct LanguageCase {
  const char* label;
  std::function<void(FaceTables&)> set;
  std::uint32_t bits;
};

class LanguageInfoTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageInfoTest, DerivesTheBits) {
  FaceTables t = TrueType();
  t.glyphCount = 5;
  t.mappedGlyphs = 4;
  GetParam().set(t);
  EXPECT_EQ(LanguageInfo(t), GetParam().bits);
}

using namespace fli;
INSTANTIATE_TEST_SUITE_P(
    Rule, LanguageInfoTest,
    ::testing::Values(
        LanguageCase{"StandardLatin", [](FaceTables&) {}, 0},
        LanguageCase{"Cp932", [](FaceTables& t) { t.codePageRange1 = 1u << 17; }, kDbcs},
        LanguageCase{"Cp1361", [](FaceTables& t) { t.codePageRange1 = 1u << 21; }, kDbcs},
        LanguageCase{"ThaiCodePageIsNotDoubleByte", [](FaceTables& t) { t.codePageRange1 = 1u << 16; }, 0},
        LanguageCase{"Bit22IsNotDoubleByte", [](FaceTables& t) { t.codePageRange1 = 1u << 22; }, 0},
        LanguageCase{"GposMark", [](FaceTables& t) { t.gposMarks = true; }, kDiacritic},
        LanguageCase{"GdefMarks", [](FaceTables& t) { t.gdefMarks = true; }, kDiacritic},
        LanguageCase{"UnreachedGlyph", [](FaceTables& t) { t.glyphCount = 6; }, kGlyphs},
        LanguageCase{"NoGlyphsAtAll", [](FaceTables& t) { t.glyphCount = 0, t.mappedGlyphs = 0; }, 0},
        LanguageCase{"JoiningForms", [](FaceTables& t) { t.joiningForms = true; }, kGlyphShape},
        LanguageCase{"ArabicShapesAndReorders", [](FaceTables& t) { t.mapsArabic = true; }, kGlyphShape | kReorder},
        LanguageCase{"ArabicCodePage", [](FaceTables& t) { t.codePageRange1 = 1u << 6; }, kGlyphShape | kReorder},
        LanguageCase{"OtherRightToLeftReordersOnly", [](FaceTables& t) { t.mapsOtherRightToLeft = true; }, kReorder},
        LanguageCase{"HebrewCodePage", [](FaceTables& t) { t.codePageRange1 = 1u << 5; }, kReorder},
        LanguageCase{"Kashida", [](FaceTables& t) { t.mapsKashida = true; }, kKashida},
        LanguageCase{"Ligatures", [](FaceTables& t) { t.ligatures = true; }, kLigate},
        LanguageCase{"KernTable", [](FaceTables& t) { t.kernPairs = true; }, kUseKerning},
        LanguageCase{"GposKern", [](FaceTables& t) { t.gposKern = true; }, kUseKerning}),
    [](const auto& info) { return std::string(info.param.label); });

struct CoverageCase {
  const char* label;
  std::vector<CodeRange> mapped;
  bool arabic, otherRightToLeft;
};

void PrintTo(const CoverageCase& c, std::ostream* os) { *os << c.label; }

class CoverageTest : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(CoverageTest, CountsRealCoverageOfRightToLeftScripts) {
  const ScriptCoverage coverage = CoverageOf(GetParam().mapped);
  EXPECT_EQ(coverage.arabic, GetParam().arabic);
  EXPECT_EQ(coverage.otherRightToLeft, GetParam().otherRightToLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, CoverageTest,
    ::testing::Values(
        CoverageCase{"Latin", {{0x20, 0x7E}, {0xA0, 0x17F}}, false, false},
        CoverageCase{"ByteOrderMarkIsNotArabic", {{0x20, 0x7E}, {0xFEFF, 0xFEFF}}, false, false},
        CoverageCase{"PresentationFormsEndAtFEFC", {{0xFEF0, 0xFEFF}}, false, false},
        CoverageCase{"ArabicLetters", {{0x0621, 0x064A}}, true, false},
        CoverageCase{"ArabicAcrossItsBlocks", {{0x0600, 0x0607}, {0xFE70, 0xFE77}}, true, false},
        CoverageCase{"FifteenArabicIsTooFew", {{0x0621, 0x062F}}, false, false},
        CoverageCase{"SixteenArabicIsEnough", {{0x0621, 0x0630}}, true, false},
        CoverageCase{"StrayArabicAndHebrewInALatinFace", {{0x20, 0x7E}, {0x0674, 0x0674}, {0xFB29, 0xFB29}}, false,
                     false},
        CoverageCase{"HebrewLetters", {{0x05D0, 0x05EA}}, false, true},
        CoverageCase{"HebrewPresentationForms", {{0xFB1D, 0xFB36}}, false, true},
        CoverageCase{"Syriac", {{0x0710, 0x072C}}, false, true},
        CoverageCase{"Thaana", {{0x0780, 0x07A5}}, false, true},
        CoverageCase{"NKo", {{0x07CA, 0x07EA}}, false, true},
        CoverageCase{"Adlam", {{0x1E900, 0x1E943}}, false, true},
        CoverageCase{"ScriptsAreNotAddedTogether", {{0x05D0, 0x05D7}, {0x0710, 0x0717}}, false, false},
        CoverageCase{"WholeRange", {{0, 0x10FFFF}}, true, true}),
    [](const auto& info) { return std::string(info.param.label); });

std::uint32_t Tag(const char* t) {
  return std::uint32_t(std::uint8_t(t[0])) << 24 | std::uint32_t(std::uint8_t(t[1])) << 16 |
         std::uint32_t(std::uint8_t(t[2])) << 8 | std::uint8_t(t[3]);
}

TEST(JoiningScriptTest, OnlyScriptsThatJoin) {
  for (const char* tag : {"arab", "syrc", "mong", "nko ", "mand", "mani", "phlp", "adlm", "rohg", "sogd"}) {
    EXPECT_TRUE(IsJoiningScript(Tag(tag))) << tag;
  }
  for (const char* tag : {"latn", "DFLT", "beng", "bng2", "hebr", "thai", "cyrl", "ARAB"}) {
    EXPECT_FALSE(IsJoiningScript(Tag(tag))) << tag;
  }
}

// --- The reader over bytes ---

Bytes Post(std::uint32_t fixedPitch, std::size_t size = 32) {
  Bytes b(32, 0);
  SetU32(b, 0, 0x00030000);
  SetU32(b, 12, fixedPitch);
  b.resize(size);
  return b;
}
Bytes Os2(std::uint16_t version, std::array<std::uint8_t, 10> panose, std::uint32_t codePages, std::size_t size = 96) {
  Bytes b(96, 0);
  SetU16(b, 0, version);
  for (std::size_t i = 0; i < panose.size(); ++i) b[32 + i] = panose[i];
  SetU32(b, 78, codePages);
  b.resize(size);
  return b;
}
// A Microsoft kern table with one format 0 subtable holding `pairs` pairs.
// `pairs` kerning pairs, glyph 1 before glyph 2 closer by 50 units.
void PutKernPairs(Bytes& b, std::uint16_t pairs) {
  for (int i = 0; i < pairs; ++i) {
    PutU16(b, 1);
    PutU16(b, 2);
    PutU16(b, 0xFFCE);
  }
}
Bytes MsKern(std::uint16_t tables, std::uint16_t pairs, std::uint16_t subtableLength = 0) {
  Bytes b;
  PutU16(b, 0);
  PutU16(b, tables);
  PutU16(b, 0);
  PutU16(b, subtableLength != 0 ? subtableLength : 14 + 6 * pairs);
  PutU16(b, 0x0001);  // horizontal, format 0
  PutU16(b, pairs);
  PutU16(b, 0);
  PutU16(b, 0);
  PutU16(b, 0);
  PutKernPairs(b, pairs);
  return b;
}
Bytes AppleKern(std::uint32_t tables, std::uint16_t pairs, std::uint32_t length = 0) {
  Bytes b;
  PutU32(b, 0x00010000);
  PutU32(b, tables);
  PutU32(b, length != 0 ? length : 16 + 6 * pairs);
  PutU16(b, 0x0000);  // horizontal, format 0
  PutU16(b, 0);
  PutU16(b, pairs);
  PutU16(b, 0);
  PutU16(b, 0);
  PutU16(b, 0);
  PutKernPairs(b, pairs);
  return b;
}
Bytes Cut(Bytes b, std::size_t size) {
  b.resize(size);
  return b;
}

struct KernCase {
  const char* label;
  Bytes kern;
  bool pairs;
};

class KernTableTest : public ::testing::TestWithParam<KernCase> {};

TEST_P(KernTableTest, FindsPairsInsideTheTable) {
  // In a buffer of exactly the table's size, so a read past it is caught.
  const Bytes& kern = GetParam().kern;
  auto copy = std::make_unique<std::uint8_t[]>(kern.size() + 1);
  std::copy(kern.begin(), kern.end(), copy.get());
  EXPECT_EQ(KernTableHasPairs(std::span<const std::uint8_t>(copy.get(), kern.size())), GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Kern, KernTableTest,
    ::testing::Values(KernCase{"MicrosoftOnePair", MsKern(1, 1), true},
                      KernCase{"MicrosoftNoPairs", MsKern(1, 0), false},
                      KernCase{"MicrosoftNoSubtables", MsKern(0, 1), false},
                      KernCase{"MicrosoftPairCutOff", Cut(MsKern(1, 1), 4 + 14 + 5), false},
                      KernCase{"MicrosoftHeaderCutOff", Cut(MsKern(1, 1), 9), false},
                      KernCase{"MicrosoftManyTablesClaimed", MsKern(65535, 0, 14), false},
                      KernCase{"MicrosoftOverlongSubtable", MsKern(3, 0, 0xFFFF), false},
                      KernCase{"AppleOnePair", AppleKern(1, 1), true},
                      KernCase{"AppleNoPairs", AppleKern(1, 0), false},
                      KernCase{"AppleHugeLength", AppleKern(2, 0, 0xFFFFFFFF), false},
                      KernCase{"AppleManyTablesClaimed", AppleKern(0xFFFFFFFF, 0, 8), false},
                      KernCase{"UnknownVersion", Bytes{0, 2, 0, 1, 0, 0}, false},
                      KernCase{"Empty", Bytes{}, false}, KernCase{"ThreeBytes", Bytes{0, 0, 0}, false}),
    [](const auto& info) { return std::string(info.param.label); });

FaceTables Read(const Bytes& file, unsigned index = 0) {
  auto copy = std::make_unique<std::uint8_t[]>(file.size() + 1);
  std::copy(file.begin(), file.end(), copy.get());
  return ReadFaceTables(std::span<const std::uint8_t>(copy.get(), file.size()), index);
}

TEST(FaceTablesReaderTest, ReadsPostAndOs2) {
  const FaceTables t =
      Read(Sfnt({{"OS/2", Os2(1, {2, 11, 0, 9}, (1u << 17) | 1u)}, {"post", Post(1)}, {"CFF ", Bytes(8, 0)}}));
  EXPECT_TRUE(t.sfnt);
  EXPECT_TRUE(t.cff);
  EXPECT_TRUE(t.postFixedPitch);
  EXPECT_TRUE(t.hasOs2);
  EXPECT_EQ(t.panose[1], 11);
  EXPECT_EQ(t.panose[3], 9);
  EXPECT_EQ(t.codePageRange1, (1u << 17) | 1u);
}

struct ReaderCase {
  const char* label;
  Bytes file;
  std::function<void(const FaceTables&)> check;
};

class MalformedFaceTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(MalformedFaceTest, ReadsOnlyWhatIsThere) { GetParam().check(Read(GetParam().file)); }

INSTANTIATE_TEST_SUITE_P(
    Tables, MalformedFaceTest,
    ::testing::Values(
        ReaderCase{"Empty", {}, [](const FaceTables& t) { EXPECT_FALSE(t.sfnt); }},
        ReaderCase{"Text", typeloom::testing::Latin("not a font at all"), [](const FaceTables& t) { EXPECT_FALSE(t.sfnt); }},
        ReaderCase{"PostCutBeforeFixedPitch", Sfnt({{"post", Post(1, 15)}}),
                   [](const FaceTables& t) { EXPECT_FALSE(t.postFixedPitch); }},
        ReaderCase{"Os2TooShortForPanose", Sfnt({{"OS/2", Os2(1, {3, 11}, 1u << 17, 41)}}),
                   [](const FaceTables& t) {
                     EXPECT_TRUE(t.hasOs2);
                     EXPECT_EQ(t.panose[0], 0);
                     EXPECT_EQ(t.codePageRange1, 0u);
                   }},
        ReaderCase{"Os2Version0HasNoCodePages", Sfnt({{"OS/2", Os2(0, {2, 2}, 1u << 17)}}),
                   [](const FaceTables& t) {
                     EXPECT_EQ(t.panose[1], 2);
                     EXPECT_EQ(t.codePageRange1, 0u);
                   }},
        ReaderCase{"Os2CutBeforeCodePages", Sfnt({{"OS/2", Os2(1, {2, 2}, 1u << 17, 81)}}),
                   [](const FaceTables& t) { EXPECT_EQ(t.codePageRange1, 0u); }},
        ReaderCase{"TableOffsetPastTheEnd", Sfnt({{"post", Post(1), 0xFFFFFF00}, {"OS/2", Os2(1, {2, 2}, 0)}}),
                   [](const FaceTables& t) {
                     EXPECT_FALSE(t.postFixedPitch);
                     EXPECT_EQ(t.panose[1], 2);
                   }},
        ReaderCase{"DirectoryClaimsMoreTables", Sfnt({{"post", Post(1)}}, 4000),
                   [](const FaceTables& t) { EXPECT_FALSE(t.cff); }},
        ReaderCase{"KernWithPairs", Sfnt({{"kern", MsKern(1, 2)}}), [](const FaceTables& t) { EXPECT_TRUE(t.kernPairs); }},
        ReaderCase{"NoCmapNoGlyphs", Sfnt({{"post", Post(0)}}),
                   [](const FaceTables& t) {
                     EXPECT_EQ(t.glyphCount, 0u);
                     EXPECT_EQ(t.mappedGlyphs, 0u);
                     EXPECT_EQ(LanguageInfo(t), 0u);
                   }},
        ReaderCase{"GarbageLayoutTables",
                   Sfnt({{"GSUB", Bytes(64, 0xFF)}, {"GPOS", Bytes(3, 0x01)}, {"GDEF", Bytes(40, 0xEE)},
                         {"cmap", Bytes(30, 0xFF)}, {"maxp", Bytes(3, 0)}}),
                   [](const FaceTables& t) {
                     EXPECT_FALSE(t.ligatures);
                     EXPECT_FALSE(t.gposMarks);
                   }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FaceTablesReaderTest, CollectionFaceOutOfRangeReadsNothing) {
  Bytes ttc = typeloom::testing::Latin("ttcf");
  PutU32(ttc, 0x00010000);
  PutU32(ttc, 1);
  PutU32(ttc, 16);
  const Bytes inner = Sfnt({{"post", Post(1)}});
  // The inner font's table offsets are relative to the collection's start.
  Bytes shifted = inner;
  SetU32(shifted, 12 + 8, 16 + 12 + 16);  // after the collection header, offset table and one record
  ttc.insert(ttc.end(), shifted.begin(), shifted.end());
  EXPECT_TRUE(Read(ttc, 0).sfnt);
  EXPECT_TRUE(Read(ttc, 0).postFixedPitch);
  EXPECT_FALSE(Read(ttc, 1).sfnt);
  EXPECT_FALSE(Read(ttc, 70000).sfnt);
}

}  // namespace
}  // namespace typeloom::platform
