#include "controls/NumberFormat.h"

#include "support/TestLabel.h"

#include <gtest/gtest.h>

namespace typeloom::controls {
namespace {

constexpr const char* kDefault = "###,##0.00;(##,###.00)";

// Shown: UnformatNumeric then ApplyFormatMask (what the field shows after focus
// loss). Bare: UnformatNumeric alone. MaxLength: CalcMaxLength of the format.
// Read: the number read from the input.
enum class Kind { Shown, Bare, MaxLength, Read };

struct Row {
  Kind kind;
  const char* input;
  const char* format;
  bool positiveOnly;
  const char* expected;
};

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  static const char* const kinds[] = {"Shown", "Bare", "MaxLength", "Read"};
  return std::to_string(info.index) + "_" + kinds[static_cast<int>(info.param.kind)] + "_" +
         test::Label(info.param.input) + "_" + test::Label(info.param.format) +
         (info.param.positiveOnly ? "_positive" : "");
}

class NumberFormat : public ::testing::TestWithParam<Row> {};

TEST_P(NumberFormat, GivesTheExpectedText) {
  const Row& r = GetParam();
  const QString input = QString::fromUtf8(r.input);
  switch (r.kind) {
    case Kind::Shown: {
      const BareNumber bare = UnformatNumeric(input, r.positiveOnly);
      EXPECT_EQ(ApplyFormatMask(bare.text, bare.isPositive, r.format, r.positiveOnly).text, r.expected);
      break;
    }
    case Kind::Bare:
      EXPECT_EQ(UnformatNumeric(input, r.positiveOnly).text, r.expected);
      break;
    case Kind::MaxLength:
      EXPECT_EQ(CalcMaxLength(r.format), QString::fromUtf8(r.expected).toInt());
      break;
    case Kind::Read:
      EXPECT_EQ(ReadNumber(input), QString::fromUtf8(r.expected).toDouble());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberFormat,
    ::testing::Values(
        // Worked examples of the default format.
        Row{Kind::Shown, "1234.5", kDefault, false, "1,234.50"},
        Row{Kind::Shown, "-1234.5", kDefault, false, "(1,234.50)"},
        Row{Kind::Shown, "", kDefault, false, "0.00"},
        Row{Kind::Shown, "0", kDefault, false, "0.00"},
        Row{Kind::Shown, "5", kDefault, false, "5.00"},
        Row{Kind::Shown, ".5", kDefault, false, "0.50"},
        Row{Kind::Shown, "007", kDefault, false, "7.00"},
        Row{Kind::Shown, "1234", kDefault, false, "1,234.00"},
        Row{Kind::Shown, "123456", kDefault, false, "123,456.00"},
        Row{Kind::Shown, "1234567", kDefault, false, "234,567.00"},
        Row{Kind::Shown, "1.234", kDefault, false, "1.23"},
        Row{Kind::Shown, "999999.999", kDefault, false, "999,999.99"},
        Row{Kind::Shown, "5.", kDefault, false, "5.00"},
        Row{Kind::Shown, "-5", kDefault, false, "(5.00)"},
        Row{Kind::Shown, "-1.234", kDefault, false, "(1.23)"},
        Row{Kind::Shown, "-0.5", kDefault, false, "(.50)"},
        Row{Kind::Shown, "(1,234.50)", kDefault, false, "(1,234.50)"},
        Row{Kind::Shown, "-", kDefault, false, "0.00"},
        Row{Kind::Shown, "12a3", kDefault, false, "123.00"},
        Row{Kind::Shown, "12-3", kDefault, false, "123.00"},
        Row{Kind::Shown, "  $1,234.5 ", kDefault, false, "1,234.50"},
        Row{Kind::Shown, "-5", kDefault, true, "5.00"},
        Row{Kind::Shown, "(12", kDefault, true, "12.00"},
        // The copies field's format.
        Row{Kind::Shown, "150", "#0", false, "50"},
        Row{Kind::Shown, "-5", "#0", false, "-5"},
        Row{Kind::Shown, "", "#0", false, "0"},
        Row{Kind::Shown, "0", "#0", true, "0"},
        Row{Kind::Shown, "99", "#0", true, "99"},
        Row{Kind::Shown, "-5", "#0", true, "5"},
        Row{Kind::Shown, "250", "#0", true, "50"},
        // Literals, inner blanks, a trailing sign, a point at the mask's end.
        Row{Kind::Shown, "1234", "$#,##0.00;($#,##0.00)", false, "$1,234.00"},
        Row{Kind::Shown, "12", "$#,##0.00;($#,##0.00)", false, "$   12.00"},
        Row{Kind::Shown, "-12", "$#,##0.00;($#,##0.00)", false, "($   12.00)"},
        Row{Kind::Shown, "12", "#,##0.00-", false, "12.00-"},
        Row{Kind::Shown, "-12", "#,##0.00-", false, "12.00-"},
        Row{Kind::Shown, "1.567", "##0.0#", false, "1.56"},
        Row{Kind::Shown, "7.5", "##0.", false, "7"},
        Row{Kind::Shown, "-3", "0;(0000)", false, "(0003)"},
        // Stripping to the bare number.
        Row{Kind::Bare, "(1,234.50)", kDefault, false, "-1234.50"},
        Row{Kind::Bare, "12a3", kDefault, false, "123"},
        Row{Kind::Bare, "1.2.3", kDefault, false, "1.23"},
        Row{Kind::Bare, "5-", kDefault, false, "5"},
        Row{Kind::Bare, "  -12 ", kDefault, true, "12"},
        Row{Kind::Bare, "-0", kDefault, true, "-0"},
        // Typing limits.
        Row{Kind::MaxLength, "", kDefault, false, "10"},
        Row{Kind::MaxLength, "", "#0", false, "2"},
        Row{Kind::MaxLength, "", "0;(0000)", false, "5"},
        Row{Kind::MaxLength, "", "000;(0)", false, "3"},
        Row{Kind::MaxLength, "", "0;-00", false, "3"},
        Row{Kind::MaxLength, "", "", false, "0"},
        // Reading numbers.
        Row{Kind::Read, "1,234.00", "", false, "1"},
        Row{Kind::Read, "(5.00)", "", false, "0"},
        Row{Kind::Read, " - 1 2.5.3", "", false, "-12.5"},
        Row{Kind::Read, "+7x", "", false, "7"},
        Row{Kind::Read, "-", "", false, "0"},
        Row{Kind::Read, "", "", false, "0"}),
    RowName);

TEST(NumberFormat, ActiveMaskIsTheSectionUsedWithTheMinusPutInFront) {
  EXPECT_EQ(ApplyFormatMask("-1", false, kDefault, false).activeMask, "(##,###.00)");
  EXPECT_EQ(ApplyFormatMask("1", true, kDefault, false).activeMask, "###,##0.00");
  EXPECT_EQ(ApplyFormatMask("-1", false, "#0", false).activeMask, "-#0");
}

TEST(NumberFormat, ColourLiterals) {
  const struct {
    const char* text;
    std::optional<std::uint32_t> value;
  } cases[] = {
      {"&H80000005&", 0x80000005u}, {"&H80000008", 0x80000008u}, {"&hff00ff&", 0xFF00FFu}, {"255", 255u},
      {"16777215&", 0xFFFFFFu},     {"-1", 0xFFFFFFFFu},          {"&H", std::nullopt},     {"red", std::nullopt},
      {"&H123456789", std::nullopt}, {"&HXYZ", std::nullopt},     {"", std::nullopt},       {"99999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorLiteral(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace typeloom::controls
