// The coverage query's text: UTF-8 decoding with every malformed form refused, the
// characters asked for, language tags, and the --list arguments.
#include "app/CoverageText.h"

#include <gtest/gtest.h>

namespace {

using namespace typeloom::app;

TEST(CoverageTextTest, DecodesWellFormedUtf8AndRefusesEveryMalformedForm) {
  const struct {
    const char* bytes;
    std::size_t size;
    std::optional<std::u32string> decoded;
  } rows[] = {
      {"", 0, U""},
      {"a\0b", 3, std::u32string(U"a\0b", 3)},
      {"\xc2\x80\xdf\xbf", 4, U"\u0080\u07ff"},
      {"\xe0\xa0\x80\xef\xbf\xbf", 6, U"\u0800\uffff"},
      {"\xf0\x90\x80\x80\xf4\x8f\xbf\xbf", 8, U"\U00010000\U0010ffff"},
      {"\xce\xb1\xce\xb2", 4, U"αβ"},
      {"\x80", 1, std::nullopt},                  // a continuation byte alone
      {"\xc0\xaf", 2, std::nullopt},              // overlong two-byte form
      {"\xc1\xbf", 2, std::nullopt},
      {"\xe0\x9f\xbf", 3, std::nullopt},          // overlong three-byte form
      {"\xf0\x8f\xbf\xbf", 4, std::nullopt},      // overlong four-byte form
      {"\xed\xa0\x80", 3, std::nullopt},          // a high surrogate
      {"\xed\xbf\xbf", 3, std::nullopt},          // a low surrogate
      {"\xf4\x90\x80\x80", 4, std::nullopt},      // past U+10FFFF
      {"\xf5\x80\x80\x80", 4, std::nullopt},
      {"\xff", 1, std::nullopt},
      {"\xe2\x82", 2, std::nullopt},              // cut short at the end
      {"\xe2\x82z", 3, std::nullopt},             // a lead byte followed by ASCII
      {"\xce", 1, std::nullopt},
  };
  for (const auto& row : rows) {
    const std::string_view bytes(row.bytes, row.size);
    EXPECT_EQ(DecodeUtf8(bytes), row.decoded) << testing::PrintToString(std::string(bytes));
  }
}

TEST(CoverageTextTest, AsksForEachCharacterOnceWithoutBlanksOrControls) {
  EXPECT_EQ(CoverageCharacters(U"b a\tb\u00a0\u3000\u200b\ufeff\u0085\u007f\U0001F600a"),
            (std::vector<char32_t>{U'a', U'b', 0x1F600}));
  EXPECT_EQ(CoverageCharacters(U" \n\r\u2028\u2029\u202f"), std::vector<char32_t>{});
  EXPECT_EQ(CoverageCharacters(U"\u00ad\u200c"), (std::vector<char32_t>{0xAD, 0x200C}));  // format characters count
}

TEST(CoverageTextTest, NormalisesLanguageTagsAndRefusesOthers) {
  const struct {
    const char* tag;
    const char* normalised;
  } rows[] = {
      {"ar", "ar"}, {"zh-TW", "zh-tw"}, {"sr_Latn", "sr-latn"}, {"EN", "en"}, {"", ""}, {"e/n", ""},
      {"en us", ""}, {"de.UTF-8", ""}, {"abcdefghijklmnopqrstuvwxyz0123456", ""}, {"\xc3\xa9", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(NormalizeLanguageTag(row.tag), row.normalised) << row.tag;
}

TEST(CoverageTextTest, ParsesTheListArguments) {
  const struct {
    std::vector<std::string_view> arguments;
    std::vector<char32_t> characters;
    std::string language;
    std::string error;  // a part of the message
  } rows[] = {
      {{"--covers", "ba"}, {U'a', U'b'}, "", ""},
      {{"--lang", "zh_TW"}, {}, "zh-tw", ""},
      {{"--lang", "el", "--covers", "α"}, {U'α'}, "el", ""},
      {{"--covers", "\t"}, {}, "", "no character"},
      {{"--covers", "\xff"}, {}, "", "not valid UTF-8"},
      {{"--covers"}, {}, "", "needs a text"},
      {{"--lang"}, {}, "", "needs a language tag"},
      {{"--lang", "el", "--lang", "ar"}, {}, "", "given twice"},
      {{"--size", "12"}, {}, "", "only --covers TEXT and --lang TAG"},
  };
  for (const auto& row : rows) {
    const ListQuery query = ParseListQuery(row.arguments);
    if (row.error.empty()) {
      EXPECT_EQ(query.error, "");
      EXPECT_EQ(query.characters, row.characters);
      EXPECT_EQ(query.language, row.language);
    } else {
      EXPECT_NE(query.error.find(row.error), std::string::npos) << query.error;
    }
  }
}

TEST(CoverageTextTest, SummaryHasTheCountAndOnlyWellFormedTags) {
  const struct {
    std::size_t count;
    std::vector<std::string> tags;
    const char* printed;
  } rows[] = {
      {625, {}, "Characters: 625\nLanguages:\n"},
      {263, {"el", "en", "zh-tw"}, "Characters: 263\nLanguages: el en zh-tw\n"},
      {2, {"e\x1b[31m", "", "ar"}, "Characters: 2\nLanguages: ar\n"},  // a tag with a control is left out
  };
  for (const auto& row : rows) EXPECT_EQ(CoverageSummary(row.count, row.tags), row.printed) << row.printed;
}

}  // namespace
