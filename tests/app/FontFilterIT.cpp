// The font list's filter (Ctrl+F) in the main window, offscreen, over the fonts of
// known coverage only: which fonts it shows for a text, where the selection goes,
// typing that re-filters, the summary's list, and the list as it was once off.
#include "app/FontFilter.h"
#include "app/Viewer.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"
#include "support/FontFixtures.h"
#include "support/sandbox/SandboxFontsMain.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>


namespace typeloom::app {
namespace {

const QStringList kAll = {"Cover Arabic", "Cover Cjk Regular", "Cover Greek", "Cover Latin", "Cover Symbol Regular"};
constexpr int kF = 70, kCtrl = 2;
const QString kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

class FontFilterIT : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.settings.SaveSetting(kAppTitle, kSettingsSection, "ShowSplash", "0");
    fake.AddFont("Cover Arabic (TrueType)", "CoverArabic-Regular.ttf");
    fake.AddFont("Cover Cjk Regular (TrueType)", "CoverCjk-Regular.ttf");
    fake.AddFont("Cover Greek (TrueType)", "CoverGreek-Regular.ttf");
    fake.AddFont("Cover Latin (TrueType)", "CoverLatin-Regular.ttf");
    fake.AddFont("Cover Symbol Regular (TrueType)", "CoverSymbol-Regular.ttf");
    viewer = std::make_unique<Viewer>(module, fake.services);
    viewer->Form_Load();
  }
  Viewer& v() { return *viewer; }
  void Select(const QString& name) { v().fontList->SetListIndex(static_cast<int>(v().fontList->Items().indexOf(name))); }
  void CtrlF() { platform::KeyPreview::SendKey(viewer.get(), kF, kCtrl); }
  // A copy of kMono given on the command line, as a downloaded file is opened: its
  // entry is "DejaVu Sans Mono (Mono.ttf)".
  bool OpenCopyOfMono() {
    if (!downloads.isValid() || !QFile::copy(kMono, downloads.path() + "/Mono.ttf")) return false;
    module.commandLine = downloads.path() + "/Mono.ttf";
    v().ProcessCommandLine();
    return true;
  }

  test::FakeAppServices fake;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
  QTemporaryDir downloads;
};

// The user's text, the font chosen before Ctrl+F, then the list shown and the font
// selected; Ctrl+F again shows every font and keeps that selection.
TEST_F(FontFilterIT, ShowsTheFontsThatHaveTheTextAndKeepsOrMovesTheSelection) {
  const struct {
    const char* text;
    const char* before;
    QStringList shown;
    const char* selected;
  } rows[] = {
      {"Ωμέγα", "Cover Greek", {"Cover Greek"}, "Cover Greek"},
      {"Ωμέγα", "Cover Latin", {"Cover Greek"}, "Cover Greek"},  // moved to the first shown
      {"abc", "Cover Latin", {"Cover Greek", "Cover Latin"}, "Cover Latin"},  // kept
      {"abc", "Cover Arabic", {"Cover Greek", "Cover Latin"}, "Cover Greek"},
      {"a b", "Cover Latin", {"Cover Greek", "Cover Latin"}, "Cover Latin"},  // the blank is not asked for
      {"سلام", "Cover Latin", {"Cover Arabic"}, "Cover Arabic"},
      {"日本", "Cover Latin", {"Cover Cjk Regular"}, "Cover Cjk Regular"},
      {"→", "Cover Latin", {"Cover Symbol Regular"}, "Cover Symbol Regular"},
      {"a→", "Cover Latin", {}, "Cover Latin"},  // none: the font shown stays
      {"   ", "Cover Arabic", kAll, "Cover Arabic"},  // nothing to ask for: every font
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    Select(row.before);
    v().displayText->setText(QString::fromUtf8(row.text));
    CtrlF();
    EXPECT_TRUE(v().FontFilterOn());
    EXPECT_EQ(v().fontList->Items(), row.shown);
    EXPECT_EQ(v().FontNames(), row.shown) << "the summary pages through the list shown";
    EXPECT_EQ(v().fontList->Text(), row.selected);
    EXPECT_EQ(v().displayPicture->toolTip(), kSampleToolTip);
    EXPECT_EQ(v().fontList->toolTip(),
              kFontListToolTip + QStringLiteral("\n Only the %1 of 5 fonts that have every character of the text; "
                                                "Ctrl+F shows all ").arg(row.shown.size()));

    CtrlF();
    EXPECT_FALSE(v().FontFilterOn());
    EXPECT_EQ(v().fontList->Items(), kAll);
    EXPECT_EQ(v().FontNames(), kAll);
    EXPECT_EQ(v().fontList->Text(), row.selected);
    EXPECT_EQ(v().fontList->ListIndex(), kAll.indexOf(row.selected));
    EXPECT_EQ(v().fontList->toolTip(), " Select a font for display from the list ");
  }
}

// A kept selection is not chosen again (sizes, details and sample stay); a moved one
// runs the font's choice as a click does.
TEST_F(FontFilterIT, AKeptSelectionIsNotChosenAgain) {
  Select("Cover Latin");
  v().displayText->setText("abc");
  v().detailText->setPlainText("marker");
  CtrlF();
  EXPECT_EQ(v().detailText->toPlainText(), "marker");
  v().displayText->setText("αβγ");
  v().ApplyFontFilter();
  EXPECT_EQ(v().fontList->Text(), "Cover Greek");
  EXPECT_NE(v().detailText->toPlainText(), "marker");
}

// Typing while the filter is on re-filters once the typing pauses: the list does not
// change under each keystroke, and the last text counts.
TEST_F(FontFilterIT, TypedTextReFilters) {
  Select("Cover Latin");
  v().displayText->setText("a");
  CtrlF();
  ASSERT_EQ(v().fontList->Items(), QStringList({"Cover Greek", "Cover Latin"}));
  v().displayText->setFocus();
  QTest::keyClicks(v().displayText, "bc");
  v().displayText->setText(v().displayText->text() + QString::fromUtf8("λ"));
  EXPECT_TRUE(v().FilterTimer()->isActive());
  EXPECT_EQ(v().fontList->Items(), QStringList({"Cover Greek", "Cover Latin"})) << "not yet";
  ASSERT_TRUE(QTest::qWaitFor([&] { return !v().FilterTimer()->isActive(); }));
  EXPECT_EQ(v().fontList->Items(), QStringList({"Cover Greek"}));
  EXPECT_EQ(v().fontList->Text(), "Cover Greek");

  // Off, typing changes nothing in the list.
  CtrlF();
  v().displayText->setText(QString::fromUtf8("سلام"));
  EXPECT_FALSE(v().FilterTimer()->isActive());
  EXPECT_EQ(v().fontList->Items(), kAll);
}

// Nothing is read ahead at start; typed text has every entry's face read once the
// keystroke is handled, and a font added for the run (a file opened) starts over.
TEST_F(FontFilterIT, TypingReadsTheFacesAheadOfTheFirstFilter) {
  QCoreApplication::processEvents();
  EXPECT_FALSE(v().CoverageReady());
  v().displayText->setFocus();
  QTest::keyClicks(v().displayText, "x");
  EXPECT_FALSE(v().CoverageReady()) << "not within the keystroke";
  ASSERT_TRUE(QTest::qWaitFor([&] { return v().CoverageReady(); }));

  if (!QFileInfo::exists(kMono)) GTEST_SKIP() << kMono.toStdString() << " is not installed";
  ASSERT_TRUE(OpenCopyOfMono());
  ASSERT_EQ(v().fontList->Text(), "DejaVu Sans Mono (Mono.ttf)");
  EXPECT_FALSE(v().CoverageReady());
  v().displayText->setText(QString::fromUtf8("Ж"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return v().CoverageReady(); }));
  CtrlF();
  EXPECT_EQ(v().fontList->Items(), QStringList({"DejaVu Sans Mono (Mono.ttf)"}));
}

// Ctrl with Shift, or F alone, is not the filter key.
TEST_F(FontFilterIT, OnlyCtrlFAloneFilters) {
  v().displayText->setText("Ωμέγα");
  for (const int shift : {0, 1, 3, 4, 6}) {
    platform::KeyPreview::SendKey(viewer.get(), kF, shift);
    EXPECT_FALSE(v().FontFilterOn()) << shift;
    EXPECT_EQ(v().fontList->Items(), kAll) << shift;
  }
}

// A file given by a later start may be a font the filter hides: the filter goes off.
TEST_F(FontFilterIT, AHandOverShowsEveryFontAgain) {
  v().displayText->setText("Ωμέγα");
  CtrlF();
  ASSERT_EQ(v().fontList->Items(), QStringList({"Cover Greek"}));
  module.commandLine = "/fonts/coverarabic-regular.ttf";
  v().ProcessCommandLine();
  EXPECT_FALSE(v().FontFilterOn());
  EXPECT_EQ(v().fontList->Items(), kAll);
  EXPECT_EQ(v().fontList->Text(), "Cover Arabic");
}

// A font file that is not installed has an entry of its own ("Face (file)"): the
// filter asks its face's own coverage, and the summary gets the face's name.
TEST_F(FontFilterIT, AFontFileEntryIsFilteredByItsOwnFace) {
  if (!QFileInfo::exists(kMono)) GTEST_SKIP() << kMono.toStdString() << " is not installed";
  ASSERT_TRUE(OpenCopyOfMono());
  const QString entry = "DejaVu Sans Mono (Mono.ttf)";
  ASSERT_EQ(v().fontList->Text(), entry);
  ASSERT_EQ(v().fontList->ListCount(), 6);

  const struct {
    const char* text;
    QStringList shown;
    QStringList drawn;  // what the summary pages through
  } rows[] = {
      {"Ж", {entry}, {"DejaVu Sans Mono"}},  // Cyrillic: none of the installed fonts has it
      {"Ωμέγα", {"Cover Greek", entry}, {"Cover Greek", "DejaVu Sans Mono"}},
      {"a→", {entry}, {"DejaVu Sans Mono"}},
      {"日本", {"Cover Cjk Regular"}, {"Cover Cjk Regular"}},  // the file's face has no CJK
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    Select(entry);
    v().displayText->setText(QString::fromUtf8(row.text));
    CtrlF();
    EXPECT_EQ(v().fontList->Items(), row.shown);
    EXPECT_EQ(v().FontNames(), row.drawn);
    EXPECT_EQ(v().fontList->Text(), row.shown.contains(entry) ? entry : row.shown.front());  // kept, else moved
    CtrlF();
    EXPECT_EQ(v().fontList->Items().size(), 6);
    EXPECT_TRUE(v().fontList->Items().contains(entry));
  }
}

// The plain decisions, without a window.
TEST(FontFilterDecision, SelectionKeptMovedOrNone) {
  const QStringList all = {"A", "B", "C"};
  const auto coversBC = [](const QString& name) { return name != "A"; };
  const struct {
    const char* selected;
    std::vector<char32_t> characters;
    QStringList shown;
    int selection;
    bool kept;
  } rows[] = {
      {"B", {U'x'}, {"B", "C"}, 0, true},
      {"C", {U'x'}, {"B", "C"}, 1, true},
      {"A", {U'x'}, {"B", "C"}, 0, false},
      {"", {U'x'}, {"B", "C"}, 0, false},
      {"A", {}, {"A", "B", "C"}, 0, true},
  };
  for (const auto& row : rows) {
    const FilteredList result = FilterFontList(all, row.selected, row.characters, coversBC);
    EXPECT_EQ(result.shown, row.shown) << row.selected;
    EXPECT_EQ(result.selection, row.selection) << row.selected;
    EXPECT_EQ(result.selectionKept, row.kept) << row.selected;
  }
  EXPECT_EQ(FilterFontList(all, "A", {U'x'}, [](const QString&) { return false; }).selection, -1);
}

}  // namespace
}  // namespace typeloom::app

// fontconfig sees only the coverage fonts, from before the QApplication exists.
int main(int argc, char** argv) {
  return typeloom::testsupport::RunTestsOverFonts(argc, argv, [](std::string* error) -> std::vector<std::string> {
    const std::string fonts = typeloom::testsupport::FontFixtures::CoverageFontFolder(error);
    if (fonts.empty()) return {};
    return {fonts};
  });
}
