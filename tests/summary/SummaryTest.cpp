#include "summary/Summary.h"

#include "platform/ui/WindowServices.h"
#include "support/FakeMainWindow.h"
#include "support/TestLabel.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace typeloom::summary {
namespace {

QStringList Names(int count) {
  QStringList names;
  for (int i = 0; i < count; ++i) names << QStringLiteral("Font %1").arg(i, 2, 10, QLatin1Char('0'));
  return names;
}

// --- Paging keys ---------------------------------------------------------------

struct KeyRow {
  const char* name;
  int fonts;
  int keyCode;
  int shift;
  int value;
  std::optional<int> expected;
  bool close;
  bool endProgram;
};

class SummaryKeys : public ::testing::TestWithParam<KeyRow> {};

TEST_P(SummaryKeys, MoveTheScrollValueOrClose) {
  const KeyRow& r = GetParam();
  const KeyAction action = ActionForKey(r.keyCode, r.shift, r.value, RangeFor(r.fonts));
  EXPECT_EQ(action.value, r.expected);
  EXPECT_EQ(action.close, r.close);
  EXPECT_EQ(action.endProgram, r.endProgram);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SummaryKeys,
    ::testing::Values(KeyRow{"PageDownFrom20StopsAtTheLastPage", 40, 34, 0, 20, 24, false, false},
                      KeyRow{"PageDownFrom0", 40, 34, 0, 0, 16, false, false},
                      KeyRow{"PageDownAtTheEnd", 40, 34, 0, 24, std::nullopt, false, false},
                      KeyRow{"PageUpFrom10StopsAtTheTop", 40, 33, 0, 10, 0, false, false},
                      KeyRow{"PageUpFrom20", 40, 33, 0, 20, 4, false, false},
                      KeyRow{"UpAtTheTop", 40, 38, 0, 0, std::nullopt, false, false},
                      KeyRow{"UpFrom5", 40, 38, 0, 5, 4, false, false},
                      KeyRow{"DownAtTheEnd", 40, 40, 0, 24, std::nullopt, false, false},
                      KeyRow{"DownFrom5", 40, 40, 0, 5, 6, false, false},
                      KeyRow{"FiveFontsNothingToScroll", 5, 34, 0, 0, std::nullopt, false, false},
                      KeyRow{"FiveFontsDown", 5, 40, 0, 0, std::nullopt, false, false},
                      KeyRow{"Escape", 40, 27, 0, 3, std::nullopt, true, false},
                      KeyRow{"ShiftEscape", 40, 27, 1, 3, std::nullopt, true, true},
                      KeyRow{"CtrlEscape", 40, 27, 2, 3, std::nullopt, true, true},
                      KeyRow{"AltEscape", 40, 27, 4, 3, std::nullopt, true, true},
                      KeyRow{"OtherKey", 40, 65, 0, 3, std::nullopt, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SummaryRange, LastPageEndsWithTheLastFont) {
  EXPECT_EQ(RangeFor(40).minimum, 0);
  EXPECT_EQ(RangeFor(40).maximum, 24);
  EXPECT_EQ(RangeFor(16).maximum, 0);
  EXPECT_EQ(RangeFor(5).maximum, 0);
  EXPECT_EQ(RangeFor(0).maximum, 0);
}

TEST(SummaryPlacement, CentredOnTheMainWindowThenShifted) {
  // Main window 6375 x 6495 at (1000, 500); summary 5760 x 4830.
  EXPECT_EQ(Placement(QRect(1000, 500, 6375, 6495), QSize(5760, 4830)), QPoint(1000 + 307 + 15, 500 + 832 + 150));
}

// --- Drawing -------------------------------------------------------------------

struct Text {
  int x, y;
  QString text;
  QFont font;
};

class RecordingPage final : public PageSurface {
 public:
  int clears = 0;
  std::vector<Text> texts;
  void Clear() override {
    ++clears;
    texts.clear();
  }
  void DrawText(int x, int y, const QString& text, const QFont& font) override { texts.push_back({x, y, text, font}); }
};

// Resolves every name to a family of the same name, bold and italic as the last
// sample may have left them, and counts the lookups.
struct CountingResolver {
  int* calls;
  QFont operator()(const QString& name, double pointSize) const {
    ++*calls;
    QFont font(name);
    font.setPointSizeF(pointSize);
    font.setBold(true);
    font.setItalic(true);
    return font;
  }
};

void ExpectRows(const RecordingPage& page, const QStringList& names, int first, int count,
                const QString& labelFace = "Label Face") {
  ASSERT_EQ(page.clears, 1);
  ASSERT_EQ(page.texts.size(), static_cast<std::size_t>(2 * count));
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const Text& label = page.texts[2 * i];
    const Text& sample = page.texts[2 * i + 1];
    EXPECT_EQ(label.text, names[first + i] + ":");
    EXPECT_EQ(label.x, 30);
    EXPECT_EQ(label.y, 240 * i);
    EXPECT_EQ(label.font.family(), labelFace);
    EXPECT_EQ(label.font.pointSizeF(), 8.0);
    EXPECT_FALSE(label.font.bold() || label.font.italic() || label.font.underline() || label.font.strikeOut());
    EXPECT_EQ(sample.text, "ABCDEFGabcdefg1234567890");
    EXPECT_EQ(sample.x, 1800);
    EXPECT_EQ(sample.y, 240 * i);
    EXPECT_EQ(sample.font.family(), names[first + i]);
    EXPECT_EQ(sample.font.pointSizeF(), 8.0);
    EXPECT_FALSE(sample.font.bold() || sample.font.italic());
  }
}

// Each page: a cleared surface, then a label and a sample per row from `top` on.
TEST(SummaryDrawPage, DrawsTheRowsOfThePageFromTheTopIndex) {
  const struct {
    int fonts, top, rows;
  } pages[] = {{40, 0, 16}, {40, 24, 16}, {5, 0, 5}, {0, 0, 0}};
  for (const auto& p : pages) {
    SCOPED_TRACE(::testing::Message() << p.fonts << " fonts from " << p.top);
    const QStringList names = Names(p.fonts);
    int calls = 0;
    RecordingPage page;
    DrawPage(page, names, p.top, "Label Face", CountingResolver{&calls});
    ExpectRows(page, names, p.top, p.rows);
    EXPECT_EQ(calls, p.rows) << "one font lookup per row shown";
  }
}

// --- The window ----------------------------------------------------------------

// The dialog face every window of the program uses (fonts-liberation2).
const QString kDialogFace = "Liberation Sans";

class SummaryWindowTest : public ::testing::Test {
 protected:
  void Open(int fonts) {
    main = std::make_unique<test::FakeMainWindow>();
    main->names = Names(fonts);
    main->widget.setGeometry(100, 80, platform::TwipsToPixelsX(6255), platform::TwipsToPixelsY(5940));
    seam = std::make_unique<SummaryWindow>(*main, CountingResolver{&resolves});
    seam->Open();
  }
  Summary& window() { return *seam->window(); }
  void Key(int code, int shift = 0) { platform::KeyPreview::SendKey(&window(), code, shift); }

  int resolves = 0;
  std::unique_ptr<test::FakeMainWindow> main;
  std::unique_ptr<SummaryWindow> seam;
};

TEST_F(SummaryWindowTest, LayoutAndWindowKind) {
  Open(40);
  Summary& w = window();
  EXPECT_EQ(w.windowTitle(), " Font Summary");
  EXPECT_TRUE(w.windowFlags().testFlag(Qt::Tool)) << "not in the taskbar";
  EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(w.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(w.size(), QSize(platform::TwipsToPixelsX(5640), platform::TwipsToPixelsY(4395)));
  EXPECT_EQ(w.FontPicture()->geometry(), platform::TwipsRect(240, 240, 4905, 3855));
  EXPECT_EQ(w.VScroll()->geometry(), platform::TwipsRect(5145, 225, 255, 3855));
  EXPECT_EQ(w.VScroll()->pageStep(), 16);
  EXPECT_EQ(w.VScroll()->singleStep(), 1);
  // The labels take the window's dialog face, which the drawing area inherits.
  EXPECT_EQ(w.labelFontName(), kDialogFace);
}

TEST_F(SummaryWindowTest, FortyFontsPageByKeyAndRedrawOnlyOnChange) {
  Open(40);
  Summary& w = window();
  EXPECT_EQ(w.summaryCount(), 40);
  EXPECT_EQ(w.VScroll()->minimum(), 0);
  EXPECT_EQ(w.VScroll()->maximum(), 24);
  EXPECT_EQ(w.topIndex(), 0);

  Key(38);  // Up at 0
  EXPECT_EQ(w.redraws(), 0);
  w.VScroll()->setValue(20);
  EXPECT_EQ(w.topIndex(), 20);
  Key(34);  // Page Down from 20
  EXPECT_EQ(w.VScroll()->value(), 24);
  EXPECT_EQ(w.topIndex(), 24);
  const int redraws = w.redraws();
  Key(40);  // Down at 24
  Key(34);
  EXPECT_EQ(w.redraws(), redraws);
  RecordingPage page;
  w.DrawPage(page);
  ExpectRows(page, main->FontNames(), 24, 16, kDialogFace);
  w.VScroll()->setValue(10);
  Key(33);  // Page Up from 10
  EXPECT_EQ(w.VScroll()->value(), 0);
  EXPECT_EQ(w.topIndex(), 0);
}

TEST_F(SummaryWindowTest, FiveFontsOfferNothingToScroll) {
  Open(5);
  Summary& w = window();
  EXPECT_EQ(w.VScroll()->maximum(), 0);
  Key(34);
  Key(40);
  EXPECT_EQ(w.topIndex(), 0);
  EXPECT_EQ(w.redraws(), 0);
  RecordingPage page;
  w.DrawPage(page);
  ExpectRows(page, main->FontNames(), 0, 5, kDialogFace);
}

TEST_F(SummaryWindowTest, PaintingTwoThousandFontsResolvesOnlyTheRowsShown) {
  Open(2000);
  resolves = 0;
  window().FontPicture()->grab();
  EXPECT_EQ(resolves, 16);
}

// T switches the sample column to the main window's text, drawn in each face alone
// (no other font lends a missing character), and back; an empty text keeps the
// fixed sample. T with a modifier does nothing.
TEST_F(SummaryWindowTest, TextKeySwitchesTheSampleColumnToTheUsersText) {
  const struct {
    const char* name;
    const char* text;                // the main window's Text box
    std::vector<int> shifts;         // T pressed with these shift states, in turn
    const char* sample;              // what each row then writes
    bool ownFace;
  } rows[] = {
      {"off", "Ωμέγα", {}, "ABCDEFGabcdefg1234567890", false},
      {"once", "Ωμέγα", {0}, "Ωμέγα", true},
      {"twice", "Ωμέγα", {0, 0}, "ABCDEFGabcdefg1234567890", false},
      {"with Ctrl", "Ωμέγα", {2}, "ABCDEFGabcdefg1234567890", false},
      {"with Shift", "Ωμέγα", {1}, "ABCDEFGabcdefg1234567890", false},
      {"empty text", "", {0}, "ABCDEFGabcdefg1234567890", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Open(20);
    main->sampleText = QString::fromUtf8(row.text);
    for (const int shift : row.shifts) Key(84, shift);
    RecordingPage page;
    window().DrawPage(page);
    ASSERT_EQ(page.texts.size(), 32u);
    for (std::size_t i = 1; i < page.texts.size(); i += 2) {
      EXPECT_EQ(page.texts[i].text, QString::fromUtf8(row.sample)) << i;
      EXPECT_EQ((page.texts[i].font.styleStrategy() & QFont::NoFontMerging) != 0, row.ownFace) << i;
      EXPECT_EQ(page.texts[i].font.family(), main->names[static_cast<int>(i / 2)]);
    }
    // The name column is untouched.
    EXPECT_EQ(page.texts[0].text, main->names[0] + ":");
  }
}

TEST_F(SummaryWindowTest, EscapeClosesAndWithAModifierEndsTheProgram) {
  Open(40);
  Key(27);
  EXPECT_FALSE(seam->IsOpen());
  EXPECT_EQ(main->endProgramCalls, 0);
  seam->Open();
  Key(27, 1);
  EXPECT_FALSE(seam->IsOpen());
  EXPECT_EQ(main->endProgramCalls, 1);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(SummaryWindowTest, EveryOpeningLoadsAfresh) {
  Open(40);
  window().VScroll()->setValue(12);
  seam->Open();
  EXPECT_TRUE(seam->IsOpen());
  EXPECT_EQ(window().topIndex(), 0);
  EXPECT_EQ(window().VScroll()->value(), 0);
  seam->Close();
  EXPECT_FALSE(seam->IsOpen());
  seam->Close();  // closing a closed window does nothing
}

}  // namespace
}  // namespace typeloom::summary
