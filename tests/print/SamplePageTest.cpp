// The specimen page against a recording printing layer: every text and rule at
// the positions the page's layout gives, in its font.
#include "print/SamplePage.h"

#include "support/FakeMainWindow.h"
#include "support/FakePrintingLayer.h"
#include "support/TestLabel.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace typeloom::print {
namespace {

using test::FakePrintingLayer;
using Kind = FakePrintingLayer::Kind;

struct Row {
  QString text;
  int x, y;
  QString face;
  float points;
  bool bold, italic;
};

// The page as its layout table states it, for n detail lines (y shifted by 255·n).
std::vector<Row> ExpectedTexts(const QString& face, const QStringList& details) {
  const int s = 255 * static_cast<int>(details.size());
  const QString arial = "Arial";
  std::vector<Row> rows{{"Font Name: " + face, 60, 120, arial, 28, false, false},
                        {"Details:", 60, 1065, arial, 12, false, false}};
  for (int k = 0; k < details.size(); ++k) rows.push_back({details[k], 990, 1065 + 255 * k, arial, 12, false, false});
  struct Style {
    const char* label;
    int y;
    bool bold, italic;
  };
  for (const Style& style : {Style{"Normal:", 1485, false, false}, Style{"Bold:", 2295, true, false},
                             Style{"Italics:", 3105, false, true}}) {
    rows.push_back({style.label, 60, style.y + s, arial, 12, false, false});
    rows.push_back({"abcdefghijklmnopqrstuvwxyz", 990, style.y + s, face, 12, style.bold, style.italic});
    rows.push_back({"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 990, style.y + 255 + s, face, 12, style.bold, style.italic});
    rows.push_back({"1234567890.:,;(<{#$%&*!?}>)", 990, style.y + 510 + s, face, 12, style.bold, style.italic});
  }
  const std::pair<int, int> sizes[] = {{8, 4320},  {12, 4710}, {18, 5190}, {24, 5715},
                                       {36, 6375}, {48, 7245}, {60, 8390}, {72, 9740}};
  for (const auto& [points, y] : sizes) {
    rows.push_back({QString::number(points), 60, y + s, arial, 10, false, false});
    rows.push_back({"The quick brown fox jumps over the lazy dog.  1234567890", 530, y + s, face,
                    static_cast<float>(points), false, false});
  }
  return rows;
}

std::vector<int> ExpectedRuleYs(int detailLines) {
  const int s = 255 * detailLines;
  return {855, 860, 865, 1275 + s, 1280 + s, 1285 + s, 4050 + s, 4055 + s, 4060 + s};
}

struct LayoutCase {
  const char* name;
  QString face;
  QString details;
  QStringList lines;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class SamplePageLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SamplePageLayout, TextsAndRulesWhereTheLayoutPutsThem) {
  const LayoutCase& c = GetParam();
  test::FakeMainWindow main;
  main.fontName = c.face;
  main.details = c.details;
  FakePrintingLayer printer;
  SamplePagePrinter page(main, printer);
  page.PrintSamplePage();

  const auto texts = printer.Of(Kind::kText);
  const auto expected = ExpectedTexts(c.face, c.lines);
  ASSERT_EQ(texts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].text.toStdString());
    EXPECT_EQ(texts[i].text, expected[i].text);
    EXPECT_EQ(texts[i].x, expected[i].x);
    EXPECT_EQ(texts[i].y, expected[i].y);
    EXPECT_EQ(texts[i].face, expected[i].face);
    EXPECT_EQ(texts[i].points, expected[i].points);
    EXPECT_EQ(texts[i].bold, expected[i].bold);
    EXPECT_EQ(texts[i].italic, expected[i].italic);
  }

  const auto lines = printer.Of(Kind::kLine);
  const auto ruleYs = ExpectedRuleYs(static_cast<int>(c.lines.size()));
  ASSERT_EQ(lines.size(), ruleYs.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].x, 60);
    EXPECT_EQ(lines[i].x2, 11970);
    EXPECT_EQ(lines[i].y, ruleYs[i]);
    EXPECT_EQ(lines[i].y2, ruleYs[i]);
    EXPECT_EQ(lines[i].colour, 0U);
    EXPECT_FALSE(lines[i].bold);
  }
  // The page ends once, last; the document is left to the caller.
  ASSERT_FALSE(printer.ops.empty());
  EXPECT_EQ(printer.ops.back().kind, Kind::kEndPage);
  EXPECT_EQ(printer.Of(Kind::kEndPage).size(), 1U);
  EXPECT_TRUE(printer.Of(Kind::kEndDocument).empty());
  EXPECT_EQ(page.lineTop, 9740 + 255 * c.lines.size());
}

INSTANTIATE_TEST_SUITE_P(
    Details, SamplePageLayout,
    ::testing::Values(LayoutCase{"empty", "DejaVu Sans", "", {}},
                      LayoutCase{"one_line", "DejaVu Sans", "TrueType", {"TrueType"}},
                      LayoutCase{"trailing_crlf", "DejaVu Sans", "TrueType\r\n", {"TrueType"}},
                      LayoutCase{"blank_line_between", "Liberation Serif", "a\r\n\r\nb", {"a", "", "b"}},
                      LayoutCase{"lone_cr_and_lf_stay", "X", "a\rb\nc\r\nd", {"a\rb\nc", "d"}},
                      LayoutCase{"empty_face", "", "x", {"x"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DetailLines, CutAtEachCrLf) {
  const struct {
    QString text;
    QStringList lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\r\n", {"one"}},
      {"\r\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\r\nb", {"a\n", "b"}},
      {"a\r\r\nb", {"a\r", "b"}},
      {"a\n\rb", {"a\n\rb"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetailLines(c.text), c.lines) << test::Label(c.text.toStdString());
  }
}

TEST(SamplePage, EveryCopyStartsAtTheTopWithTheHeading) {
  test::FakeMainWindow main;
  main.details = "a\r\nb";
  FakePrintingLayer printer;
  SamplePagePrinter page(main, printer);
  for (int copy = 0; copy < 3; ++copy) page.PrintSamplePage();
  ASSERT_EQ(printer.Of(Kind::kEndPage).size(), 3U);
  int headings = 0;
  for (std::size_t i = 0; i < printer.ops.size(); ++i) {
    const auto& op = printer.ops[i];
    if (op.kind == Kind::kText && op.text.startsWith("Font Name: ")) {
      ++headings;
      EXPECT_EQ(op.y, 120);
      // The heading opens each page: first output or right after an end of page.
      EXPECT_TRUE(i == 0 || printer.ops[i - 1].kind == Kind::kEndPage);
    }
  }
  EXPECT_EQ(headings, 3);
}

TEST(SamplePage, DigitsRunFromOneToZero) {
  test::FakeMainWindow main;
  FakePrintingLayer printer;
  SamplePagePrinter(main, printer).PrintSamplePage();
  int digitRows = 0;
  for (const auto& op : printer.Of(Kind::kText)) {
    if (op.text.contains("12345678")) {
      ++digitRows;
      EXPECT_TRUE(op.text.contains("1234567890")) << op.text.toStdString();
    }
  }
  EXPECT_EQ(digitRows, 3 + 8);
}

// A failing output ends the page at that point and reaches the caller; no
// end of page follows.
TEST(SamplePage, PrinterFailureEndsThePageThere) {
  for (const int failAt : {0, 1, 5, 20}) {
    test::FakeMainWindow main;
    FakePrintingLayer printer;
    printer.failFrom = failAt;
    SamplePagePrinter page(main, printer);
    EXPECT_THROW(page.PrintSamplePage(), platform::PrintError) << failAt;
    EXPECT_EQ(printer.ops.size(), static_cast<std::size_t>(failAt));
    EXPECT_TRUE(printer.Of(Kind::kEndPage).empty());
  }
}

// Enough detail lines to carry lineTop past the 32-bit range: the page stops
// at the overflow instead of drawing at a wrapped-around y.
TEST(SamplePage, LineTopOverflowEndsThePage) {
  test::FakeMainWindow main;
  const int lines = std::numeric_limits<std::int32_t>::max() / 255 + 1;
  main.details = QString("\r\n").repeated(lines);
  FakePrintingLayer printer;
  printer.keepOps = false;
  SamplePagePrinter page(main, printer);
  EXPECT_THROW(page.PrintSamplePage(), platform::PrintError);
  // Heading, rule and label, then the detail lines until lineTop would pass the range.
  EXPECT_EQ(printer.outputs, 5 + (std::numeric_limits<std::int32_t>::max() - 1065) / 255 + 1);
  EXPECT_GE(printer.lowestY, 0);
}

TEST(AddToLineTop, ChecksTheThirtyTwoBitRange) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    std::int32_t start, step;
    bool overflows;
  } cases[] = {{120, 735, false}, {kMax - 10, 10, false}, {kMax - 10, 11, true}, {kMax, 1, true}, {0, kMax, false}};
  for (const auto& c : cases) {
    std::int32_t lineTop = c.start;
    if (c.overflows) {
      EXPECT_THROW(AddToLineTop(lineTop, c.step), platform::PrintError);
      EXPECT_EQ(lineTop, c.start);
    } else {
      AddToLineTop(lineTop, c.step);
      EXPECT_EQ(lineTop, c.start + c.step);
    }
  }
}

TEST(PrintRule, ThreeLinesWithBoldOff) {
  test::FakeMainWindow main;
  FakePrintingLayer printer;
  printer.SetFontBold(true);
  SamplePagePrinter page(main, printer);
  page.lineTop = 1000;
  page.PrintRule();
  ASSERT_EQ(printer.ops.size(), 3U);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(printer.ops[i].kind, Kind::kLine);
    EXPECT_EQ(printer.ops[i].y, 1000 + 5 * i);
    EXPECT_FALSE(printer.ops[i].bold);
  }
  EXPECT_EQ(page.lineTop, 1000);
}

}  // namespace
}  // namespace typeloom::print
