// The export commands of the real program against the main window over the same
// test fonts (SandboxFontsTestMain.cpp; the program inherits FONTCONFIG_FILE): the
// rendered sample against the window's drawing, pixel for pixel; the specimen PDF
// against the page printed to a file; the details JSON of every font against the
// documented schema; every failure as one line and a file left as it was.
#include "app/CommandLineFont.h"
#include "app/FontDisplay.h"
#include "app/SampleDrawing.h"
#include "app/Viewer.h"
#include "app/WindowMain.h"
#include "fontfile/CFontPreview.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/graphics/GraphicsFacts.h"
#include "platform/print/QtPrintingLayer.h"
#include "platform/ui/ListWithEdit.h"
#include "print/SamplePage.h"
#include "support/sandbox/SandboxServices.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace typeloom::app {
namespace {

const QString kSourceDir = QStringLiteral(TYPELOOM_TEST_SOURCE_DIR);
const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Result {
  int code = -1;
  QString out;
  QString err;
};

// Runs `program` to its end in `folder`.
Result Exec(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {},
            const QString& folder = {}) {
  QProcess process;
  if (!env.isEmpty()) process.setProcessEnvironment(env);
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.start(program, arguments);
  if (!process.waitForFinished(120000)) process.kill();
  Result r;
  r.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  r.out = QString::fromUtf8(process.readAllStandardOutput());
  r.err = QString::fromUtf8(process.readAllStandardError());
  return r;
}

struct Word {
  QString text;
  double xMin, yMin;
};

std::vector<Word> Words(const QString& pdf) {
  std::vector<Word> words;
  const QString html = Exec("pdftotext", {"-bbox", pdf, "-"}).out;
  static const QRegularExpression word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
  for (auto it = word.globalMatch(html); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
  }
  return words;
}

class ExportIT : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    // The program's own folders; no display at all, and a platform it cannot open:
    // the export commands pick the offscreen platform themselves.
    env_ = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
      env_.insert(name, home_.path());
    }
    env_.remove("DISPLAY");
    env_.remove("WAYLAND_DISPLAY");
    env_.insert("QT_QPA_PLATFORM", "xcb");
  }

  Result Program(const QStringList& arguments) const { return Exec(TYPELOOM_EXE, arguments, env_, out_.path()); }
  QString Out(const QString& name) const { return out_.filePath(name); }

  Viewer& Load() {
    viewer = std::make_unique<Viewer>(module, sandbox.services());
    viewer->Form_Load();
    return *viewer;
  }
  void Choose(const QString& name) {
    const int index = static_cast<int>(module.fontNames.indexOf(name));
    ASSERT_GE(index, 0) << name.toStdString();
    viewer->fontList->SetListIndex(index);
  }
  void ChooseSize(const QString& size) {
    const int index = static_cast<int>(viewer->sizeList->Items().indexOf(size));
    ASSERT_GE(index, 0) << size.toStdString();
    viewer->sizeList->SetListIndex(index);
  }

  QTemporaryDir home_;
  QTemporaryDir out_;
  QProcessEnvironment env_;
  test::SandboxServices sandbox;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
};

// Pixels that differ between two images of one size.
int DifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  }
  return count;
}

bool HasInk(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) return true;
    }
  }
  return false;
}

// --- The sample ---

TEST_F(ExportIT, RenderedPngIsTheWindowsSamplePixelForPixel) {
  Load();
  const struct {
    const char* font;
    const char* size;
    bool bold, italic, strikeOut, underline;
    const char* text;  // null: the window's own line
  } cases[] = {
      {"Detail Serif Regular", "12", false, false, false, false, nullptr},
      {"Detail Sans Regular", "24", true, false, false, true, nullptr},
      {"DetailOdd-Heavy", "36", false, true, true, false, nullptr},
      {"Test Pair Regular", "18", false, false, false, false, "Aa 0 aA"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.font);
    Choose(c.font);
    ChooseSize(c.size);
    viewer->effect[0]->setChecked(c.bold);
    viewer->effect[1]->setChecked(c.italic);
    viewer->effect[2]->setChecked(c.strikeOut);
    viewer->effect[3]->setChecked(c.underline);
    if (c.text != nullptr) {
      viewer->userText = true;
      viewer->displayText->setText(c.text);
    }
    const QImage window = viewer->displayPicture->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(HasInk(window));

    QStringList arguments = {"--render", "sample.png", "--font", c.font, "--size", c.size, "--canvas",
                             QStringLiteral("%1x%2").arg(window.width()).arg(window.height())};
    if (c.bold) arguments << "--bold";
    if (c.italic) arguments << "--italic";
    if (c.strikeOut) arguments << "--strikeout";
    if (c.underline) arguments << "--underline";
    if (c.text != nullptr) arguments << "--text" << c.text;
    const Result r = Program(arguments);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    const QImage rendered = QImage(Out("sample.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(rendered.size(), window.size());
    const int different = DifferentPixels(rendered, window);
    if (different != 0) {
      window.save(Out(QStringLiteral("window-%1.png").arg(c.size)));
      rendered.save(Out(QStringLiteral("rendered-%1.png").arg(c.size)));
      out_.setAutoRemove(false);
    }
    EXPECT_EQ(different, 0) << "see " << out_.path().toStdString();
  }
}

// Without a canvas the image is just large enough for the line: nothing of the
// window's drawing is cut, and the image's own size says the dpi.
TEST_F(ExportIT, TightCanvasHoldsTheLineAtTheGivenResolution) {
  const Result at96 = Program({"--render", "96.png", "--font", "Detail Serif Regular", "--size", "20"});
  ASSERT_EQ(at96.code, 0) << at96.err.toStdString();
  const Result at192 = Program({"--render", "192.png", "--font", "Detail Serif Regular", "--size", "20", "--dpi", "192"});
  ASSERT_EQ(at192.code, 0) << at192.err.toStdString();
  const QImage small(Out("96.png"));
  const QImage large(Out("192.png"));
  // Advances are whole pixels at each resolution, so the widths agree to about a percent.
  EXPECT_NEAR(large.width(), 2 * small.width(), small.width() / 50.0);
  EXPECT_NEAR(large.height(), 2 * small.height(), 2);
  EXPECT_NEAR(large.dotsPerMeterX() * 0.0254, 192, 1);

  QImage measure(1, 1, QImage::Format_RGB32);
  const QFont font = SampleFont("Detail Serif Regular", 20, {});
  EXPECT_EQ(small.size(), SampleCanvas(font, "Detail Serif Regular 20-point font", &measure));
  // The last letter's ink ends just before the edge (its square leaves a tenth of an
  // em free on its right): the line fills the image, nothing is cut.
  int right = -1;
  for (int y = 0; y < small.height(); ++y) {
    for (int x = 0; x < small.width(); ++x) right = qGray(small.pixel(x, y)) < 128 ? std::max(right, x) : right;
  }
  EXPECT_GE(right, small.width() - 6);
}

// SVG holds the line as outlines and PDF embeds the face: both look like the PNG.
TEST_F(ExportIT, SvgAndPdfDrawTheSameLine) {
  for (const char* file : {"s.png", "s.svg", "s.pdf"}) {
    const Result r = Program({"--render", file, "--font", "Detail Sans Regular", "--size", "24", "--bold"});
    ASSERT_EQ(r.code, 0) << file << r.err.toStdString();
  }
  const QImage png = QImage(Out("s.png")).convertToFormat(QImage::Format_RGB32);
  QFile svg(Out("s.svg"));
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  const QByteArray svgText = svg.readAll();
  EXPECT_TRUE(svgText.contains("<path")) << svgText.left(400).toStdString();
  EXPECT_FALSE(svgText.contains("<text"));
  EXPECT_TRUE(svgText.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(png.width()).arg(png.height()).toUtf8()));
  ASSERT_EQ(Exec("rsvg-convert", {"-w", QString::number(png.width()), "-h", QString::number(png.height()), Out("s.svg"),
                                  "-o", Out("svg.png")})
                .code,
            0);
  ASSERT_EQ(Exec("pdftoppm", {"-r", "96", "-png", "-singlefile", Out("s.pdf"), Out("pdf")}).code, 0);
  EXPECT_TRUE(Exec("pdffonts", {Out("s.pdf")}).out.contains("DetailSans")) << "the face is embedded";
  for (const char* file : {"svg.png", "pdf.png"}) {
    SCOPED_TRACE(file);
    const QImage other = QImage(Out(file)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(other.size(), png.size());
    // Rasterisers differ in their edges only (and PDF strokes a synthesised bold
    // where the engine widens the outline): the dark pixels mostly coincide.
    int dark = 0, shared = 0;
    for (int y = 0; y < png.height(); ++y) {
      for (int x = 0; x < png.width(); ++x) {
        const bool a = qGray(png.pixel(x, y)) < 128;
        dark += a ? 1 : 0;
        shared += a && qGray(other.pixel(x, y)) < 128 ? 1 : 0;
      }
    }
    ASSERT_GT(dark, 0);
    EXPECT_GT(shared, dark * 85 / 100);
  }
}

// --- The specimen ---

TEST_F(ExportIT, SpecimenPdfHasThePrintedPagesRows) {
  Load();
  const QString name = "Detail Serif Regular";
  Choose(name);
  const QString printed = Out("printed.pdf");
  {
    platform::QtPrintingLayer layer([&](const QString&) { return printed; });
    layer.SelectPrinter(platform::kPrintToFilePrinter);
    print::SamplePagePrinter(*viewer, layer).PrintSamplePage();
    layer.EndDocument();
  }
  const Result r = Program({"--specimen", "specimen.pdf", "--font", name});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  EXPECT_EQ(r.out + r.err, "");

  const auto expected = Words(printed);
  const auto written = Words(Out("specimen.pdf"));
  ASSERT_GT(expected.size(), 30U);
  ASSERT_EQ(written.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].text.toStdString());
    EXPECT_EQ(written[i].text, expected[i].text);
    EXPECT_NEAR(written[i].xMin, expected[i].xMin, 0.05);
    EXPECT_NEAR(written[i].yMin, expected[i].yMin, 0.05);
  }
  EXPECT_EQ(Exec("pdfinfo", {Out("specimen.pdf")}).out.contains(QRegularExpression(R"(Pages:\s+1\n)")), true);
  // Every face on the page is embedded.
  const QStringList fonts = Exec("pdffonts", {Out("specimen.pdf")}).out.split(u'\n', Qt::SkipEmptyParts).mid(2);
  ASSERT_FALSE(fonts.isEmpty());
  for (const QString& line : fonts) EXPECT_TRUE(line.contains(" yes ")) << line.toStdString();
}

// --- Details as JSON ---

TEST_F(ExportIT, DetailsJsonOfEveryFontMatchesTheSchemaAndThePanel) {
  Load();
  QStringList files;
  for (int i = 0; i < module.fontNames.size(); ++i) {
    const QString name = module.fontNames[i];
    SCOPED_TRACE(name.toStdString());
    const QString path = Out(QStringLiteral("details-%1.json").arg(i));
    std::FILE* out = std::fopen(QFile::encodeName(path).constData(), "w");
    ASSERT_NE(out, nullptr);
    const int code = PrintDetails(name, DetailsForm::Json, sandbox.services().registry, sandbox.services().fontFolder,
                                  platform::LinuxGraphicsFacts(), out, stderr);
    std::fclose(out);
    ASSERT_EQ(code, 0);
    files << path;

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject json = QJsonDocument::fromJson(file.readAll()).object();
    Choose(name);
    QStringList lines;
    for (const QJsonValue& line : json["lines"].toArray()) lines << line.toString();
    EXPECT_EQ(lines.join("\r\n"), viewer->DetailsText());
    EXPECT_EQ(json["name"].toString(), name);
    EXPECT_EQ(json["source"].toString(), "installed");
    if (json["installed"].isBool()) {
      EXPECT_EQ(json["copyright"].toString(), viewer->Copyright->text());
      EXPECT_TRUE(QFileInfo(json["file"].toString()).isFile());
    }
  }
  ASSERT_GT(files.size(), 10);
  const QString checker = kSourceDir + "/tests/exports/check_details_json.py";
  const QString schema = kSourceDir + "/docs/details.schema.json";
  const Result valid = Exec("/usr/bin/python3", QStringList{checker, schema} + files);
  EXPECT_EQ(valid.code, 0) << valid.out.toStdString() << valid.err.toStdString();
  EXPECT_EQ(valid.out, "");

  // The checker itself catches a wrong type and a missing key.
  QFile bad(Out("bad.json"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  QFile first(files.front());
  ASSERT_TRUE(first.open(QIODevice::ReadOnly));
  QJsonObject broken = QJsonDocument::fromJson(first.readAll()).object();
  broken["installed"] = "yes";
  broken.remove("lines");
  bad.write(QJsonDocument(broken).toJson());
  bad.close();
  const Result invalid = Exec("/usr/bin/python3", {checker, schema, Out("bad.json")});
  EXPECT_EQ(invalid.code, 1);
  EXPECT_TRUE(invalid.out.contains("installed")) << invalid.out.toStdString();
  EXPECT_TRUE(invalid.out.contains("lines is missing")) << invalid.out.toStdString();
}

// --- A font file the font system does not know ---

TEST_F(ExportIT, FontFileOutsideTheSetDrawsItsFaceAndIsReleasedAfterwards) {
  if (!QFileInfo::exists(kDejaVu)) GTEST_SKIP() << kDejaVu << " is not installed";
  ASSERT_EQ(platform::LocateFace("DejaVu Sans").kind, platform::FaceLocation::Kind::Substitute);

  const Result json = Program({"--details", "--json", kDejaVu});
  ASSERT_EQ(json.code, 0) << json.err.toStdString();
  const QJsonObject details = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_EQ(details["source"].toString(), "file");
  EXPECT_EQ(details["name"].toString(), "DejaVu Sans");
  EXPECT_EQ(details["installed"].toBool(true), false);
  EXPECT_EQ(details["file"].toString(), kDejaVu);
  EXPECT_TRUE(details["lines"].toArray().contains("Installed: False"));

  const Result r = Program({"--render", "file.png", "--font", kDejaVu, "--size", "16", "--text", "Hamburgefonts"});
  ASSERT_EQ(r.code, 0) << r.err.toStdString();
  const QImage rendered = QImage(Out("file.png")).convertToFormat(QImage::Format_RGB32);

  QString error;
  {
    CommandLineFont font;
    ASSERT_TRUE(font.Open(kDejaVu, sandbox.services().registry, sandbox.services().fontFolder,
                          platform::LinuxGraphicsFacts(), &error))
        << error.toStdString();
    EXPECT_TRUE(font.IsFile());
    EXPECT_EQ(font.Name(), "DejaVu Sans");
    // Drawn here the same way, the file's face gives the program's image exactly.
    QImage here(rendered.size(), QImage::Format_RGB32);
    here.fill(Qt::white);
    QPainter painter(&here);
    DrawSampleLine(painter, SampleFont(font.Name(), 16, {}), "Hamburgefonts", Qt::black);
    painter.end();
    EXPECT_EQ(DifferentPixels(here, rendered), 0);
    EXPECT_EQ(platform::LocateFace("DejaVu Sans").kind, platform::FaceLocation::Kind::Family);
  }
  EXPECT_EQ(platform::LocateFace("DejaVu Sans").kind, platform::FaceLocation::Kind::Substitute)
      << "the file stays added after its use";
}

// --- Failures ---

TEST_F(ExportIT, EveryFailureIsOneLineAStatusAndNoFileTouched) {
  const QString old = Out("old.png");
  const QByteArray oldBytes = "an earlier picture";
  auto writeOld = [&] {
    QFile file(old);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(oldBytes);
  };
  ASSERT_TRUE(QDir(out_.path()).mkdir("folder.png"));
  QFile text(Out("notes.ttf"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a font at all\n");
  text.close();
  const QString longText(400, u'W');

  const struct {
    QStringList arguments;
    int code;
    const char* says;
  } cases[] = {
      {{"--render", "old.png", "--font", "No Such Font"}, 1, "no installed font is named \"No Such Font\""},
      {{"--render", "old.png", "--font", "No\x1b[31mFont"}, 1, "No\\e[31mFont"},
      {{"--specimen", "old.pdf", "--font", "No Such Font"}, 1, "no installed font is named"},
      {{"--details", "--json", "No Such Font"}, 1, "no installed font is named"},
      {{"--render", "old.png", "--font", "notes.ttf"}, 1, "is not a font file"},
      {{"--render", "missing/x.png", "--font", "Detail Serif Regular"}, 1, "cannot write missing/x.png: No such file"},
      {{"--render", "folder.png", "--font", "Detail Serif Regular"}, 1, "cannot write folder.png: Is a directory"},
      {{"--specimen", "missing/x.pdf", "--font", "Detail Serif Regular"}, 1, "cannot write"},
      {{"--render", "old.jpg", "--font", "Detail Serif Regular"}, 2, "unknown image format of \"old.jpg\""},
      {{"--specimen", "old.png", "--font", "Detail Serif Regular"}, 2, "--specimen writes .pdf"},
      {{"--render", "old.png", "--font", "Detail Serif Regular", "--size", "x"}, 2, "--size takes"},
      {{"--render", "old.png", "--font", "Detail Serif Regular", "--size", "1000", "--dpi", "2400", "--text", longText},
       1, "more than fits into one image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').left(120).toStdString());
    writeOld();
    const Result r = Program(c.arguments);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.startsWith("typeloom: ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    QFile kept(old);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), oldBytes);
    // Nothing else was left behind: no temporary file, no new output.
    EXPECT_EQ(QDir(out_.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"folder.png", "notes.ttf", "old.png"}));
  }
}

}  // namespace
}  // namespace typeloom::app
