// Key codes and mnemonics by the key's Latin place, from key events as X11 delivers
// them for Russian, Greek and other layouts (native key code, keysym, text).
#include "platform/ui/LatinMnemonics.h"
#include "platform/ui/WindowServices.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

struct KeyRow {
  const char* name;
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  quint32 xkbKeycode;
  quint32 keysym;
  const char* text;
  int code;
};

void PrintTo(const KeyRow& row, std::ostream* os) { *os << row.name; }

class KeyCodes : public ::testing::TestWithParam<KeyRow> {};

TEST_P(KeyCodes, FollowTheLatinPlace) {
  const KeyRow& r = GetParam();
  const QKeyEvent event(QEvent::KeyPress, r.qtKey, r.modifiers, r.xkbKeycode, r.keysym, 0, QString::fromUtf8(r.text));
  EXPECT_EQ(KeyCodeOf(event), r.code);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, KeyCodes,
    ::testing::Values(
        // Russian alone: Ctrl with the key under P gives Cyrillic ze.
        KeyRow{"RussianCtrlZeIsP", 0x417, Qt::ControlModifier, 33, 0x6da, "\x10", 80},
        KeyRow{"RussianAltYeruIsS", 0x42b, Qt::AltModifier, 39, 0x6d9, "ы", 83},
        KeyRow{"RussianPlainEfIsA", 0x424, Qt::NoModifier, 38, 0x6c6, "ф", 65},
        KeyRow{"RussianYaIsZ", 0x42f, Qt::NoModifier, 52, 0x6d1, "я", 90},
        KeyRow{"RussianEmIsM", 0x42c, Qt::NoModifier, 58, 0x6dd, "ь", 77},
        // Greek alone.
        KeyRow{"GreekCtrlPiIsP", 0x3a0, Qt::ControlModifier, 33, 0x7f0, "\x10", 80},
        KeyRow{"GreekAltSigmaIsS", 0x3a3, Qt::AltModifier, 39, 0x7f2, "σ", 83},
        // Qt's own Latin key (a Latin layout among the active ones) stands.
        KeyRow{"RussianWithUsCtrlP", Qt::Key_P, Qt::ControlModifier, 33, 0x6da, "\x10", 80},
        // A Latin layout keeps its own letters: the French key under A is Q.
        KeyRow{"FrenchQ", Qt::Key_Q, Qt::NoModifier, 38, 'q', "q", 81},
        KeyRow{"FrenchDigitRowWithoutShift", Qt::Key_Eacute, Qt::NoModifier, 11, 0xe9, "é", 50},
        // Keys with codes of their own, and keys off the letter and digit rows.
        KeyRow{"Escape", Qt::Key_Escape, Qt::ShiftModifier, 9, 0xff1b, "\x1b", 27},
        KeyRow{"F16", Qt::Key_F16, Qt::NoModifier, 194, 0xffcd, "", 127},
        KeyRow{"RussianBeOnTheCommaKey", 0x411, Qt::NoModifier, 59, 0x6c2, "б", 0},
        KeyRow{"NoNativeCode", 0x417, Qt::ControlModifier, 0, 0, "\x10", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LatinKeyCodeAt, CoversTheLetterAndDigitRows) {
  QString row;
  for (quint32 code = 8; code < 70; ++code) {
    if (const int latin = LatinKeyCodeAt(code)) row += QChar(latin);
  }
  EXPECT_EQ(row, "1234567890QWERTYUIOPASDFGHJKLZXCVBNM");
  EXPECT_EQ(LatinKeyCodeAt(0), 0);
  EXPECT_EQ(LatinKeyCodeAt(0xffffffffu), 0);
}

// Alt plus a key of a layout without Latin letters, sent to the focused control as
// X11 delivers it after Qt found no mnemonic.
struct MnemonicRow {
  const char* name;
  int qtKey;
  Qt::KeyboardModifiers modifiers;
  quint32 xkbKeycode;
  const char* text;
  int clicks;            // clicks of "&Save"
  const char* focusName;  // the control with the focus afterwards
  const char* fieldText;  // what reached the focused field ("" when a mnemonic took the key)
};

void PrintTo(const MnemonicRow& row, std::ostream* os) { *os << row.name; }

class LatinMnemonic : public ::testing::TestWithParam<MnemonicRow> {};

TEST_P(LatinMnemonic, ReachesTheControl) {
  const MnemonicRow& r = GetParam();
  EnableLatinMnemonics();
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* edit = new QLineEdit(&window);
  edit->setObjectName("edit");
  auto* save = new QPushButton("&Save", &window);
  save->setObjectName("save");
  auto* label = new QLabel("&Name:", &window);
  auto* name = new QLineEdit(&window);
  name->setObjectName("name");
  label->setBuddy(name);
  auto* first = new QPushButton("&Open", &window);
  first->setObjectName("open1");
  auto* second = new QPushButton("&Other", &window);  // shares the letter O with the first
  second->setObjectName("open2");
  for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(save), static_cast<QWidget*>(label),
                     static_cast<QWidget*>(name), static_cast<QWidget*>(first), static_cast<QWidget*>(second)}) {
    layout->addWidget(w);
  }
  int clicks = 0;
  QObject::connect(save, &QPushButton::clicked, [&clicks] { ++clicks; });
  window.show();
  QApplication::setActiveWindow(&window);
  edit->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), edit);

  QKeyEvent press(QEvent::KeyPress, r.qtKey, r.modifiers, r.xkbKeycode, 0, 0, QString::fromUtf8(r.text));
  QApplication::sendEvent(edit, &press);
  // A mnemonic clicks as Qt's do: the button shows pressed, then clicks.
  EXPECT_TRUE(QTest::qWaitFor([&] { return clicks >= r.clicks; }));
  QApplication::processEvents();
  EXPECT_EQ(clicks, r.clicks);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), r.focusName);
  EXPECT_EQ(edit->text(), QString::fromUtf8(r.fieldText));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LatinMnemonic,
    ::testing::Values(MnemonicRow{"RussianAltSClicksSave", 0x42b, Qt::AltModifier, 39, "ы", 1, "edit", ""},
                      MnemonicRow{"GreekAltSClicksSave", 0x3a3, Qt::AltModifier, 39, "σ", 1, "edit", ""},
                      MnemonicRow{"RussianAltNFocusesTheLabelsControl", 0x422, Qt::AltModifier, 57, "т", 0, "name",
                                  ""},
                      MnemonicRow{"SharedLetterMovesTheFocusOnly", 0x429, Qt::AltModifier, 32, "щ", 0, "open1", ""},
                      // Not mnemonics: the field gets the key as Qt gives it.
                      MnemonicRow{"AltShiftIsNoMnemonic", 0x42b, Qt::AltModifier | Qt::ShiftModifier, 39, "Ы", 0,
                                  "edit", "Ы"},
                      MnemonicRow{"CtrlIsNoMnemonic", 0x42b, Qt::ControlModifier, 39, "\x13", 0, "edit", ""},
                      MnemonicRow{"LetterWithoutMnemonic", 0x419, Qt::AltModifier, 24, "й", 0, "edit", "й"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::platform
