// Every way text reaches the numeric field, as real Qt input events: keys with the
// text X11 gives them, an input method's commit, the middle button's paste of the
// selection and a drop all pass the one typing filter; Delete deletes.
#include "controls/NumberBox.h"

#include "controls/NumberFormat.h"
#include "support/FakeClipboard.h"

#include <QApplication>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <gtest/gtest.h>

namespace typeloom::controls {
namespace {

enum class Route { Key, Commit, MiddleClick, Drop };

struct InputRow {
  const char* name;
  const char* format;  // the field's mask
  const char* text;    // the bare text while focused
  int caret;           // caret position, nothing selected (-1: all selected)
  Route route;
  int key;             // Route::Key: the Qt key
  const char* input;   // the key's text, the commit, the selection or the dropped text
  const char* expected;
  int beeps;
};

void PrintTo(const InputRow& row, std::ostream* os) { *os << row.name; }

class NumberBoxInput : public ::testing::TestWithParam<InputRow> {
 protected:
  PropertyStore host;
  testsupport::FakeClipboard clipboard;
  testsupport::FakeBeeper beeper;
  NumberBox box{nullptr, &host, &clipboard, &beeper};
};

TEST_P(NumberBoxInput, PassesTheTypingFilter) {
  const InputRow& row = GetParam();
  box.ReadProperties(PropertyStore{{"Format", row.format}, {"PositiveOnly", true}});
  box.resize(200, 30);
  box.show();
  QLineEdit* field = box.txtNumber();
  QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(field, &focus);
  field->setText(row.text);
  if (row.caret < 0) {
    field->selectAll();
  } else {
    field->setCursorPosition(row.caret);
  }
  const QString input = QString::fromUtf8(row.input);
  switch (row.route) {
    case Route::Key: {
      QKeyEvent press(QEvent::KeyPress, row.key, Qt::NoModifier, input);
      QApplication::sendEvent(field, &press);
      break;
    }
    case Route::Commit: {
      QInputMethodEvent commit;
      commit.setCommitString(input);
      QApplication::sendEvent(field, &commit);
      break;
    }
    case Route::MiddleClick: {
      clipboard.selection = input;
      // At the far right: the caret stays at the end of the text.
      const QPoint end(field->width() - 2, field->height() / 2);
      QTest::mouseClick(field, Qt::MiddleButton, {}, end);
      break;
    }
    case Route::Drop: {
      QMimeData data;
      data.setText(input);
      // A drop goes to the control that took the drag's entry.
      const QPoint end(field->width() - 2, field->height() / 2);
      QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(field, &enter);
      QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, {});
      QApplication::sendEvent(field, &drop);
      EXPECT_TRUE(drop.isAccepted());
      break;
    }
  }
  EXPECT_EQ(field->text(), QString::fromUtf8(row.expected));
  EXPECT_EQ(beeper.beeps, row.beeps);
}

constexpr char kMoney[] = "###,##0.00;(##,###.00)";

INSTANTIATE_TEST_SUITE_P(
    Routes, NumberBoxInput,
    ::testing::Values(
        // Deleting: X11 gives Delete the text "\x7f".
        InputRow{"DeleteRemovesTheDigitAfterTheCaret", "#0", "12", 0, Route::Key, Qt::Key_Delete, "\x7f", "2", 0},
        InputRow{"DeleteRemovesTheSelection", "#0", "12", -1, Route::Key, Qt::Key_Delete, "\x7f", "", 0},
        InputRow{"BackspaceRemovesTheDigitBefore", "#0", "12", 2, Route::Key, Qt::Key_Backspace, "\b", "1", 0},
        InputRow{"TypedDigit", "#0", "1", 1, Route::Key, Qt::Key_5, "5", "15", 0},
        InputRow{"TypedLetter", "#0", "1", 1, Route::Key, Qt::Key_A, "a", "1", 0},
        InputRow{"TypedDigitWhenFullBeeps", "#0", "12", 2, Route::Key, Qt::Key_3, "3", "12", 1},
        InputRow{"KeyWithTwoCharactersKeepsTheDigits", "#0", "", 0, Route::Key, 0, "4x", "4", 0},
        // An input method's commit (full-width digits are not ASCII digits).
        InputRow{"CommitOfDigits", "#0", "", 0, Route::Commit, 0, "42", "42", 0},
        InputRow{"CommitOfLettersAndDigits", "#0", "", 0, Route::Commit, 0, "a1b", "1", 0},
        InputRow{"CommitOfCjkText", "#0", "7", -1, Route::Commit, 0, "七１", "7", 0},
        InputRow{"CommitOverTheWholeText", kMoney, "12.5", -1, Route::Commit, 0, "3.25", "3.25", 0},
        InputRow{"CommitPastTheLimitBeeps", "#0", "", 0, Route::Commit, 0, "123", "12", 1},
        // The middle button's paste of the desktop's selection.
        InputRow{"MiddleClickDropsTheLetters", "#0", "", 0, Route::MiddleClick, 0, "abc1", "1", 0},
        InputRow{"MiddleClickAppendsAtTheEnd", "#0", "1", 1, Route::MiddleClick, 0, "5", "15", 0},
        InputRow{"MiddleClickKeepsOnePoint", kMoney, "1.5", 3, Route::MiddleClick, 0, "2.7", "1.527", 0},
        InputRow{"MiddleClickOfAMinusWhenPositiveOnly", kMoney, "", 0, Route::MiddleClick, 0, "-3", "3", 0},
        InputRow{"MiddleClickOfNothing", "#0", "4", 1, Route::MiddleClick, 0, "", "4", 0},
        // A drop.
        InputRow{"DropOfLettersAndDigits", "#0", "", 0, Route::Drop, 0, "x9y", "9", 0},
        InputRow{"DropOfControlCharacters", kMoney, "", 0, Route::Drop, 0, "1\t2\n3", "123", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberBoxLocked, TakesNothingByAnyRoute) {
  PropertyStore host;
  testsupport::FakeClipboard clipboard;
  testsupport::FakeBeeper beeper;
  NumberBox box{nullptr, &host, &clipboard, &beeper};
  box.ReadProperties(PropertyStore{{"Value", "12"}, {"Locked", true}});
  QLineEdit* field = box.txtNumber();
  const QString shown = field->text();
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, "\x7f");
  QApplication::sendEvent(field, &del);
  QInputMethodEvent commit;
  commit.setCommitString("5");
  QApplication::sendEvent(field, &commit);
  clipboard.selection = "6";
  QTest::mouseClick(field, Qt::MiddleButton);
  EXPECT_EQ(field->text(), shown);
}

struct InsertRow {
  const char* name;
  const char* text;
  TypingState state;
  const char* accepted;
  bool beep;
};

void PrintTo(const InsertRow& row, std::ostream* os) { *os << row.name; }

class InsertionFilter : public ::testing::TestWithParam<InsertRow> {};

TEST_P(InsertionFilter, LetsThroughWhatTypingWould) {
  const Inserted result = FilterInserted(QString::fromUtf8(GetParam().text), GetParam().state);
  EXPECT_EQ(result.text, QString::fromUtf8(GetParam().accepted));
  EXPECT_EQ(result.beep, GetParam().beep);
}

constexpr TypingState State(qsizetype length, qsizetype start, qsizetype selected, int maxLength, bool textPoint,
                            bool positiveOnly = false) {
  TypingState s;
  s.textLength = length;
  s.selectionStart = start;
  s.selectionLength = selected;
  s.maxLength = maxLength;
  s.textHasPoint = textPoint;
  s.formatHasPoint = true;
  s.positiveOnly = positiveOnly;
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertionFilter,
    ::testing::Values(
        InsertRow{"OnlyTheFirstPoint", "1.2.3", State(0, 0, 0, 10, false), "1.23", false},
        InsertRow{"NoPointWhenTheTextHasOne", ".5", State(2, 2, 0, 10, true), "5", false},
        InsertRow{"APointOverTheWholeTextThatHadOne", "1.5", State(3, 0, 3, 10, true), "1.5", false},
        InsertRow{"MinusOnlyFirst", "-1-2", State(0, 0, 0, 10, false), "-12", false},
        InsertRow{"MinusPastTheCaretStart", "-1", State(1, 1, 0, 10, false), "1", false},
        InsertRow{"StopsAtTheLimitWithABeep", "12345", State(7, 7, 0, 10, false), "123", true},
        InsertRow{"ReplacingTheWholeTextStartsAfresh", "987", State(10, 0, 10, 10, false), "987", false},
        InsertRow{"ControlCharactersAndBackspaceNeverGoIn", "1\b2\x7f" "3", State(0, 0, 0, 10, false), "123", false},
        InsertRow{"LettersAndOtherScripts", "a١٢b", State(0, 0, 0, 10, false), "", false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::controls
