// The main window under a real X server of its own (this test runs inside
// xvfb-run, with the compose input method): what reaches the Text box as the
// user's text, and the window's keys and mnemonics on Russian and Greek layouts
// set with setxkbmap and typed by xdotool.
#include "app/Viewer.h"
#include "platform/ui/LatinMnemonics.h"
#include "platform/ui/ListWithEdit.h"
#include "support/FakeAppServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace typeloom::app {
namespace {

class LoggingSeam final : public WindowSeam {
 public:
  LoggingSeam(QStringList& log, QString name) : log_(log), name_(std::move(name)) {}
  void Open() override { log_ << "open " + name_; }
  void Close() override {}
  bool IsOpen() const override { return false; }

 private:
  QStringList& log_;
  QString name_;
};

int RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(program, arguments);
  if (!process.waitForFinished(60000)) return -1;
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class InputIT : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "runs under xvfb-run";
    ASSERT_EQ(RunTool("setxkbmap", {"-layout", "us", "-variant", ""}), 0);
    platform::EnableLatinMnemonics();
    fake.settings.SaveSetting(kAppTitle, kSettingsSection, "ShowSplash", "0");
    fake.AddFont("DejaVu Sans (TrueType)", "DejaVuSans.ttf");
    fake.AddFont("DejaVu Serif (TrueType)", "DejaVuSerif.ttf");
    viewer = std::make_unique<Viewer>(module, fake.services);
    ViewerWindows windows;
    windows.summary = std::make_unique<LoggingSeam>(log, "summary");
    windows.printDialog = std::make_unique<LoggingSeam>(log, "print");
    windows.options = std::make_unique<LoggingSeam>(log, "options");
    windows.about = std::make_unique<LoggingSeam>(log, "about");
    viewer->SetWindows(std::move(windows));
    viewer->Form_Load();
    viewer->show();
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.get()));
    viewer->displayText->setFocus();
    // The focus selects the whole text once the event loop has run.
    ASSERT_TRUE(QTest::qWaitFor([this] { return viewer->displayText->hasSelectedText(); }));
    log.clear();
  }
  void TearDown() override { RunTool("setxkbmap", {"-layout", "us", "-variant", ""}); }

 public:
  // Types keys with xdotool into the window that has the X focus, then F1 (the
  // About box) as a mark that every key before it has been handled.
  void Type(const QStringList& keys) {
    ASSERT_EQ(RunTool("xdotool", QStringList{"key", "--delay", "20"} + keys + QStringList{"F1"}), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return log.contains("open about"); }, 10000)) << log.join(", ").toStdString();
  }

 protected:

  test::FakeAppServices fake;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
  QStringList log;
};

// --- The Text box -----------------------------------------------------------------

struct TextRow {
  const char* name;
  std::function<void(Viewer&, InputIT&)> act;
  // The text after another font was chosen; empty: that font's own sample line.
  std::function<QString(const QString& before)> kept;
};

void PrintTo(const TextRow& row, std::ostream* os) { *os << row.name; }

class TextBox : public InputIT, public ::testing::WithParamInterface<TextRow> {};

TEST_P(TextBox, CountsCommittedInputAsTheUsersText) {
  const QString before = viewer->displayText->text();
  ASSERT_EQ(before, "DejaVu Sans 8-point font");
  GetParam().act(*viewer, *this);
  QApplication::processEvents();
  const QString expected = GetParam().kept ? GetParam().kept(before) : QString();
  EXPECT_EQ(viewer->userText, GetParam().kept != nullptr);
  viewer->fontList->SetListIndex(1);
  EXPECT_EQ(viewer->fontList->Text(), "DejaVu Serif");
  EXPECT_EQ(viewer->displayText->text(), expected.isNull() ? QString("DejaVu Serif 8-point font") : expected);
}

QString Appended(const QString& before, const char* added) { return before + QString::fromUtf8(added); }

// Deselects and puts the caret at the end of the text.
void CaretAtTheEnd(QLineEdit* edit) {
  edit->deselect();
  edit->end(false);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, TextBox,
    ::testing::Values(
        TextRow{"InputMethodCommitOfCjkText",
                [](Viewer& v, InputIT&) {
                  QInputMethodEvent preedit(QStringLiteral("かん"), {});
                  QApplication::sendEvent(v.displayText, &preedit);
                  QInputMethodEvent commit;
                  commit.setCommitString(QStringLiteral("漢字"));
                  QApplication::sendEvent(v.displayText, &commit);
                },
                [](const QString&) { return QStringLiteral("漢字"); }},
        TextRow{"DeadKeyComposedByTheComposeInputMethod",
                [](Viewer&, InputIT& t) {
                  // The US international layout has a dead acute on the apostrophe key (X key code 48).
                  ASSERT_EQ(RunTool("setxkbmap", {"-layout", "us", "-variant", "intl"}), 0);
                  t.Type({"48", "e"});
                },
                [](const QString&) { return QStringLiteral("é"); }},
        TextRow{"DeadKeyThenTheComposedCommit",
                [](Viewer& v, InputIT&) {
                  QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Acute, Qt::NoModifier);
                  QApplication::sendEvent(v.displayText, &dead);
                  QInputMethodEvent commit;
                  commit.setCommitString(QStringLiteral("é"));
                  QApplication::sendEvent(v.displayText, &commit);
                },
                [](const QString&) { return QStringLiteral("é"); }},
        TextRow{"MiddleClickPastesTheSelection",
                [](Viewer& v, InputIT&) {
                  QGuiApplication::clipboard()->setText(QStringLiteral(" Grüße"), QClipboard::Selection);
                  QTest::mouseClick(v.displayText, Qt::MiddleButton, {},
                                    QPoint(v.displayText->width() - 3, v.displayText->height() / 2));
                },
                [](const QString& before) { return Appended(before, " Grüße"); }},
        TextRow{"CtrlVPastesTheClipboard",
                [](Viewer& v, InputIT&) {
                  QGuiApplication::clipboard()->setText(QStringLiteral("Pasted"));
                  QTest::keyClick(v.displayText, Qt::Key_V, Qt::ControlModifier);
                },
                [](const QString&) { return QStringLiteral("Pasted"); }},
        TextRow{"DropOfText",
                [](Viewer& v, InputIT&) {
                  CaretAtTheEnd(v.displayText);
                  QMimeData data;
                  data.setText(QStringLiteral(" dropped"));
                  const QPoint end(v.displayText->width() - 3, v.displayText->height() / 2);
                  QDragEnterEvent enter(end, Qt::CopyAction, &data, Qt::LeftButton, {});
                  QApplication::sendEvent(v.displayText, &enter);
                  QDropEvent drop(end, Qt::CopyAction, &data, Qt::LeftButton, {});
                  QApplication::sendEvent(v.displayText, &drop);
                },
                [](const QString& before) { return Appended(before, " dropped"); }},
        TextRow{"TypedKeys", [](Viewer& v, InputIT&) { QTest::keyClicks(v.displayText, "abc"); },
                [](const QString&) { return QStringLiteral("abc"); }},
        TextRow{"DeleteEmptiesIt",
                [](Viewer& v, InputIT&) {
                  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
                  QApplication::sendEvent(v.displayText, &del);
                },
                [](const QString&) { return QStringLiteral(""); }},
        TextRow{"TabThroughTheBox",
                [](Viewer& v, InputIT&) {
                  v.effect[3]->setFocus();
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                  EXPECT_EQ(QApplication::focusWidget(), v.displayText);
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                },
                nullptr},
        TextRow{"NavigationAndModifierKeys",
                [](Viewer& v, InputIT&) {
                  for (int key : {Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right, Qt::Key_Shift,
                                  Qt::Key_Control, Qt::Key_Alt}) {
                    QTest::keyClick(v.displayText, Qt::Key(key));
                  }
                  QTest::keyClick(v.displayText, Qt::Key_Left, Qt::ShiftModifier);
                },
                nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Keys and mnemonics on non-Latin layouts ---------------------------------------

struct LayoutRow {
  const char* name;
  const char* layout;   // setxkbmap's layout list; the first is active
  QStringList keys;     // xdotool keys; numbers are X key codes (33 is under P, 39 under S)
  QStringList log;
};

void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }

class Layouts : public InputIT, public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(Layouts, KeysFollowTheLatinPlace) {
  ASSERT_EQ(RunTool("setxkbmap", {GetParam().layout}), 0);
  Type(GetParam().keys);
  // A mnemonic clicks its button a moment after the key, so after the mark too.
  QStringList expected = GetParam().log + QStringList{"open about"};
  expected.sort();
  EXPECT_TRUE(QTest::qWaitFor([&] { return log.size() >= expected.size(); }, 5000));
  QStringList seen = log;
  seen.sort();
  EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Layouts,
    ::testing::Values(LayoutRow{"RussianWithUsCtrlP", "ru,us", {"ctrl+33"}, {"open print"}},
                      LayoutRow{"RussianWithUsAltS", "ru,us", {"alt+39"}, {"open summary"}},
                      LayoutRow{"GreekWithUsCtrlP", "el,us", {"ctrl+33"}, {"open print"}},
                      LayoutRow{"GreekWithUsAltS", "el,us", {"alt+39"}, {"open summary"}},
                      LayoutRow{"RussianAloneCtrlP", "ru", {"ctrl+33"}, {"open print"}},
                      LayoutRow{"RussianAloneAltS", "ru", {"alt+39"}, {"open summary"}},
                      LayoutRow{"GreekAloneCtrlP", "el", {"ctrl+33"}, {"open print"}},
                      LayoutRow{"GreekAloneAltS", "el", {"alt+39"}, {"open summary"}},
                      LayoutRow{"RussianCtrlShiftPDoesNothing", "ru", {"ctrl+shift+33"}, {}},
                      LayoutRow{"RussianPlainLettersAreText", "ru", {"33", "39"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::app
