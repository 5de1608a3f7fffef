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
 protected:
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
  void Copies() {
    box.ReadProperties(PropertyStore{{"Format", "#0"}, {"PositiveOnly", true}, {"Value", 1}});
    changes = 0;
  }
};

TEST_F(NumberBoxTest, TypingIntoTheCopiesFieldStopsAtTwoDigitsWithABeep) {
  Copies();
  Focus(true);
  EXPECT_EQ(field()->text(), "1");
  EXPECT_EQ(field()->selectedText(), "1");
  QTest::keyClicks(field(), "2-5a0");
  EXPECT_EQ(field()->text(), "25");
  EXPECT_EQ(beeper.beeps, 1) << "only the digit at the limit beeps";
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(box.value().toDouble(), 25.0);
}

TEST_F(NumberBoxTest, ChangeFollowsTheNumberNotTheText) {
  Focus(true);
  QTest::keyClicks(field(), "1");
  EXPECT_EQ(changes, 1);
  QTest::keyClicks(field(), "2");
  EXPECT_EQ(changes, 2);
  field()->setText("1234.50");
  changes = 0;
  field()->setText("1234.5");
  EXPECT_EQ(changes, 0) << "same number";
  field()->setText("txtNumber");
  EXPECT_EQ(changes, 0);
}

TEST_F(NumberBoxTest, FocusShowsTheBareNumberLeftAlignedAndTheMaskedOneAfter) {
  box.setValue(-1234.5);
  EXPECT_EQ(field()->text(), "(1,234.50)");
  EXPECT_EQ(box.value().toDouble(), -1234.5);
  Focus(true);
  EXPECT_TRUE(box.GotFocus());
  EXPECT_EQ(field()->text(), "-1234.50");
  EXPECT_EQ(field()->selectedText(), "-1234.50");
  EXPECT_TRUE(field()->alignment().testFlag(Qt::AlignLeft));
  field()->setText("99.5");
  Focus(false);
  EXPECT_FALSE(box.GotFocus());
  EXPECT_EQ(field()->text(), "99.50");
  EXPECT_TRUE(field()->alignment().testFlag(Qt::AlignRight));
  // Switching windows is not a focus change of the field.
  Focus(true, Qt::ActiveWindowFocusReason);
  EXPECT_EQ(field()->text(), "99.50");
}

TEST_F(NumberBoxTest, LockedFieldKeepsItsTextOnFocusAndTakesNothing) {
  box.ReadProperties(PropertyStore{{"Value", "1234"}, {"Locked", true}});
  Focus(true);
  EXPECT_EQ(field()->text(), "1,234.00");
  EXPECT_TRUE(field()->alignment().testFlag(Qt::AlignRight));
  QTest::keyClicks(field(), "5");
  clipboard.text = "77";
  QTest::keyClick(field(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(field(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(field()->text(), "1,234.00");
  EXPECT_EQ(clipboard.text, "1,234.00") << "Ctrl+X still copies";
  Focus(false);
  EXPECT_EQ(field()->text(), "1,234.00");
}

TEST_F(NumberBoxTest, ClipboardKeysTakeTheWholeText) {
  box.setValue(1234);
  Focus(true);
  field()->setSelection(1, 2);
  QTest::keyClick(field(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text, "1234.00");
  clipboard.text = "none";
  QTest::keyClick(field(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(clipboard.text, "none");

  clipboard.text = "$ 5,000.5";
  changes = 0;
  QTest::keyClick(field(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field()->text(), "5,000.50") << "pasted text shows formatted while focused";
  EXPECT_EQ(field()->selectedText(), "5,000.50");
  EXPECT_EQ(changes, 1);

  QTest::keyClick(field(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(clipboard.text, "5,000.50");
  EXPECT_EQ(field()->text(), "");
  EXPECT_EQ(box.value(), QVariant(0));
  EXPECT_EQ(box.value().typeId(), QMetaType::Int);
}

TEST_F(NumberBoxTest, TheFieldsOwnShortcutsDoNothing) {
  Focus(true);
  QTest::keyClicks(field(), "12");
  QTest::keyClick(field(), Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(field(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(field()->text(), "12");
  QTest::keyClick(field(), Qt::Key_Backspace);
  EXPECT_EQ(field()->text(), "1");
}

TEST_F(NumberBoxTest, KeyEventsCarryTheKeyCodes) {
  std::vector<int> pressed, released;
  box.KeyPress = [&](int& k) { pressed.push_back(k); };
  box.KeyUp = [&](int& k, int& shift) { released.push_back(k * 10 + shift); };
  QTest::keyClick(field(), Qt::Key_A);
  QTest::keyClick(field(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(pressed, (std::vector<int>{65, 16, 38}));
  EXPECT_EQ(released, (std::vector<int>{650, 381, 160}));
}

TEST_F(NumberBoxTest, SettingValueShowsItFormattedRaisesChangeAndMarksValue) {
  box.setValue(QString("(5.00)"));
  EXPECT_EQ(field()->text(), "(5.00)");
  EXPECT_GE(changes, 1);
  EXPECT_TRUE(host.IsChanged("Value"));
  changes = 0;
  box.setValue(0.1 + 0.2);
  EXPECT_EQ(field()->text(), "0.30");
  EXPECT_GE(changes, 1);
  box.setValue(1234567.0);
  EXPECT_EQ(field()->text(), "234,567.00");
  box.setValue(1e20);
  EXPECT_EQ(field()->text(), "0.00") << "written out, not in exponent form (\"1E+20\" would show 120.00)";
}

TEST_F(NumberBoxTest, HighlightPutsTheBareNumberUpSelected) {
  box.setValue(1234.5);
  changes = 0;
  box.Highlight();
  EXPECT_EQ(field()->text(), "1234.50");
  EXPECT_EQ(field()->selectedText(), "1234.50");
  EXPECT_EQ(changes, 1);
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
