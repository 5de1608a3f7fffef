// The Qt printing layer writing real PDF files ("Print to File (PDF)"), read
// back with poppler's tools.
#include "platform/print/QtPrintingLayer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace typeloom::platform {
namespace {

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

int PageCount(const QString& pdf) {
  const auto match = QRegularExpression(R"(Pages:\s+(\d+))").match(Run("pdfinfo", {pdf}));
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

struct Word {
  QString text;
  double xMin, yMin;
  int page;
};

// Every word of the PDF with its box in points, from the top-left of its page.
std::vector<Word> Words(const QString& pdf) {
  std::vector<Word> words;
  const QString html = Run("pdftotext", {"-bbox", pdf, "-"});
  static const QRegularExpression page("<page ");
  static const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
  int pageNumber = 0;
  for (const QString& line : html.split(u'\n')) {
    if (line.contains(page)) ++pageNumber;
    const auto m = word.match(line);
    if (m.hasMatch()) words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble(), pageNumber});
  }
  return words;
}

class QtPrintingLayerTest : public ::testing::Test {
 protected:
  QtPrintingLayerTest()
      : layer_([this](const QString& folder) {
          asked_.append(folder);
          return answers_.isEmpty() ? QString() : answers_.takeFirst();
        }) {
    layer_.SelectPrinter(kPrintToFilePrinter);
  }
  void Text(int x, int y, const QString& text) {
    layer_.SetCurrentX(x);
    layer_.SetCurrentY(y);
    layer_.PrintText(text);
  }

  QTemporaryDir dir_;
  QStringList answers_;
  QStringList asked_;
  QtPrintingLayer layer_;
};

TEST_F(QtPrintingLayerTest, PrintToFileIsTheLastPrinter) {
  const QStringList names = layer_.PrinterNames();
  ASSERT_FALSE(names.isEmpty());
  EXPECT_EQ(names.back(), kPrintToFilePrinter);
  EXPECT_EQ(names.count(kPrintToFilePrinter), 1);
}

// Texts sit by the top of their cell at twips scaled to the page; pages ended
// with EndPage follow in one file, and no blank page trails the last one.
TEST_F(QtPrintingLayerTest, WritesPagesWithTextsByTheTopOfTheirCell) {
  const QString file = dir_.filePath("out.pdf");
  answers_ << file;
  layer_.SetFontName("DejaVu Sans");
  for (int page = 0; page < 3; ++page) {
    for (const float size : {12.0F, 36.0F}) {
      layer_.SetFontSize(size);
      Text(1440, size < 20 ? 1440 : 2880, size < 20 ? "small" : "large");
    }
    layer_.DrawLine(60, 3000, 11970, 3000, 0);
    layer_.EndPage();
  }
  layer_.EndDocument();
  ASSERT_TRUE(QFile::exists(file));
  EXPECT_EQ(PageCount(file), 3);
  const auto words = Words(file);
  ASSERT_EQ(words.size(), 6U);
  const double left = words[0].xMin - 72.0;  // the printable area's offset on the page
  const double top = words[0].yMin - 72.0;
  EXPECT_GE(top, -0.5);
  for (const Word& w : words) {
    EXPECT_NEAR(w.xMin - left, 72.0, 1.5) << w.text.toStdString();
    // pdftotext's box starts at the font's ascent above the baseline.
    EXPECT_NEAR(w.yMin - top, w.text == "small" ? 72.0 : 144.0, 2.5) << w.text.toStdString();
  }
  EXPECT_EQ(asked_.size(), 1);
}

// A cancelled file dialog fails every output of that document; the next
// document asks again, in the folder chosen last.
TEST_F(QtPrintingLayerTest, CancelledFileFailsTheDocumentOnly) {
  EXPECT_THROW(Text(60, 120, "lost"), PrintError);
  EXPECT_THROW(layer_.EndPage(), PrintError);
  EXPECT_THROW(layer_.EndDocument(), PrintError);
  EXPECT_EQ(asked_.size(), 1);  // once per document, not once per output

  const QString file = dir_.filePath("second/next.pdf");
  ASSERT_TRUE(QDir().mkpath(dir_.filePath("second")));
  answers_ << dir_.filePath("second/next");
  Text(60, 120, "kept");
  layer_.EndPage();
  layer_.EndDocument();
  EXPECT_TRUE(QFile::exists(file)) << "the .pdf suffix is added";
  EXPECT_EQ(layer_.LastFolder(), dir_.filePath("second"));

  answers_ << dir_.filePath("third.pdf");
  Text(60, 120, "again");
  EXPECT_EQ(asked_.back(), dir_.filePath("second"));
  EXPECT_NO_THROW(layer_.EndDocument());
}

TEST_F(QtPrintingLayerTest, UnknownPrinterFailsAndNothingWithoutOutput) {
  EXPECT_NO_THROW(layer_.EndDocument());  // no output, no job
  layer_.SelectPrinter("No Such Printer Here");
  EXPECT_EQ(layer_.CurrentPrinter(), "No Such Printer Here");
  EXPECT_THROW(Text(60, 120, "x"), PrintError);
  EXPECT_THROW(layer_.EndDocument(), PrintError);
  EXPECT_TRUE(asked_.isEmpty());
}

}  // namespace
}  // namespace typeloom::platform
