// The real main window over a fontconfig that sees only the test fonts
// (make_test_fonts.py, plain and --details, see SandboxFontsTestMain.cpp):
// the details panel, the size lists and remembered sizes, the 72-point layout and
// the sample, each checked against the tables the fonts were built with.
#include "app/FontDisplay.h"
#include "app/Viewer.h"
#include "exports/FontExport.h"
#include "controls/ButtonWidget.h"
#include "platform/fonts/FaceResolver.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/LinuxRegistry.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"
#include "support/FontFixtures.h"
#include "support/TestLabel.h"
#include "support/sandbox/SandboxServices.h"

#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

// Failures show texts, not their UTF-16 units.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace typeloom::app {
namespace {

class DisplayIT : public ::testing::Test {
 protected:
  Viewer& Load() {
    viewer = std::make_unique<Viewer>(module, sandbox.services());
    viewer->Form_Load();
    return *viewer;
  }
  // Chooses a font as a click in the list does.
  void Choose(const QString& name) {
    const int index = static_cast<int>(module.fontNames.indexOf(name));
    ASSERT_GE(index, 0) << name.toStdString() << " not in " << module.fontNames.join(", ").toStdString();
    viewer->fontList->SetListIndex(index);
  }
  void ChooseSize(const QString& size) {
    const int index = static_cast<int>(viewer->sizeList->Items().indexOf(size));
    ASSERT_GE(index, 0) << size.toStdString();
    viewer->sizeList->SetListIndex(index);
  }
  QStringList Sizes() const { return viewer->sizeList->Items(); }
  QStringList DetailLines() const { return viewer->detailText->toPlainText().split(u'\n'); }

  test::SandboxServices sandbox;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
};

const QStringList kAllSizes = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"};

// --- Details panel ---

struct DetailsCase {
  const char* font;
  QStringList lines;
  const char* copyright;
};

void PrintTo(const DetailsCase& c, std::ostream* os) { *os << c.font; }

class DetailsIT : public DisplayIT, public ::testing::WithParamInterface<DetailsCase> {};

TEST_P(DetailsIT, PanelLinesInOrderAndCopyrightLabel) {
  Load();
  Choose(GetParam().font);
  EXPECT_EQ(DetailLines(), GetParam().lines);
  EXPECT_EQ(viewer->Copyright->text(), GetParam().copyright);
  // What the other windows read: the same lines ended by CR LF, no break after the last.
  EXPECT_EQ(viewer->DetailsText(), GetParam().lines.join("\r\n"));
}

const QStringList kTrueTypeVariable = {"Is a TrueType font", "Is a variable pitch font", "Is a vector font"};
const char* const kDefaultNotice = "Copyright (c) Typeloom details tests";

INSTANTIATE_TEST_SUITE_P(
    Fonts, DetailsIT,
    ::testing::Values(
        DetailsCase{"Detail Serif Regular",
                    kTrueTypeVariable + QStringList{"Is a Roman font", "Is a Standard Latin Font", "Version 2.5",
                                                    "Installed: True"},
                    "Serif notice"},
        // A bare-number version gets "Version " before it; a notice without a period shows whole.
        DetailsCase{"Detail Sans Regular",
                    kTrueTypeVariable + QStringList{"Is a Swiss font", "Is a Standard Latin Font", "Version 1.5",
                                                    "Installed: True"},
                    "No period in this notice"},
        // A version beginning with the word in capitals is shown as it is.
        DetailsCase{"Detail Mono Regular",
                    {"Is a TrueType font", "Is a fixed pitch font", "Is a vector font", "Is a modern font",
                     "Is a Standard Latin Font", "VERSION 3.0 beta", "Installed: True"},
                    kDefaultNotice},
        // No version text: no version line, the installed line all the same.
        DetailsCase{"Detail Script Regular",
                    kTrueTypeVariable + QStringList{"Is a script font", "Is a Standard Latin Font", "Installed: True"},
                    kDefaultNotice},
        DetailsCase{"Detail Deco Regular",
                    kTrueTypeVariable + QStringList{"Is a decorative font", "Is a Standard Latin Font",
                                                    "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        DetailsCase{"Detail Cff Regular",
                    {"Is a Device font", "Is a variable pitch font", "Is a vector font", "Is a Standard Latin Font",
                     "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        DetailsCase{"Detail Kern Regular",
                    kTrueTypeVariable + QStringList{"Is a Swiss font", "Contains kerning tables", "Version 1.000",
                                                    "Installed: True"},
                    kDefaultNotice},
        // The ligature glyph is reached by no character.
        DetailsCase{"Detail Liga Regular",
                    kTrueTypeVariable + QStringList{"Contains non-displaying glyphs", "Supports ligatures",
                                                    "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        DetailsCase{"Detail Marks Regular",
                    kTrueTypeVariable + QStringList{"Contains diacritic characters", "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        // Arabic letters with contextual forms under the Arabic script tag.
        DetailsCase{"Detail Arabic Regular",
                    kTrueTypeVariable + QStringList{"Contains special glyph shapes", "Supports Kashida glyphs",
                                                    "Characters need to be reordered", "Version 1.000",
                                                    "Installed: True"},
                    "Arabic notice"},
        // Latin fonts with what is no script coverage: the byte-order mark U+FEFF, one
        // Hebrew presentation form, a swash `fina` under Latin and an `init` under
        // Bengali (its glyph reached by no character).
        DetailsCase{"Detail Bom Regular",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.000", "Installed: True"},
                    "Bom notice"},
        DetailsCase{"Detail Stray Regular",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.000", "Installed: True"},
                    "Stray notice"},
        DetailsCase{"Detail Swash Regular",
                    kTrueTypeVariable + QStringList{"Contains non-displaying glyphs", "Version 1.000",
                                                    "Installed: True"},
                    "Swash notice"},
        // Name id 1 "Detail Wide Light", typographic family "Detail Wide": fontconfig
        // knows both.
        DetailsCase{"Detail Wide Light",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.000", "Installed: True"},
                    "Wide notice"},
        // A CFF-outline font, a collection's first face and a Type 1 font, each with
        // its own version and notice.
        DetailsCase{"Detail Cff Two Regular",
                    {"Is a Device font", "Is a variable pitch font", "Is a vector font", "Is a Standard Latin Font",
                     "Version 2.000", "Installed: True"},
                    "Cff notice"},
        DetailsCase{"Detail Duo Regular",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.100", "Installed: True"},
                    "Duo regular notice"},
        // (Its glyphs are all one width: fontconfig calls it monospaced.)
        DetailsCase{"Detail Type One Regular",
                    {"Is a fixed pitch font", "Is a vector font", "Is a modern font", "Is a Standard Latin Font",
                     "Version 001.002", "Installed: True"},
                    "Type one notice"},
        DetailsCase{"Detail Cjk Regular",
                    kTrueTypeVariable + QStringList{"Double Byte Character Set", "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        // A full-name entry: the facts of that face.
        DetailsCase{"DetailOdd-Heavy",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.000", "Installed: True"},
                    kDefaultNotice},
        // A collection's first face: its own names.
        DetailsCase{"Test Pair Regular",
                    kTrueTypeVariable + QStringList{"Is a Standard Latin Font", "Version 1.000", "Installed: True"},
                    "Copyright (c) Typeloom tests"},
        // A bitmap font: no TrueType line, the pitch line first; installed, as
        // fontconfig lists it, though its file has no name table.
        DetailsCase{"Detail Steps", {"Is a fixed pitch font", "Is a Standard Latin Font", "Installed: True"}, ""},
        // A bitmap family whose sizes start above 12 keeps them in its list name and
        // still describes its own face.
        DetailsCase{"Detail Large 18,24", {"Is a fixed pitch font", "Is a Standard Latin Font", "Installed: True"}, ""}),
    [](const auto& info) { return test::Label(info.param.font); });

TEST_F(DisplayIT, ChoosingAnotherFontEmptiesThePanelFirst) {
  Load();
  Choose("Detail Arabic Regular");
  ASSERT_TRUE(DetailLines().contains("Supports Kashida glyphs"));
  Choose("Detail Steps");
  EXPECT_FALSE(DetailLines().contains("Supports Kashida glyphs"));
  EXPECT_FALSE(DetailLines().contains("Is a TrueType font"));
  EXPECT_EQ(viewer->Copyright->text(), "");
}

// --- Size lists and the remembered size ---

struct SizeListCase {
  const char* font;
  QStringList sizes;
};

void PrintTo(const SizeListCase& c, std::ostream* os) { *os << c.font; }

class SizeListIT : public DisplayIT, public ::testing::WithParamInterface<SizeListCase> {};

TEST_P(SizeListIT, ListsTheFontsSizes) {
  Load();
  Choose(GetParam().font);
  EXPECT_EQ(Sizes(), GetParam().sizes);
  EXPECT_TRUE(viewer->sizeList->isVisibleTo(viewer.get()));
}

INSTANTIATE_TEST_SUITE_P(Fonts, SizeListIT,
                         ::testing::Values(SizeListCase{"Detail Serif Regular", kAllSizes},
                                           SizeListCase{"Detail Cff Regular", kAllSizes},
                                           SizeListCase{"Detail Steps", {"8", "10", "12", "14", "18", "24"}},
                                           SizeListCase{"Detail Twelve", {"12", "18"}},
                                           SizeListCase{"Detail Single", {"10"}},
                                           SizeListCase{"Test Fixed", {"10", "12", "15"}}),
                         [](const auto& info) { return test::Label(info.param.font); });

TEST_F(DisplayIT, ScalableListOfABitmapFontOffersOnlyTallerSizes) {
  Load();
  viewer->fontList->SetText("Detail Steps");
  viewer->ListScalableSizes();
  const QStringList sizes = Sizes();
  // Its six pixel sizes give at most six different heights, the first at 8 points.
  ASSERT_FALSE(sizes.isEmpty());
  EXPECT_LE(sizes.size(), 6);
  EXPECT_EQ(sizes.front(), "8");
  for (const QString& size : sizes) EXPECT_TRUE(kAllSizes.contains(size)) << size.toStdString();
}

struct RememberStep {
  const char* font;
  const char* pick;  // a size the user then picks, or nullptr
  const char* shown;
  int currentSize;
};

struct RememberCase {
  const char* label;
  std::vector<RememberStep> steps;
  // Sizes listed directly, instead of a font's own (fonts with these lists do not
  // exist among the catalogue's names); nullptr for none.
  const char* fixedSizes = nullptr;
  const char* shownAfterFixed = nullptr;
};

void PrintTo(const RememberCase& c, std::ostream* os) { *os << c.label; }

class RememberIT : public DisplayIT, public ::testing::WithParamInterface<RememberCase> {};

TEST_P(RememberIT, KeepsTheSizeNearestTheLastChoice) {
  Load();
  for (const RememberStep& step : GetParam().steps) {
    SCOPED_TRACE(step.font);
    Choose(step.font);
    if (step.pick != nullptr) ChooseSize(step.pick);
    EXPECT_EQ(viewer->sizeList->Text(), step.shown);
    EXPECT_EQ(viewer->currentSize, step.currentSize);
  }
  if (GetParam().fixedSizes != nullptr) {
    viewer->ListFixedSizes(GetParam().fixedSizes);
    viewer->SelectSize();
    EXPECT_EQ(viewer->sizeList->Text(), GetParam().shownAfterFixed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RememberIT,
    ::testing::Values(
        // At start-up the first listed size is chosen and remembered.
        RememberCase{"FirstChoiceIsTheFirstSize", {{"Detail Serif Regular", nullptr, "8", 8}}},
        RememberCase{"BitmapUpTo24ShowsItsLargestThenScalableShows36Again",
                     {{"Detail Serif Regular", "36", "36", 36},
                      {"Detail Steps", nullptr, "24", 36},
                      {"Detail Sans Regular", nullptr, "36", 36}}},
        RememberCase{"FourteenBetween12And18Shows12",
                     {{"Detail Serif Regular", "14", "14", 14}, {"Detail Twelve", nullptr, "12", 14}}},
        RememberCase{"OfferedSizeKept", {{"Detail Steps", "14", "14", 14}, {"Detail Serif Regular", nullptr, "14", 14}}},
        RememberCase{"OnlyLargerSizesShowTheSmallest", {{"Detail Serif Regular", "14", "14", 14}}, "18,24", "18"},
        // A single size is shown without consulting the remembered size, which stays.
        RememberCase{"SingleSizeShownRememberedSizeKept",
                     {{"Detail Serif Regular", "36", "36", 36},
                      {"Detail Single", nullptr, "10", 36},
                      {"Detail Serif Regular", nullptr, "36", 36}}}),
    [](const auto& info) { return std::string(info.param.label); });

// --- Geometry of the 72-point choice ---

TEST_F(DisplayIT, SeventyTwoPointsMakesTheWindowAndSampleTaller) {
  Load();
  Choose("Detail Serif Regular");
  ChooseSize("12");
  const int normalHeight = platform::PixelsToTwipsY(viewer->height());
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->displayPicture->height()), 1275);
  const int helpHeight = platform::PixelsToTwipsY(viewer->HelpButton->height());
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->HelpButton->y()), 5985 - helpHeight - 60);

  ChooseSize("72");
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->height()) - normalHeight, 600);
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->displayPicture->height()), 1875);
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->HelpButton->y()), 6585 - helpHeight - 60);
  // The help button stays inside the window, at its bottom.
  EXPECT_LE(viewer->HelpButton->geometry().bottom(), viewer->height());

  ChooseSize("48");
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->height()), normalHeight);
  EXPECT_EQ(platform::PixelsToTwipsY(viewer->displayPicture->height()), 1275);
}

// --- The sample ---

TEST_F(DisplayIT, SampleLineFollowsFontSizeAndEffects) {
  Load();
  Choose("Detail Serif Regular");
  ChooseSize("12");
  EXPECT_EQ(viewer->displayText->text(), "Detail Serif Regular 12-point font");
  EXPECT_EQ(viewer->displayPicture->DrawnText(), "Detail Serif Regular 12-point font");
  EXPECT_EQ(viewer->displayPicture->DrawnFont().pointSizeF(), 12);
  viewer->effect[0]->setChecked(true);
  viewer->effect[2]->setChecked(true);
  const QFont font = viewer->displayPicture->DrawnFont();
  EXPECT_TRUE(font.bold());
  EXPECT_FALSE(font.italic());
  EXPECT_TRUE(font.strikeOut());
  EXPECT_FALSE(font.underline());
  EXPECT_EQ(QFontInfo(font).family(), "Detail Serif");
}

TEST_F(DisplayIT, TypedTextSurvivesFontAndSizeChanges) {
  Load();
  Choose("Detail Serif Regular");
  viewer->displayText->setFocus();
  QTest::keyClicks(viewer->displayText, "Hello");
  EXPECT_TRUE(viewer->userText);
  viewer->displayText->setText(QStringLiteral("مرحبا Hello"));
  Choose("Detail Arabic Regular");
  ChooseSize("24");
  EXPECT_EQ(viewer->displayText->text(), QStringLiteral("مرحبا Hello"));
  EXPECT_EQ(viewer->displayPicture->DrawnText(), QStringLiteral("مرحبا Hello"));
  EXPECT_EQ(QFontInfo(viewer->displayPicture->DrawnFont()).family(), "Detail Arabic");
  EXPECT_EQ(viewer->displayPicture->DrawnFont().pointSizeF(), 24);
}

TEST_F(DisplayIT, EmptiedTextClearsTheArea) {
  Load();
  Choose("Detail Sans Regular");
  ASSERT_FALSE(viewer->displayPicture->IsClear());
  viewer->displayText->setFocus();
  QTest::keyClick(viewer->displayText, Qt::Key_A);  // the user's own text from now on
  viewer->displayText->clear();
  EXPECT_TRUE(viewer->displayPicture->IsClear());
  viewer->effect[1]->setChecked(true);
  EXPECT_TRUE(viewer->displayPicture->IsClear());
  EXPECT_EQ(viewer->displayText->text(), "");
}

TEST_F(DisplayIT, SizeTextThatIsNoNumberKeepsThePreviousSize) {
  Load();
  Choose("Detail Serif Regular");
  ChooseSize("18");
  viewer->sizeList->SetText("big");
  viewer->RenderSample();
  EXPECT_EQ(viewer->displayPicture->DrawnFont().pointSizeF(), 18);
}

TEST_F(DisplayIT, FocusIntoTheTextSelectsAllOfIt) {
  Load();
  Choose("Detail Serif Regular");
  viewer->show();
  QTest::mouseClick(viewer->displayText, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::qWait(0);
  QCoreApplication::processEvents();
  EXPECT_EQ(viewer->displayText->selectedText(), viewer->displayText->text());
  EXPECT_FALSE(viewer->displayText->selectedText().isEmpty());
}

// The sample of a full-name entry is drawn in exactly that face; its family's
// entry in the family's regular face.
TEST_F(DisplayIT, FullNameEntryDrawsThatFaceAndItsFamilyEntryTheFamily) {
  Load();
  const struct {
    const char* entry;
    const char* family;
    const char* style;
    const char* file;
  } cases[] = {
      {"DetailOdd-Heavy", "Detail Odd", "Heavy", "DetailOdd-Heavy.ttf"},
      {"Detail Odd Regular", "Detail Odd", "Regular", "DetailOdd-Regular.ttf"},
      {"Test Pair Regular", "Test Pair", "Regular", "TestPair.ttc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entry);
    Choose(c.entry);
    const QFont drawn = viewer->displayPicture->DrawnFont();
    const QFontInfo info(drawn);
    EXPECT_EQ(info.family(), c.family);
    EXPECT_EQ(info.styleName(), c.style);
    const QRawFont raw = QRawFont::fromFont(drawn);
    EXPECT_EQ(raw.familyName(), c.family);
    EXPECT_EQ(raw.styleName(), c.style);
    // The details describe the same face.
    const platform::FaceLocation face = platform::LocateFace(c.entry);
    EXPECT_TRUE(QString::fromStdString(face.file).endsWith(c.file)) << face.file;
    EXPECT_EQ(face.style, c.style);
  }
  // The family itself, as a name: its regular face, and bold is synthesised on top
  // of a face rather than choosing another.
  const QFont family = platform::ResolveFont("Detail Odd", 12);
  EXPECT_EQ(QFontInfo(family).styleName(), "Regular");
  const QFont heavyItalic = platform::ResolveFont("DetailOdd-Heavy", 12, {.italic = true});
  EXPECT_EQ(QRawFont::fromFont(heavyItalic).styleName(), "Heavy");
}

// A name installed nowhere draws in fontconfig's substitute: FaceResolverIT.
TEST_F(DisplayIT, BitmapNameWithSizesAbove12DrawsInItsOwnFace) {
  Load();
  Choose("Detail Large 18,24");
  const platform::FaceLocation face = platform::LocateFace("Detail Large 18,24");
  EXPECT_EQ(face.kind, platform::FaceLocation::Kind::Family);
  EXPECT_FALSE(face.scalable);
  EXPECT_TRUE(QString::fromStdString(face.file).contains("DetailLarge-")) << face.file;
  EXPECT_EQ(QFontInfo(viewer->displayPicture->DrawnFont()).family(), "Detail Large");
}

// --- Drawing only in the chosen face ---

// The area's pixels with `text` drawn in `font` as the sample draws it.
QImage DrawnLike(const SampleArea& area, QFont font, const QString& text) {
  QImage image(area.size() * area.devicePixelRatioF(), QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(area.devicePixelRatioF());
  image.fill(area.palette().color(QPalette::Window));
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(area.palette().color(QPalette::WindowText));
  painter.drawText(QPointF(0, QFontMetrics(font, &image).ascent()), text);
  return image;
}

// A font without Latin letters shows its own missing-glyph frames for the default
// line; with font merging the letters would come from the other test fonts.
TEST_F(DisplayIT, SampleOfAFontWithoutLatinLettersShowsOnlyItsOwnMissingGlyphs) {
  Load().show();
  Choose("Detail Nolatin Regular");
  SampleArea& area = *viewer->displayPicture;
  ASSERT_EQ(area.DrawnText(), "Detail Nolatin Regular " + viewer->sizeList->Text() + "-point font");
  QFont alone = area.DrawnFont();
  ASSERT_EQ(QRawFont::fromFont(alone).glyphIndexesForString("D").value(0), 0u) << "the font maps a Latin letter";

  QImage shown = area.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  alone.setStyleStrategy(QFont::NoFontMerging);
  const QImage reference = DrawnLike(area, alone, area.DrawnText());
  shown.setDevicePixelRatio(reference.devicePixelRatio());
  EXPECT_TRUE(shown == reference) << "the sample is not the text drawn in its face alone";
  EXPECT_NE(reference, DrawnLike(area, QFont(), QString())) << "nothing drawn";

  QFont merged = alone;
  merged.setStyleStrategy(QFont::PreferDefault);
  EXPECT_NE(DrawnLike(area, merged, area.DrawnText()), reference) << "merging would draw the same: no check";
}

// Font files the font system does not know (copies under other names, in a folder
// of their own, as a download is): each is listed as an entry of its own that names
// its file, selected, drawn in its face, detailed as not installed and printed; a
// file that is no font keeps the refusal.
TEST_F(DisplayIT, FontFilesThatAreNotInstalledAreShownFromTheFile) {
  QTemporaryDir downloads;
  ASSERT_TRUE(downloads.isValid());
  const QString folder = downloads.path() + "/My Downloads";
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_TRUE(QFile::copy("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", folder + "/Mono.TTF"));
  ASSERT_TRUE(QFile::copy("/usr/share/fonts/opentype/urw-base35/C059-Roman.otf", folder + "/c059.otf"));
  QProcess python;
  // Two collections of one family: the Regular's first, then the Bold's first.
  python.start("/usr/bin/python3",
               {"-c",
                "import sys\nfrom fontTools.ttLib import TTFont\nfrom fontTools.ttLib.ttCollection import TTCollection\n"
                "for a, b, out in ((1, 2, 3), (2, 1, 4)):\n"
                "    c = TTCollection()\n    c.fonts = [TTFont(sys.argv[a]), TTFont(sys.argv[b])]\n    c.save(sys.argv[out])\n",
                "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
                "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", folder + "/Pair Of Serifs.ttc",
                folder + "/Bold First.ttc"});
  ASSERT_TRUE(python.waitForFinished(60000));
  ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
  QFile junk(folder + "/notes.ttf");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a font at all");
  junk.close();

  Load();
  const QStringList installed = module.fontNames;
  // A copy of an installed test font, from another folder.
  const std::string installedBold = platform::LocateFace("Test Sans Bold").file;
  ASSERT_FALSE(installedBold.empty());
  ASSERT_TRUE(QFile::copy(QString::fromStdString(installedBold), folder + "/Copy.ttf"));
  const struct {
    const char* file;
    const char* entry;   // the list's entry; empty: refused
    const char* family;  // the face drawn
    const char* style;
  } cases[] = {
      {"Mono.TTF", "DejaVu Sans Mono (Mono.TTF)", "DejaVu Sans Mono", "Book"},
      // Named by its own full name (the Windows name table's, here as the PostScript name).
      {"c059.otf", "C059-Roman (c059.otf)", "C059", "Roman"},
      {"Pair Of Serifs.ttc", "DejaVu Serif (Pair Of Serifs.ttc)", "DejaVu Serif", "Book"},
      // The family is the earlier file's too: the Bold face is drawn and described, not the Book.
      {"Bold First.ttc", "DejaVu Serif Bold (Bold First.ttc)", "DejaVu Serif", "Bold"},
      {"Copy.ttf", "Test Sans Bold (Copy.ttf)", "Test Sans", "Bold"},
      {"Mono.TTF", "DejaVu Sans Mono (Mono.TTF)", "DejaVu Sans Mono", "Book"},  // again: the same entry
      {"notes.ttf", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    sandbox.messages().shown.clear();
    module.commandLine = folder + "/" + c.file;
    viewer->ProcessCommandLine();
    viewer->fontList_Click();
    QCoreApplication::processEvents();
    if (*c.entry == '\0') {
      EXPECT_EQ(viewer->fontList->ListIndex(), 0);
      EXPECT_EQ(sandbox.messages().shown, QStringList{"The font selected is not registered"});
      continue;
    }
    EXPECT_TRUE(sandbox.messages().shown.isEmpty()) << sandbox.messages().shown.join('\n').toStdString();
    EXPECT_EQ(viewer->fontList->Text(), c.entry);
    EXPECT_FALSE(installed.contains(c.entry));
    const QRawFont raw = QRawFont::fromFont(viewer->displayPicture->DrawnFont());
    EXPECT_EQ(raw.familyName(), c.family);
    EXPECT_EQ(raw.styleName(), c.style);
    EXPECT_TRUE(DetailLines().contains("Installed: False")) << DetailLines().join('|').toStdString();
    EXPECT_FALSE(viewer->Copyright->text().isEmpty());
    // The printed page draws the face the window shows.
    const QString pdf = downloads.path() + "/specimen.pdf";
    QString error;
    ASSERT_TRUE(exports::WriteSpecimen(pdf, viewer->SelectedFontName(), viewer->DetailsText(), &error)) << error.toStdString();
    QProcess fonts;
    fonts.start("pdffonts", {pdf});
    ASSERT_TRUE(fonts.waitForFinished(60000));
    const QString embedded = QString::fromUtf8(fonts.readAllStandardOutput());
    EXPECT_TRUE(embedded.contains(QString(c.family).remove(u' '))) << embedded.toStdString();
  }
  // Each file has one entry, the installed fonts all theirs.
  EXPECT_EQ(module.fontNames.size(), installed.size() + 5);
  EXPECT_EQ(viewer->FontNames().filter("(").size(), 0) << "the summary draws the faces by their own names";
}

}  // namespace
}  // namespace typeloom::app
