#include "options/Options.h"

#include "options/Settings.h"
#include "platform/settings/QtSettingsStore.h"
#include "platform/ui/MessageBoxes.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"
#include "support/FakeRegistry.h"
#include "support/FakeMainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace typeloom::options {
namespace {

using platform::RootKey;
namespace mb = platform::mb;

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main.setGeometry(100, 100, 420, 400);
    main.show();
  }
  void TearDown() override {
    if (dialog) delete dialog.data();
  }

  Options* Open() {
    dialog = new Options(OptionsServices{fakes.settings, fakes.messages, fakes.registry, "/usr/bin/typeloom %1",
                                         "/usr/bin/typeloom /p %1", [this] { ++endProgram; }},
                         &main);
    dialog->Form_Load();
    dialog->show();
    return dialog;
  }
  QString Stored(const settings::Key& key) { return settings::Read(fakes.settings, key); }
  bool Stored(const char* name) {
    return fakes.settings.Contains(settings::kApplication, settings::kSection, name);
  }

  test::FakeMainWindow mainWindow;
  QWidget& main = mainWindow.widget;
  test::FakeAppServices fakes;
  QPointer<Options> dialog;
  int endProgram = 0;
};

TEST_F(OptionsTest, LayoutCaptionsTooltipsAndTabOrder) {
  Options* d = Open();
  EXPECT_EQ(d->windowTitle(), " Typeloom Options");
  EXPECT_EQ(d->size(), QSize(platform::TwipsToPixelsX(3975), platform::TwipsToPixelsY(2175)));
  struct Row {
    QWidget* widget;
    QString caption, tooltip;
    QRect place;
  };
  const Row rows[] = {
      {d->fOption[0], "Set Typeloom as default viewer for all fonts?",
       " Sets Typeloom as the program to run when you double click on a font ", platform::TwipsRect(240, 240, 3615, 255)},
      {d->fOption[1], "Set Typeloom as default printer for all fonts?",
       " Sets Typeloom as the program to run when you right click on a font and select print ",
       platform::TwipsRect(240, 660, 3615, 255)},
      {d->fOption[2], "Display splash screen at program StartUp?",
       " Shows a splash screen every time the program starts  ", platform::TwipsRect(240, 1080, 3375, 255)},
      {d->saveButton, "&Save", " Save any changes you've made to your options ", platform::TwipsRect(660, 1560, 855, 375)},
      {d->cancelButton, "&Close", " Close options entry without saving ", platform::TwipsRect(2520, 1560, 855, 375)},
  };
  for (const Row& row : rows) {
    const auto* button = qobject_cast<QAbstractButton*>(row.widget);
    EXPECT_EQ(button->text(), row.caption);
    EXPECT_EQ(button->toolTip(), row.tooltip);
    // The design's place; a caption wider in this face widens its control to keep its whole text.
    const QRect g = button->geometry();
    EXPECT_EQ(g.topLeft(), row.place.topLeft()) << row.caption.toStdString();
    EXPECT_EQ(g.height(), row.place.height());
    EXPECT_EQ(g.width(), std::max(row.place.width(), button->sizeHint().width()));
  }
  for (std::size_t i = 0; i + 1 < std::size(rows); ++i) EXPECT_EQ(rows[i].widget->nextInFocusChain(), rows[i + 1].widget);
  // Centred on the main window, 15 twips right and 150 down.
  const QRect m = main.frameGeometry();
  const QRect o = d->frameGeometry();
  EXPECT_EQ(o.left(), m.left() + (m.width() - o.width()) / 2 + platform::TwipsToPixelsX(15));
  EXPECT_EQ(o.top(), m.top() + (m.height() - o.height()) / 2 + platform::TwipsToPixelsY(150));
}

TEST_F(OptionsTest, BoxesLoadFromTheStoreAndTheButtonsStartUnchanged) {
  struct Case {
    const char* viewer;
    const char* printer;
    const char* splash;
    bool box0, box1, box2;
  };
  const Case cases[] = {
      {nullptr, nullptr, nullptr, false, false, true},  // fresh store: the table's defaults
      {"1", "1", "0", true, true, false},
      {" 1 ", "2", "yes", true, false, false},  // read as a number and compared with 1
  };
  for (const Case& c : cases) {
    test::FakeAppServices fresh;
    if (c.viewer) settings::Write(fresh.settings, settings::kDefaultViewer, c.viewer);
    if (c.printer) settings::Write(fresh.settings, settings::kDefaultPrinter, c.printer);
    if (c.splash) settings::Write(fresh.settings, settings::kShowSplash, c.splash);
    Options d(OptionsServices{fresh.settings, fresh.messages, fresh.registry, "x %1", "x /p %1", {}}, &main);
    d.Form_Load();
    EXPECT_EQ(d.fOption[0]->isChecked(), c.box0);
    EXPECT_EQ(d.fOption[1]->isChecked(), c.box1);
    EXPECT_EQ(d.fOption[2]->isChecked(), c.box2);
    EXPECT_FALSE(d.saveButton->isEnabled());
    EXPECT_TRUE(d.cancelButton->isDefault());
    EXPECT_EQ(d.cancelButton->text(), "&Close");
  }
}

TEST_F(OptionsTest, ABoxClickedTwiceStillAsksAndCancelKeepsTheDialog) {
  Options* d = Open();
  d->fOption[2]->click();
  d->fOption[2]->click();
  EXPECT_TRUE(d->saveButton->isEnabled());
  EXPECT_TRUE(d->saveButton->isDefault());
  EXPECT_EQ(d->cancelButton->text(), "Cancel");
  fakes.messages.reply = mb::kCancel;
  d->cancelButton->click();
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(d->isVisible());
  ASSERT_EQ(fakes.messages.shown.size(), 1);
  EXPECT_EQ(fakes.messages.shown[0], "The Typeloom options have changed.\r\n\r\n    Do you wish to save the changes?");
  EXPECT_EQ(fakes.messages.titles[0], " Exit Options Entry");
  EXPECT_EQ(fakes.messages.styles[0], mb::kYesNoCancel | mb::kQuestion);
  EXPECT_TRUE(d->saveButton->isEnabled());
}

TEST_F(OptionsTest, EscapeWithChangesAsksAndNoClosesWithoutSaving) {
  Options* d = Open();
  d->fOption[0]->click();
  fakes.messages.reply = mb::kNo;
  QTest::keyClick(d->fOption[0], Qt::Key_Escape);
  EXPECT_EQ(fakes.messages.shown.size(), 1);
  QApplication::processEvents();
  EXPECT_FALSE(dialog);  // closed and destroyed
  EXPECT_EQ(fakes.settings.saveCount(), 0);
  EXPECT_EQ(fakes.registry.Calls(testsupport::FakeRegistry::Call::SetValue), 0);
  EXPECT_EQ(endProgram, 0);
}

TEST_F(OptionsTest, EscapeWithoutChangesClosesAtOnceAndWithAModifierEndsTheProgram) {
  Options* d = Open();
  QTest::keyClick(d, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_FALSE(dialog);
  EXPECT_TRUE(fakes.messages.shown.isEmpty());
  EXPECT_EQ(endProgram, 0);
  for (Qt::KeyboardModifier modifier : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
    d = Open();
    QTest::keyClick(d->cancelButton, Qt::Key_Escape, modifier);
  }
  EXPECT_EQ(endProgram, 3);
}

TEST_F(OptionsTest, YesSavesAllThreeKeysAndBindsTheCheckedKinds) {
  Options* d = Open();
  d->fOption[0]->click();  // viewer on; printer stays off, splash stays on
  fakes.messages.reply = mb::kYes;
  d->close();
  QApplication::processEvents();
  EXPECT_FALSE(dialog);
  EXPECT_EQ(Stored(settings::kDefaultViewer), "1");
  EXPECT_EQ(Stored(settings::kDefaultPrinter), "0");
  EXPECT_EQ(Stored(settings::kShowSplash), "1");
  const auto v = fakes.registry.Get(RootKey::ClassesRoot, "ttffile\\shell\\open\\command", "");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->data, "/usr/bin/typeloom %1");
  EXPECT_FALSE(fakes.registry.HasKey(RootKey::ClassesRoot, "ttffile\\shell\\print\\command"));
}

TEST_F(OptionsTest, SaveKeepsTheDialogOpenUnchangedAndUncheckedBindsNothing) {
  Options* d = Open();
  d->fOption[2]->click();
  d->saveButton->click();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(d->saveButton->isEnabled());
  EXPECT_EQ(d->cancelButton->text(), "&Close");
  EXPECT_TRUE(Stored("DefaultViewer"));
  EXPECT_TRUE(Stored("DefaultPrinter"));
  EXPECT_EQ(Stored(settings::kShowSplash), "0");
  EXPECT_EQ(fakes.registry.Calls(testsupport::FakeRegistry::Call::SetValue), 0);
  d->cancelButton->click();
  QApplication::processEvents();
  EXPECT_FALSE(dialog);
  EXPECT_TRUE(fakes.messages.shown.isEmpty());
}

// A settings file that cannot be replaced (here: its folder cannot exist) stays as it
// was, and the save tells the user which file and why.
TEST_F(OptionsTest, SaveThatCannotWriteTellsTheUserWhichFileAndWhy) {
  QTemporaryDir temp;
  QFile blocker(temp.filePath("config"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  platform::QtSettingsStore store(temp.filePath("config"));
  dialog = new Options(OptionsServices{store, fakes.messages, fakes.registry, "/usr/bin/typeloom %1",
                                       "/usr/bin/typeloom /p %1", [this] { ++endProgram; }},
                       &main);
  dialog->Form_Load();
  dialog->show();
  dialog->fOption[2]->click();
  dialog->saveButton->click();
  ASSERT_EQ(fakes.messages.shown.size(), 1);
  const QString file = store.FilePath(settings::kApplication);
  EXPECT_TRUE(fakes.messages.shown[0].startsWith(QString(kNotSavedText) + "\r\n\r\n" + file + ": "))
      << fakes.messages.shown[0].toStdString();
  EXPECT_EQ(fakes.messages.styles[0], mb::kCritical | mb::kOkOnly);
  EXPECT_EQ(fakes.messages.titles[0], "Typeloom");
}

// A type of the user's that cannot be bound leaves the option unset: what the save
// bound goes back, the box is stored and shown unchecked, and the dialog says why.
// The machine's types are best effort and leave the option set.
TEST_F(OptionsTest, ABindingTheUserRootRefusesLeavesTheBoxUnsetAndSaysSo) {
  struct Case {
    int failingWrite;  // writes go fon (user, machine), otf (user, machine), ...
    bool kept;
  };
  for (const Case& c : {Case{3, false}, Case{2, true}}) {
    fakes.registry.Put(RootKey::ClassesRoot, "fonfile\\shell\\open\\command", "", platform::reg::kSz, "winfont %1");
    fakes.messages.shown.clear();
    Options* d = Open();
    if (d->fOption[0]->isChecked()) d->fOption[0]->click();
    d->fOption[0]->click();
    fakes.registry.FailCall(testsupport::FakeRegistry::Call::SetValue, platform::reg::kAccessDenied, c.failingWrite);
    d->saveButton->click();
    fakes.registry.ClearFailures();
    EXPECT_EQ(d->fOption[0]->isChecked(), c.kept) << c.failingWrite;
    EXPECT_EQ(Stored(settings::kDefaultViewer), c.kept ? "1" : "0") << c.failingWrite;
    EXPECT_FALSE(d->saveButton->isEnabled());
    if (c.kept) {
      EXPECT_TRUE(fakes.messages.shown.isEmpty());
    } else {
      ASSERT_EQ(fakes.messages.shown.size(), 1);
      EXPECT_EQ(fakes.messages.shown[0], QString(kNotBoundText) + "\r\n\r\n" + d->fOption[0]->text());
      EXPECT_EQ(fakes.registry.Get(RootKey::ClassesRoot, "fonfile\\shell\\open\\command", "")->data, "winfont %1");
      EXPECT_EQ(Stored(settings::kPriorViewAssociation), "");
    }
    d->close();
    QApplication::processEvents();
  }
}

// While the save's message box waits for its answer, the dialog is not closed by an
// activation elsewhere: deleted then, it took the box (its child) with it.
TEST_F(OptionsTest, TheSavesMessageBoxDoesNotCloseTheDialogUnderIt) {
  Options* d = Open();
  d->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(d));
  d->fOption[0]->click();
  bool aliveWhileShown = false;
  fakes.messages.onShow = [this, &aliveWhileShown] {
    // Another window becomes active while the box runs its own event loop.
    main.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&main));
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&loop] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    loop.exec();
    aliveWhileShown = !dialog.isNull() && dialog->isVisible();
  };
  fakes.registry.FailCall(testsupport::FakeRegistry::Call::SetValue, platform::reg::kAccessDenied, 1);
  d->saveButton->click();
  fakes.messages.onShow = nullptr;
  ASSERT_EQ(fakes.messages.shown.size(), 1);
  EXPECT_TRUE(aliveWhileShown);
}

TEST_F(OptionsTest, LosingActivationToTheMainWindowDropsChangesWithoutAsking) {
  Options* d = Open();
  d->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(d));
  d->fOption[1]->click();
  main.activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([this] { return dialog.isNull(); }));
  EXPECT_TRUE(fakes.messages.shown.isEmpty());
  EXPECT_EQ(fakes.settings.saveCount(), 0);
}

TEST_F(OptionsTest, TheSeamOpensAFreshDialogEachTime) {
  OptionsWindow seam(mainWindow, OptionsServices{fakes.settings, fakes.messages, fakes.registry, "x %1", "x /p %1", {}});
  EXPECT_FALSE(seam.IsOpen());
  seam.Open();
  ASSERT_TRUE(seam.IsOpen());
  QPointer<Options> first = seam.dialog();
  first->fOption[2]->click();
  fakes.messages.reply = mb::kNo;
  seam.Close();
  EXPECT_FALSE(seam.IsOpen());
  settings::Write(fakes.settings, settings::kShowSplash, "0");
  seam.Open();
  EXPECT_FALSE(seam.dialog()->fOption[2]->isChecked());
  seam.Close();
}

}  // namespace
}  // namespace typeloom::options
