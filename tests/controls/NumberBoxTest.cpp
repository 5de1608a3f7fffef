#include "controls/NumberBox.h"

#include "controls/NumberFormat.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeClipboard.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace typeloom::controls {
namespace {

struct TypingRow {
  const char* name;
  char16_t character;
  TypingState state;
  Typed expected;
};

class TypingFilter : public ::testing::TestWithParam<TypingRow> {};

TEST_P(TypingFilter, DecidesEachCharacter) {
  EXPECT_EQ(FilterTyped(GetParam().character, GetParam().state), GetParam().expected);
}

// Text, caret, selection and limit of the field, then the mask's and text's points.
constexpr TypingState Field(qsizetype length, qsizetype start, qsizetype selected, int maxLength = 10,
                            bool positiveOnly = false, bool textPoint = false, bool formatPoint = true) {
  TypingState s;
  s.textLength = length;
  s.selectionStart = start;
  s.selectionLength = selected;
  s.maxLength = maxLength;
  s.positiveOnly = positiveOnly;
  s.textHasPoint = textPoint;
  s.formatHasPoint = formatPoint;
  return s;
}
constexpr TypingState Locked() {
  TypingState s = Field(0, 0, 0);
  s.locked = true;
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypingFilter,
    ::testing::Values(
        TypingRow{"DigitBelowTheLimit", u'9', Field(8, 8, 0), Typed::Accept},
        TypingRow{"DigitAtTheLimitBeeps", u'9', Field(10, 10, 0), Typed::RefuseWithBeep},
        TypingRow{"DigitOverAPartialSelectionAtTheLimitBeeps", u'9', Field(10, 0, 9), Typed::RefuseWithBeep},
        TypingRow{"DigitOverTheWholeTextAtTheLimit", u'9', Field(10, 0, 10), Typed::Accept},
        TypingRow{"NoLimit", u'9', Field(50, 50, 0, 0), Typed::Accept},
        TypingRow{"BackspaceWhenFull", 8, Field(10, 10, 0), Typed::Accept},
        TypingRow{"PointWhenFullBeeps", u'.', Field(10, 10, 0), Typed::RefuseWithBeep},
        TypingRow{"PointWithoutOneInTheMask", u'.', Field(1, 1, 0, 2, false, false, false), Typed::Refuse},
        TypingRow{"FirstPoint", u'.', Field(2, 2, 0), Typed::Accept},
        TypingRow{"SecondPoint", u'.', Field(3, 3, 0, 10, false, true), Typed::Refuse},
        TypingRow{"SecondPointOverTheWholeText", u'.', Field(3, 0, 3, 10, false, true), Typed::Accept},
        TypingRow{"MinusAtTheStart", u'-', Field(2, 0, 0), Typed::Accept},
        TypingRow{"MinusPastTheStart", u'-', Field(2, 1, 0), Typed::Refuse},
        TypingRow{"MinusWhenPositiveOnly", u'-', Field(0, 0, 0, 10, true), Typed::Refuse},
        TypingRow{"MinusWhenFullBeeps", u'-', Field(10, 0, 0), Typed::RefuseWithBeep},
        TypingRow{"Letter", u'a', Field(0, 0, 0), Typed::Refuse},
        TypingRow{"Comma", u',', Field(0, 0, 0), Typed::Refuse},
        TypingRow{"ControlCharacter", 22, Field(0, 0, 0), Typed::Refuse},
        TypingRow{"LetterWhenFullIsSilent", u'a', Field(10, 10, 0), Typed::Refuse},
        TypingRow{"DigitWhenLocked", u'5', Locked(), Typed::Refuse},
        TypingRow{"BackspaceWhenLocked", 8, Locked(), Typed::Refuse}),
    [](const auto& info) { return std::string(info.param.name); });

class NumberBoxTest : public ::testing::Test {
 public:
  PropertyStore host;
  testsupport::FakeClipboard clipboard;
  testsupport::FakeBeeper beeper;
  NumberBox box{nullptr, &host, &clipboard, &beeper};
  int changes = 0;

  void SetUp() override {
    box.Change = [this] { ++changes; };
  }
  QLineEdit* field() { return box.txtNumber(); }
  void Focus(bool in, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, reason);
    QApplication::sendEvent(field(), &event);
  }
  // Typing and clipboard keys as the user gives them.
  void Keys(const char* text) { QTest::keyClicks(field(), text); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(field(), key, modifiers); }
  void ResetChanges() { changes = 0; }
};

// One interaction with the field: the properties it starts from, what the user or
// the program does, then what the field shows and what it raised. `changes` counts
// from the end of `act`'s last ResetChanges (from the start when it has none).
struct Interaction {
  const char* name;
  PropertyStore start;
  void (*act)(NumberBoxTest&);
  QString text;
  QString selected = {};
  int changes = 0;
  bool orMoreChanges = false;
  QString clipboard = {};
  int beeps = 0;
  std::optional<bool> leftAligned = {};
  std::optional<bool> gotFocus = {};
  QVariant value = {};  // unchecked when invalid
};

void PrintTo(const Interaction& row, std::ostream* os) { *os << row.name; }

class NumberBoxInteraction : public NumberBoxTest, public ::testing::WithParamInterface<Interaction> {};

TEST_P(NumberBoxInteraction, ShowsAndRaises) {
  const Interaction& row = GetParam();
  box.ReadProperties(row.start);
  changes = 0;
  row.act(*this);
  EXPECT_EQ(field()->text().toStdString(), row.text.toStdString());
  EXPECT_EQ(field()->selectedText().toStdString(), row.selected.toStdString());
  if (row.orMoreChanges) {
    EXPECT_GE(changes, row.changes);
  } else {
    EXPECT_EQ(changes, row.changes);
  }
  EXPECT_EQ(clipboard.text.toStdString(), row.clipboard.toStdString());
  EXPECT_EQ(beeper.beeps, row.beeps);
  if (row.leftAligned) {
    EXPECT_EQ(field()->alignment().testFlag(Qt::AlignLeft), *row.leftAligned);
    EXPECT_EQ(field()->alignment().testFlag(Qt::AlignRight), !*row.leftAligned);
  }
  if (row.gotFocus) {
    EXPECT_EQ(box.GotFocus(), *row.gotFocus);
  }
  if (row.value.isValid()) {
    EXPECT_EQ(box.value(), row.value);
    EXPECT_EQ(box.value().typeId(), row.value.typeId());
  }
}

using F = NumberBoxTest;
const PropertyStore kCopies{{"Format", "#0"}, {"PositiveOnly", true}, {"Value", 1}};
const PropertyStore kLocked{{"Value", "1234"}, {"Locked", true}};

// A field that holds `value` and has the focus, its text selected.
template <int kValue>
void FocusedOn(F& f) {
  f.box.setValue(kValue);
  f.Focus(true);
  f.ResetChanges();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberBoxInteraction,
    ::testing::Values(
        // The copies field of the print dialog: two digits at most, positive only.
        Interaction{.name = "CopiesFieldFocusedSelectsItsNumber", .start = kCopies, .act = [](F& f) { f.Focus(true); },
                    .text = "1", .selected = "1"},
        Interaction{.name = "TypingIntoTheCopiesFieldStopsAtTwoDigitsWithABeep", .start = kCopies,
                    .act = [](F& f) { f.Focus(true); f.Keys("2-5a0"); }, .text = "25", .changes = 2, .beeps = 1,
                    .value = 25.0},
        // Change follows the number, not the text.
        Interaction{.name = "EveryDigitTypedIsAChange", .start = {}, .act = [](F& f) { f.Focus(true); f.Keys("12"); },
                    .text = "12", .changes = 2},
        Interaction{.name = "TheSameNumberSpelledOtherwiseIsNoChange", .start = {},
                    .act = [](F& f) { f.field()->setText("1234.50"); f.ResetChanges(); f.field()->setText("1234.5"); },
                    .text = "1234.5"},
        Interaction{.name = "TextThatIsNoNumberIsNoChange", .start = {},
                    .act = [](F& f) {
                      f.field()->setText("1234.50"); f.field()->setText("1234.5"); f.ResetChanges();
                      f.field()->setText("txtNumber");
                    },
                    .text = "txtNumber"},
        // Focus shows the bare number, left aligned; leaving shows the mask.
        Interaction{.name = "UnfocusedValueShowsTheMask", .start = {}, .act = [](F& f) { f.box.setValue(-1234.5); },
                    .text = "(1,234.50)", .changes = 1, .orMoreChanges = true, .value = -1234.5},
        Interaction{.name = "FocusShowsTheBareNumberSelectedLeftAligned", .start = {},
                    .act = [](F& f) { f.box.setValue(-1234.5); f.ResetChanges(); f.Focus(true); }, .text = "-1234.50",
                    .selected = "-1234.50", .leftAligned = true, .gotFocus = true},
        Interaction{.name = "LeavingShowsTheMaskRightAligned", .start = {},
                    .act = [](F& f) { f.Focus(true); f.field()->setText("99.5"); f.ResetChanges(); f.Focus(false); },
                    .text = "99.50", .leftAligned = false, .gotFocus = false},
        Interaction{.name = "SwitchingWindowsIsNoFocusChangeOfTheField", .start = {},
                    .act = [](F& f) {
                      f.Focus(true); f.field()->setText("99.5"); f.Focus(false); f.ResetChanges();
                      f.Focus(true, Qt::ActiveWindowFocusReason);
                    },
                    .text = "99.50", .leftAligned = false},
        // A locked field keeps its masked text and takes nothing; Ctrl+X still copies.
        Interaction{.name = "LockedFieldKeepsItsTextOnFocus", .start = kLocked, .act = [](F& f) { f.Focus(true); },
                    .text = "1,234.00", .selected = "1,234.00", .leftAligned = false},
        Interaction{.name = "LockedFieldTakesNothing", .start = kLocked,
                    .act = [](F& f) {
                      f.Focus(true); f.Keys("5"); f.clipboard.text = "77";
                      f.Key(Qt::Key_V, Qt::ControlModifier); f.Key(Qt::Key_X, Qt::ControlModifier);
                    },
                    .text = "1,234.00", .selected = "1,234.00", .clipboard = "1,234.00"},
        Interaction{.name = "LockedFieldKeepsItsTextAfterFocus", .start = kLocked,
                    .act = [](F& f) { f.Focus(true); f.Focus(false); }, .text = "1,234.00"},
        // The clipboard keys take the whole text.
        Interaction{.name = "CopyTakesTheWholeText", .start = {},
                    .act = [](F& f) {
                      FocusedOn<1234>(f);
                      f.field()->setSelection(1, 2);
                      f.Key(Qt::Key_C, Qt::ControlModifier);
                    },
                    .text = "1234.00", .selected = "23", .clipboard = "1234.00"},
        Interaction{.name = "CtrlShiftCCopiesNothing", .start = {},
                    .act = [](F& f) {
                      FocusedOn<1234>(f); f.clipboard.text = "none";
                      f.Key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
                    },
                    .text = "1234.00", .selected = "1234.00", .clipboard = "none"},
        Interaction{.name = "PastedTextShowsFormattedAndSelected", .start = {},
                    .act = [](F& f) {
                      FocusedOn<1234>(f);
                      f.clipboard.text = "$ 5,000.5";
                      f.Key(Qt::Key_V, Qt::ControlModifier);
                    },
                    .text = "5,000.50", .selected = "5,000.50", .changes = 1, .clipboard = "$ 5,000.5"},
        Interaction{.name = "CutTakesTheWholeTextAndLeavesZero", .start = {},
                    .act = [](F& f) {
                      FocusedOn<1234>(f); f.clipboard.text = "$ 5,000.5"; f.Key(Qt::Key_V, Qt::ControlModifier);
                      f.ResetChanges(); f.Key(Qt::Key_X, Qt::ControlModifier);
                    },
                    .text = "", .changes = 1, .clipboard = "5,000.50", .value = 0},
        // The line edit's own shortcuts are off; editing keys still work.
        Interaction{.name = "UndoAndShiftInsertDoNothing", .start = {},
                    .act = [](F& f) {
                      f.Focus(true); f.Keys("12"); f.ResetChanges();
                      f.Key(Qt::Key_Z, Qt::ControlModifier); f.Key(Qt::Key_Insert, Qt::ShiftModifier);
                    },
                    .text = "12"},
        Interaction{.name = "BackspaceStillDeletes", .start = {},
                    .act = [](F& f) { f.Focus(true); f.Keys("12"); f.ResetChanges(); f.Key(Qt::Key_Backspace); },
                    .text = "1", .changes = 1},
        // Setting the value shows it formatted and raises Change.
        Interaction{.name = "SetValueOfMaskedText", .start = {}, .act = [](F& f) { f.box.setValue(QString("(5.00)")); },
                    .text = "(5.00)", .changes = 1, .orMoreChanges = true},
        Interaction{.name = "SetValueRoundsToTheMask", .start = {}, .act = [](F& f) { f.box.setValue(0.1 + 0.2); },
                    .text = "0.30", .changes = 1, .orMoreChanges = true},
        Interaction{.name = "SetValueLongerThanTheFieldKeepsTheEnd", .start = {},
                    .act = [](F& f) { f.box.setValue(1234567.0); }, .text = "234,567.00", .changes = 1,
                    .orMoreChanges = true},
        // Written out, not in exponent form ("1E+20" would show 120.00).
        Interaction{.name = "SetValueHugeIsWrittenOut", .start = {}, .act = [](F& f) { f.box.setValue(1e20); },
                    .text = "0.00", .changes = 1, .orMoreChanges = true},
        Interaction{.name = "HighlightPutsTheBareNumberUpSelected", .start = {},
                    .act = [](F& f) { f.box.setValue(1234.5); f.ResetChanges(); f.box.Highlight(); }, .text = "1234.50",
                    .selected = "1234.50", .changes = 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NumberBoxTest, KeyEventsCarryTheKeyCodes) {
  std::vector<int> pressed, released;
  box.KeyPress = [&](int& k) { pressed.push_back(k); };
  box.KeyUp = [&](int& k, int& shift) { released.push_back(k * 10 + shift); };
  QTest::keyClick(field(), Qt::Key_A);
  QTest::keyClick(field(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(pressed, (std::vector<int>{65, 16, 38}));
  EXPECT_EQ(released, (std::vector<int>{650, 381, 160}));
}

TEST_F(NumberBoxTest, SettingValueMarksValue) {
  box.setValue(5);
  EXPECT_TRUE(host.IsChanged("Value"));
}

TEST_F(NumberBoxTest, SettersApplyAndMarkTheirProperty) {
  box.SetFormat("#0");
  EXPECT_EQ(box.MaxLength(), 2);
  box.SetEnabled(false);
  EXPECT_FALSE(field()->isEnabled());
  box.SetPositiveOnly(true);
  EXPECT_TRUE(box.SetBackColor("&HFF00FF&"));
  EXPECT_EQ(field()->palette().color(QPalette::Base), QColor(255, 0, 255));
  EXPECT_TRUE(box.SetForeColor("255"));
  EXPECT_EQ(field()->palette().color(QPalette::Text), QColor(255, 0, 0));
  box.SetLocked(true);
  EXPECT_TRUE(field()->isReadOnly());
  EXPECT_EQ(host.ChangedKeys(), (QStringList{"Format", "Enabled", "PositiveOnly", "BackColor", "ForeColor", "Locked"}));
  EXPECT_FALSE(box.SetBackColor("pink"));
  EXPECT_EQ(box.BackColor(), "&HFF00FF&");
}

TEST_F(NumberBoxTest, SavedPropertiesLoadIntoANewFieldAlike) {
  PropertyStore layout{{"value", "-7"}, {"format", "#0"}, {"positiveonly", true}, {"BackColor", "&H80000005&"}};
  box.ReadProperties(layout);
  // PositiveOnly is read before the value is formatted.
  EXPECT_EQ(field()->text(), "7");
  EXPECT_EQ(field()->palette().color(QPalette::Base), platform::SystemColor(platform::kColorWindow));
  PropertyStore saved;
  box.WriteProperties(saved);
  EXPECT_EQ(saved.Keys(),
            (QStringList{"Value", "Format", "Enabled", "PositiveOnly", "BackColor", "ForeColor", "Locked"}));
  NumberBox copy(nullptr, nullptr, &clipboard, &beeper);
  copy.ReadProperties(saved);
  EXPECT_EQ(copy.txtNumber()->text(), "7");
  EXPECT_EQ(copy.Format(), "#0");
  EXPECT_TRUE(copy.PositiveOnly());
  EXPECT_EQ(copy.ForeColor(), "&H80000008&");
  PropertyStore again;
  copy.WriteProperties(again);
  for (const QString& key : saved.Keys()) EXPECT_EQ(again.Read(key, {}), saved.Read(key, {})) << key.toStdString();
}

TEST_F(NumberBoxTest, NewFieldHasTheInitialValues) {
  EXPECT_EQ(box.Format(), "###,##0.00;(##,###.00)");
  EXPECT_EQ(box.MaxLength(), 10);
  EXPECT_TRUE(box.Enabled());
  EXPECT_FALSE(box.PositiveOnly());
  EXPECT_EQ(box.BackColor(), "&H80000005&");
  EXPECT_EQ(box.ForeColor(), "&H80000008&");
  EXPECT_FALSE(box.Locked());
  EXPECT_FALSE(box.GotFocus());
  EXPECT_EQ(box.value(), QVariant(0));
}

TEST_F(NumberBoxTest, ControlIsAtLeast285TwipsHighAndTheFieldFillsIt) {
  box.show();
  box.resize(platform::TwipsToPixelsX(1000), platform::TwipsToPixelsY(100));
  EXPECT_EQ(box.height(), platform::TwipsToPixelsY(285));
  EXPECT_EQ(field()->geometry(), box.rect());
  box.resize(platform::TwipsToPixelsX(600), platform::TwipsToPixelsY(600));
  EXPECT_EQ(field()->geometry(), box.rect());
}

}  // namespace
}  // namespace typeloom::controls
