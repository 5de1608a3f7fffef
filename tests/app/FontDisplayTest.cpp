// The font display's decisions without a window: numbers read from size texts,
// size lists, the remembered-size choice and the details panel's lines.
#include "app/FontDisplay.h"
#include "platform/graphics/FaceTables.h"
#include "support/TestLabel.h"

#include <gtest/gtest.h>

#include <map>

namespace typeloom::app {
namespace {

namespace pf = platform::pf;
namespace fli = platform::fli;

TEST(FontDisplayTest, LeadingNumberReadsTheNumberAtTheStart) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12},  {"8.5", 8.5}, {"  14", 14},   {"10pt", 10}, {"", 0},    {"abc", 0}, {"-3", -3},
      {".5", 0.5}, {"12.", 12},  {".", 0},       {"+7", 7},    {"1,5", 1}, {"72", 72}, {"9 9", 9},
  };
  for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(FontDisplayTest, RoundsHalvesToTheEvenNeighbour) {
  const std::map<double, int> cases = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {2.4999, 2},
                                       {2.5001, 3}, {1e12, std::numeric_limits<int>::max()}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(RoundHalfEven(value), rounded) << value;
}

struct FixedCase {
  const char* label;
  const char* sizes;
  QStringList entries;
};

class FixedSizeEntriesTest : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedSizeEntriesTest, SplitsAtCommas) { EXPECT_EQ(FixedSizeEntries(GetParam().sizes), GetParam().entries); }

INSTANTIATE_TEST_SUITE_P(
    Sizes, FixedSizeEntriesTest,
    ::testing::Values(FixedCase{"Six", "8,10,12,14,18,24", {"8", "10", "12", "14", "18", "24"}},
                      FixedCase{"One", "10", {"10"}}, FixedCase{"Empty", "", {}},
                      // Halves to even; text after the number ignored.
                      FixedCase{"HalvesAndText", "8.5,9.5,10x", {"8", "10", "10"}},
                      // A trailing comma ends the list; a comma in first place reads the rest as one number.
                      FixedCase{"TrailingComma", "10,12,", {"10", "12"}},
                      FixedCase{"LeadingComma", ",10", {"0"}}, FixedCase{"DoubleComma", "8,,10", {"8", "0"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FontDisplayTest, ScalableSizesAreThoseTallerThanTheLastOffered) {
  int last = -1;
  // Every size taller than the one before: all sixteen.
  EXPECT_EQ(ScalableSizeEntries([](int pt) { return pt * 20; }, &last),
            QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"}));
  EXPECT_EQ(last, 72 * 20);
  // A bitmap font: heights step only at some sizes; a smaller height later is skipped too.
  const std::map<int, int> heights = {{8, 165}, {9, 165}, {10, 195}, {11, 195}, {12, 240}, {14, 180},
                                      {16, 285}, {18, 285}, {20, 285}, {22, 285}, {24, 360}, {26, 360},
                                      {28, 360}, {36, 360}, {48, 360}, {72, 360}};
  EXPECT_EQ(ScalableSizeEntries([&](int pt) { return heights.at(pt); }, &last),
            QStringList({"8", "10", "12", "16", "24"}));
  EXPECT_EQ(last, 360);
  // Nothing measurable: nothing offered.
  EXPECT_TRUE(ScalableSizeEntries([](int) { return 0; }).isEmpty());
}

struct RememberCase {
  const char* label;
  QStringList entries;
  int currentSize;
  int index;
};

class RememberedSizeTest : public ::testing::TestWithParam<RememberCase> {};

TEST_P(RememberedSizeTest, KeepsTheSizeOrTheNearestBelow) {
  EXPECT_EQ(RememberedSizeIndex(GetParam().entries, GetParam().currentSize), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RememberedSizeTest,
    ::testing::Values(RememberCase{"Offered", {"8", "10", "12", "14"}, 12, 2},
                      RememberCase{"LargestBelow", {"12", "18"}, 14, 0},
                      RememberCase{"AllAboveGivesTheSmallest", {"18", "24"}, 14, 0},
                      RememberCase{"AllBelowGivesTheLargest", {"8", "10", "12", "14", "18", "24"}, 36, 5},
                      RememberCase{"BetweenInTheMiddle", {"8", "10", "12", "14", "18", "24"}, 16, 3},
                      RememberCase{"Empty", {}, 12, -1},
                      // The walk stops at the first entry not below the size, in list order.
                      RememberCase{"UnsortedList", {"10", "24", "12"}, 12, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FontDisplayTest, SampleLine) {
  EXPECT_EQ(SampleLine("Arial", "12"), "Arial 12-point font");
  EXPECT_EQ(SampleLine("", ""), " -point font");
}

struct LinesCase {
  const char* label;
  std::uint8_t pitchAndFamily;
  std::uint32_t languageInfo;
  QStringList lines;
};

class GraphicsLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(GraphicsLinesTest, OneLinePerBitInOrder) {
  EXPECT_EQ(GraphicsLines({GetParam().pitchAndFamily, GetParam().languageInfo}), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Bits, GraphicsLinesTest,
    ::testing::Values(
        LinesCase{"SwissTrueType",
                  pf::kTrueType | pf::kVariablePitch | pf::kVector | pf::kSwiss,
                  0,
                  {"Is a TrueType font", "Is a variable pitch font", "Is a vector font", "Is a Swiss font",
                   "Is a Standard Latin Font"}},
        LinesCase{"BitmapStartsWithThePitchLine", 0, 0, {"Is a fixed pitch font", "Is a Standard Latin Font"}},
        LinesCase{"DeviceAndTrueTypeOnTwoLines",
                  pf::kTrueType | pf::kDevice | pf::kVariablePitch,
                  0,
                  {"Is a TrueType font", "Is a Device font", "Is a variable pitch font", "Is a Standard Latin Font"}},
        LinesCase{"Roman", pf::kRoman, 0, {"Is a fixed pitch font", "Is a Roman font", "Is a Standard Latin Font"}},
        LinesCase{"Modern", pf::kModern, 0, {"Is a fixed pitch font", "Is a modern font", "Is a Standard Latin Font"}},
        LinesCase{"Script", pf::kScript, 0, {"Is a fixed pitch font", "Is a script font", "Is a Standard Latin Font"}},
        LinesCase{"Decorative",
                  pf::kDecorative,
                  0,
                  {"Is a fixed pitch font", "Is a decorative font", "Is a Standard Latin Font"}},
        LinesCase{"FamilySixAndAboveGiveNoLine", 0x60 | pf::kVariablePitch, 0,
                  {"Is a variable pitch font", "Is a Standard Latin Font"}},
        LinesCase{"EveryLanguageBitInTheTablesOrder",
                  pf::kVariablePitch,
                  fli::kDbcs | fli::kReorder | fli::kUseKerning | fli::kGlyphShape | fli::kLigate | fli::kDiacritic |
                      fli::kKashida | fli::kGlyphs,
                  {"Is a variable pitch font", "Double Byte Character Set", "Contains diacritic characters",
                   "Contains non-displaying glyphs", "Contains special glyph shapes", "Supports Kashida glyphs",
                   "Supports ligatures", "Contains kerning tables", "Characters need to be reordered"}},
        // The ligature bit has a line of its own, not the kashida bit's.
        LinesCase{"LigaturesAlone", pf::kVariablePitch, fli::kLigate,
                  {"Is a variable pitch font", "Supports ligatures"}},
        LinesCase{"KashidaAlone", pf::kVariablePitch, fli::kKashida,
                  {"Is a variable pitch font", "Supports Kashida glyphs"}},
        // Bits without a line add nothing, and no Standard Latin line either.
        LinesCase{"UnlistedBitsOnly", pf::kVariablePitch, 0x80000, {"Is a variable pitch font"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FontDisplayTest, VersionLine) {
  const struct {
    const char* version;
    const char* line;
  } cases[] = {
      {"Version 2.37", "Version 2.37"}, {"VERSION 1.0", "VERSION 1.0"}, {"version 3", "version 3"},
      {"1.0", "Version 1.0"},           {"", ""},                       {"Version", "Version Version"},
      {"Versions 2", "Version Versions 2"},
  };
  for (const auto& c : cases) EXPECT_EQ(VersionLine(c.version), c.line) << c.version;
}

TEST(FontDisplayTest, FirstSentenceOfTheCopyright) {
  EXPECT_EQ(FirstSentence("Copyright 2003 Maker. All rights reserved."), "Copyright 2003 Maker");
  EXPECT_EQ(FirstSentence("No period here"), "No period here");
  EXPECT_EQ(FirstSentence(".Leading"), "");
  EXPECT_EQ(FirstSentence(""), "");
}

}  // namespace
}  // namespace typeloom::app
