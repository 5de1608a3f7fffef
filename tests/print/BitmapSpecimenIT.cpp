// The specimen page of a bitmap font printed to a real PDF over the test fonts,
// read back with pdftotext -bbox: each pangram row is as tall as the strike the
// screen shows at that point size, not a few printer pixels.
#include "platform/print/QtPrintingLayer.h"
#include "print/SamplePage.h"
#include "support/FakeMainWindow.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace typeloom::print {
namespace {

struct Box {
  QString text;
  double yMin, yMax;
};

std::vector<Box> Words(const QString& pdf) {
  QProcess process;
  process.start("pdftotext", {"-bbox", pdf, "-"});
  process.waitForFinished(30000);
  const QString html = QString::fromUtf8(process.readAllStandardOutput());
  static const QRegularExpression word(
      R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<Box> words;
  for (const QString& line : html.split(u'\n')) {
    const auto m = word.match(line);
    if (m.hasMatch()) words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

TEST(BitmapSpecimenIT, PangramRowsAreAsTallAsTheScreensStrikes) {
  QTemporaryDir dir;
  const QString pdf = dir.filePath("specimen.pdf");
  platform::QtPrintingLayer layer([&](const QString&) { return pdf; });
  layer.SelectPrinter(platform::kPrintToFilePrinter);
  test::FakeMainWindow main;
  main.fontName = "Detail Print";  // strikes of 11, 16, 24 and 32 pixels: 8, 12, 18 and 24 points
  SamplePagePrinter page(main, layer);
  page.PrintSamplePage();
  layer.EndDocument();

  std::vector<double> heights;
  for (const Box& w : Words(pdf)) {
    if (w.text == "quick") heights.push_back(w.yMax - w.yMin);
  }
  // The strike the screen (96 dpi here) draws each printed size with, in points.
  const int strikes[] = {11, 16, 24, 32};
  const int sizes[] = {8, 12, 18, 24, 36, 48, 60, 72};
  ASSERT_EQ(heights.size(), std::size(sizes));
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    const double pixels = sizes[i] * 96.0 / 72.0;
    int strike = strikes[0];
    for (const int s : strikes) {
      if (std::abs(s - pixels) < std::abs(strike - pixels)) strike = s;
    }
    const double expected = strike * 72.0 / 96.0;
    EXPECT_NEAR(heights[i], expected, expected * 0.15) << sizes[i] << " points";
  }
}

}  // namespace
}  // namespace typeloom::print
