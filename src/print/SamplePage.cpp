#include "print/SamplePage.h"

#include <array>
#include <limits>

namespace typeloom::print {
namespace {

constexpr int kLeftX = 60;
constexpr int kSampleX = 990;
constexpr int kSizeSampleX = 530;
constexpr int kRuleRightX = 11970;
constexpr int kTopY = 120;
constexpr int kRowStep = 255;

struct SizeRow {
  float points;
  std::int32_t step;
  const char* label;
};
constexpr std::array<SizeRow, 8> kSizeRows{{{8, 270, "8"},
                                           {12, 390, "12"},
                                           {18, 480, "18"},
                                           {24, 525, "24"},
                                           {36, 660, "36"},
                                           {48, 870, "48"},
                                           {60, 1145, "60"},
                                           {72, 1350, "72"}}};

}  // namespace

QStringList DetailLines(const QString& details) {
  QStringList lines;
  ForEachDetailLine(details, [&lines](QStringView line) { lines.append(line.toString()); });
  return lines;
}

void AddToLineTop(std::int32_t& lineTop, std::int32_t step) {
  std::int32_t sum = 0;
  if (__builtin_add_overflow(lineTop, step, &sum)) throw platform::PrintError("lineTop overflow");
  lineTop = sum;
}

void SamplePagePrinter::Font(const QString& face, float points, bool bold, bool italic) {
  printer_.SetFontName(face);
  printer_.SetFontSize(points);
  printer_.SetFontBold(bold);
  printer_.SetFontItalic(italic);
}

void SamplePagePrinter::Text(int x, const QString& text) {
  printer_.SetCurrentX(x);
  printer_.SetCurrentY(lineTop);
  printer_.PrintText(text);
}

void SamplePagePrinter::PrintRule() {
  printer_.SetFontBold(false);
  for (const std::int32_t offset : {0, 5, 10}) {
    std::int32_t y = lineTop;
    AddToLineTop(y, offset);
    printer_.DrawLine(kLeftX, y, kRuleRightX, y, 0);
  }
}

void SamplePagePrinter::PrintSamplePage() {
  const QString face = main_.SelectedFontName();
  const QString details = main_.DetailsText();
  const QString labelFace = QString::fromLatin1(kLabelFace);

  lineTop = kTopY;
  Font(labelFace, 28, false, false);
  Text(kLeftX, "Font Name: " + face);

  AddToLineTop(lineTop, 735);
  PrintRule();

  AddToLineTop(lineTop, 210);
  Font(labelFace, 12, false, false);
  Text(kLeftX, "Details:");
  ForEachDetailLine(details, [&](QStringView line) {
    Font(labelFace, 12, false, false);
    Text(kSampleX, line.toString());
    AddToLineTop(lineTop, kRowStep);
  });

  AddToLineTop(lineTop, 210);
  PrintRule();
  Font(labelFace, 12, false, false);

  // The three styles: label, then the alphabets and the digits, 255 apart.
  struct Style {
    std::int32_t step;
    const char* label;
    bool bold;
    bool italic;
  };
  for (const Style& style : {Style{210, "Normal:", false, false}, Style{300, "Bold:", true, false},
                             Style{300, "Italics:", false, true}}) {
    AddToLineTop(lineTop, style.step);
    Font(labelFace, 12, false, false);
    Text(kLeftX, style.label);
    bool first = true;
    for (const char* sample : {kLowerCase, kUpperCase, kDigitsLine}) {
      if (!first) AddToLineTop(lineTop, kRowStep);
      first = false;
      Font(face, 12, style.bold, style.italic);
      Text(kSampleX, sample);
    }
  }

  AddToLineTop(lineTop, 435);
  PrintRule();
  Font(labelFace, 10, false, false);

  for (const SizeRow& row : kSizeRows) {
    AddToLineTop(lineTop, row.step);
    Font(labelFace, 10, false, false);
    Text(kLeftX, row.label);
    Font(face, row.points, false, false);
    Text(kSizeSampleX, kPangram);
  }

  printer_.EndPage();
}

}  // namespace typeloom::print
