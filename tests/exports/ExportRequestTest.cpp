// The export command lines: what each form asks for, and every mistake refused
// with its one line.
#include "exports/ExportRequest.h"

#include <gtest/gtest.h>

namespace typeloom::exports {
namespace {

TEST(ExportRequestTest, FormsAndTheirRequests) {
  {
    const auto parsed = ParseExportRequest({"--render", "a.PNG", "--font", "DejaVu Sans"});
    ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
    const ExportRequest& r = *parsed.request;
    EXPECT_EQ(r.kind, ExportRequest::Kind::Render);
    EXPECT_EQ(r.format, Format::Png);
    EXPECT_EQ(r.font, "DejaVu Sans");
    EXPECT_EQ(r.points, 12);
    EXPECT_EQ(r.dpi, kDefaultDpi);
    EXPECT_FALSE(r.text);
    EXPECT_FALSE(r.canvas.isValid());
    EXPECT_FALSE(r.effects.bold || r.effects.italic || r.effects.underline || r.effects.strikeOut);
  }
  {
    // Any order; a value is the next argument even when it looks like an option.
    const auto parsed = ParseExportRequest({"--font", "/tmp/x.ttf", "--text", "--bold", "--size", "10.5", "--italic",
                                            "--strikeout", "--underline", "--dpi", "300", "--canvas", "640x80",
                                            "--render", "out/sample.svg"});
    ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
    const ExportRequest& r = *parsed.request;
    EXPECT_EQ(r.format, Format::Svg);
    EXPECT_EQ(r.output, "out/sample.svg");
    EXPECT_EQ(r.text, QString("--bold"));
    EXPECT_EQ(r.points, 10.5);
    EXPECT_EQ(r.dpi, 300);
    EXPECT_EQ(r.canvas, QSize(640, 80));
    EXPECT_FALSE(r.effects.bold);
    EXPECT_TRUE(r.effects.italic && r.effects.underline && r.effects.strikeOut);
  }
  {
    const auto parsed = ParseExportRequest({"--specimen", "page.pdf", "--font", "Serif"});
    ASSERT_TRUE(parsed.request) << parsed.error.toStdString();
    EXPECT_EQ(parsed.request->kind, ExportRequest::Kind::Specimen);
    EXPECT_EQ(parsed.request->format, Format::Pdf);
  }
  EXPECT_EQ(ParseExportRequest({"--render", "x.pdf", "--font", "F", "--text", ""}).request->text, QString(""));
}

TEST(ExportRequestTest, MistakesAreRefusedWithTheirLine) {
  const struct {
    QStringList arguments;
    const char* says;
  } cases[] = {
      {{"--render", "a.png"}, "--font names the font"},
      {{"--font", "F"}, "--render or --specimen names the file"},
      {{"--render", "a.jpg", "--font", "F"}, "unknown image format of \"a.jpg\""},
      {{"--render", "noext", "--font", "F"}, "unknown image format"},
      {{"--specimen", "a.png", "--font", "F"}, "--specimen writes .pdf"},
      {{"--specimen", "a.pdf", "--font", "F", "--size", "12"}, "--size is for --render only"},
      {{"--render", "a.png", "--specimen", "b.pdf", "--font", "F"}, "cannot be combined"},
      {{"--render", "a.png", "--font", "F", "--font", "G"}, "--font is given twice"},
      {{"--render", "a.png", "--font"}, "--font needs a value"},
      {{"--render", "", "--font", "F"}, "--render needs a file name"},
      {{"--render", "a.png", "--font", "F", "--shadow"}, "unknown option \"--shadow\""},
      {{"--render", "a.png", "--font", "F", "--size", "0"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--size", "-3"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--size", "1001"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--size", "nan"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--size", "inf"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--size", "12pt"}, "--size takes"},
      {{"--render", "a.png", "--font", "F", "--dpi", "0"}, "--dpi takes"},
      {{"--render", "a.png", "--font", "F", "--dpi", "2401"}, "--dpi takes"},
      {{"--render", "a.png", "--font", "F", "--dpi", "96.5"}, "--dpi takes"},
      {{"--render", "a.png", "--font", "F", "--canvas", "0x10"}, "--canvas takes"},
      {{"--render", "a.png", "--font", "F", "--canvas", "16385x10"}, "--canvas takes"},
      {{"--render", "a.png", "--font", "F", "--canvas", "16384x16384"}, "--canvas takes"},  // area too large
      {{"--render", "a.png", "--font", "F", "--canvas", "99999999999x1"}, "--canvas takes"},
      {{"--render", "a.png", "--font", "F", "--canvas", "10*10"}, "--canvas takes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const ParsedRequest parsed = ParseExportRequest(c.arguments);
    EXPECT_FALSE(parsed.request);
    EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.says))) << parsed.error.toStdString();
    EXPECT_FALSE(parsed.error.contains(u'\n'));
  }
}

TEST(ExportRequestTest, CanvasLimitsAndSizeText) {
  EXPECT_TRUE(CanvasFits({1, 1}));
  EXPECT_TRUE(CanvasFits({kMaxCanvasSide, kMaxCanvasPixels / kMaxCanvasSide}));
  EXPECT_FALSE(CanvasFits({kMaxCanvasSide, kMaxCanvasPixels / kMaxCanvasSide + 1}));
  EXPECT_FALSE(CanvasFits({}));
  EXPECT_EQ(SizeText(12), "12");
  EXPECT_EQ(SizeText(10.5), "10.5");
}

}  // namespace
}  // namespace typeloom::exports
