// The main window's commands, keys and window life, with fake windows behind the
// seams that record what the main window asks of them.
#include "app/Viewer.h"
#include "controls/ButtonWidget.h"
#include "platform/ui/ListWithEdit.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QEventLoop>

#include <functional>
#include <gtest/gtest.h>

namespace typeloom::app {
namespace {

// Bound for waits on the event loop; only a fault ever reaches it.
constexpr int kPatienceMs = 60000;

// Records the calls on one window as "open <name>" / "close <name>" in a shared log.
class LoggingSeam final : public WindowSeam {
 public:
  LoggingSeam(QStringList& log, QString name) : log_(log), name_(std::move(name)) {}
  void Open() override {
    log_ << "open " + name_;
    open_ = true;
  }
  void Close() override {
    if (open_) log_ << "close " + name_;
    open_ = false;
  }
  bool IsOpen() const override { return open_; }

 private:
  QStringList& log_;
  QString name_;
  bool open_ = false;
};

class ViewerCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
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
    log.clear();
  }
  // Opens every seam, then forgets the log of it.
  void OpenAll() {
    for (WindowSeam* seam : {Windows().summary.get(), Windows().printDialog.get(), Windows().options.get(),
                             Windows().about.get()}) {
      seam->Open();
    }
    log.clear();
  }
  ViewerWindows& Windows() { return viewer->Windows(); }
  void Key(int keyCode, int shift = 0) { platform::KeyPreview::SendKey(viewer.get(), keyCode, shift); }

  test::FakeAppServices fake;
  FontModule module;
  std::unique_ptr<Viewer> viewer;
  QStringList log;
};

struct KeyCase {
  const char* label;
  int keyCode;
  int shift;
  QStringList log;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.label; }

class ViewerKeyTest : public ViewerCommandsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ViewerKeyTest, KeyRunsItsCommand) {
  Key(GetParam().keyCode, GetParam().shift);
  EXPECT_EQ(log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ViewerKeyTest,
    ::testing::Values(KeyCase{"CtrlP", 80, 2, {"open print"}}, KeyCase{"CtrlShiftP", 80, 3, {}},
                      KeyCase{"CtrlAltP", 80, 6, {}}, KeyCase{"PlainP", 80, 0, {}},
                      KeyCase{"F1OpensTheAboutBox", 112, 0, {"open about"}},
                      KeyCase{"ShiftF1AlsoOpensIt", 112, 1, {"open about"}}, KeyCase{"OtherKey", 65, 2, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ViewerCommandsTest, KeysStillReachTheFocusedControl) {
  viewer->displayText->setFocus();
  viewer->userText = true;
  viewer->displayText->clear();
  QTest::keyClicks(viewer->displayText, "pq");
  QTest::keyClick(viewer->displayText, Qt::Key_F1);
  EXPECT_EQ(viewer->displayText->text(), "pq");
  EXPECT_EQ(log, QStringList({"open about"}));
}

TEST_F(ViewerCommandsTest, AnyKeyRestoresAMinimisedOrMaximisedWindowFirst) {
  for (auto state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
    viewer->setWindowState(state);
    Key(65);
    EXPECT_FALSE(viewer->isMinimized());
    EXPECT_FALSE(viewer->isMaximized());
  }
}

TEST_F(ViewerCommandsTest, ActivationRedrawsTheSample) {
  viewer->displayPicture->Clear();
  viewer->Form_Activate();
  EXPECT_FALSE(viewer->displayPicture->IsClear());
}

TEST_F(ViewerCommandsTest, ButtonsOpenTheirWindows) {
  QTest::mouseClick(viewer->HelpButton, Qt::LeftButton);  // the round "?" button
  QTest::mouseClick(viewer->summaryButton, Qt::LeftButton);
  QTest::mouseClick(viewer->optionsButton, Qt::LeftButton);
  QSignalSpy printed(viewer.get(), &Viewer::PrintCommand);
  QTest::mouseClick(viewer->printButton, Qt::LeftButton);
  EXPECT_EQ(printed.count(), 1);
  EXPECT_EQ(log, QStringList({"open about", "open summary", "open options", "open print"}));
}

// With every window open, one way of leaving or activating the main window: which
// windows close, in which order, and whether the main window stays. A window the log
// does not close stays open.
struct LifeCase {
  const char* label;
  void (*act)(Viewer&);
  QStringList closed;
  bool mainVisible;
};

void PrintTo(const LifeCase& c, std::ostream* os) { *os << c.label; }

class ViewerLifeTest : public ViewerCommandsTest, public ::testing::WithParamInterface<LifeCase> {};

TEST_P(ViewerLifeTest, ClosesItsWindowsInOrder) {
  OpenAll();
  GetParam().act(*viewer);
  EXPECT_EQ(log.join(", ").toStdString(), GetParam().closed.join(", ").toStdString());
  EXPECT_EQ(viewer->isVisible(), GetParam().mainVisible);
  for (const auto& [name, seam] : {std::pair{"summary", Windows().summary.get()}, {"print", Windows().printDialog.get()},
                                   {"options", Windows().options.get()}, {"about", Windows().about.get()}}) {
    EXPECT_EQ(seam->IsOpen(), !log.contains(QStringLiteral("close %1").arg(name))) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ViewerLifeTest,
    ::testing::Values(
        // The print dialog and the summary close before the main window; its unloading
        // closes the options dialog.
        LifeCase{"EscapeFromTheTextEndsTheProgram",
                 [](Viewer& v) {
                   v.displayText->setFocus();
                   QTest::keyClick(v.displayText, Qt::Key_Escape);
                 },
                 {"close print", "close summary", "close options"}, false},
        LifeCase{"ExitButtonClosesPrintAndSummaryThenTheWindow",
                 [](Viewer& v) { QTest::mouseClick(v.exitButton, Qt::LeftButton); },
                 {"close print", "close summary", "close options"}, false},
        LifeCase{"CloseBoxUnloadsSummaryOptionsAndPrint", [](Viewer& v) { v.close(); },
                 {"close summary", "close options", "close print"}, false},
        LifeCase{"EndProgramClosesEveryWindow", [](Viewer& v) { v.EndProgram(); },
                 {"close print", "close options", "close summary", "close about"}, false},
        LifeCase{"ActivationClosesAboutSummaryAndPrintButNotOptions", [](Viewer& v) { v.Form_Activate(); },
                 {"close about", "close summary", "close print"}, true}),
    [](const auto& info) { return std::string(info.param.label); });

// Once, after the paint has finished, not inside it; a real paint event runs it too.
TEST_F(ViewerCommandsTest, PendingPrintOpensThePrintDialogOnceAfterTheNextPaint) {
  ASSERT_TRUE(QTest::qWaitForWindowActive(viewer.get()));  // its own activation first
  log.clear();
  viewer->printPending = true;
  QSignalSpy printed(viewer.get(), &Viewer::PrintCommand);
  viewer->Form_Paint();
  EXPECT_FALSE(viewer->printPending);
  EXPECT_EQ(printed.count(), 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return printed.count() > 0; }, kPatienceMs));
  EXPECT_EQ(log, QStringList({"open print"}));
  // A paint with nothing pending opens nothing: a marker queued after it has run by
  // the time anything that paint queued would have.
  viewer->Form_Paint();
  bool markerRan = false;
  QTimer::singleShot(0, viewer.get(), [&] { markerRan = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return markerRan; }, kPatienceMs));
  EXPECT_EQ(printed.count(), 1);
  EXPECT_EQ(log, QStringList({"open print"}));

  viewer->printPending = true;
  viewer->update();
  ASSERT_TRUE(QTest::qWaitFor([&] { return printed.count() > 1; }, kPatienceMs));
  EXPECT_EQ(log, QStringList({"open print", "open print"}));
  EXPECT_FALSE(viewer->printPending);
}

// A dialog that is modal as the print dialog is: Open returns once it is closed, and
// events (a later start's request) run meanwhile. `whileOpen` runs inside, with the
// number of the opening.
class ModalSeam final : public WindowSeam {
 public:
  explicit ModalSeam(std::function<void(int)> whileOpen) : whileOpen_(std::move(whileOpen)) {}
  void Open() override {
    if (loop_ != nullptr) return;
    QEventLoop loop;
    loop_ = &loop;
    const int opening = ++openings_;
    QTimer::singleShot(0, &loop, [this, opening] { whileOpen_(opening); });
    loop.exec();
    loop_ = nullptr;
  }
  void Close() override {
    if (loop_ != nullptr) loop_->quit();
  }
  bool IsOpen() const override { return loop_ != nullptr; }
  int Openings() const { return openings_; }

 private:
  std::function<void(int)> whileOpen_;
  QEventLoop* loop_ = nullptr;
  int openings_ = 0;
};

// Print requests of later starts (a file manager printing three files starts the
// program once for each) that come while the dialog is open wait for it: each dialog
// prints the font it opened for, and every request gets its own dialog.
TEST_F(ViewerCommandsTest, PrintRequestsWhileThePrintDialogIsOpenEachGetTheirTurn) {
  QStringList printedFonts;  // the font selected while each dialog is open
  ModalSeam* seam = nullptr;
  auto modal = std::make_unique<ModalSeam>([&](int opening) {
    printedFonts << viewer->fontList->Text();
    if (opening == 1) {
      // Two more prints and a plain view arrive while the first dialog is open.
      for (const char* request : {"/p DejaVuSerif.ttf", "DejaVuSans.ttf", "/p DejaVuSans.ttf"}) {
        module.handedOverCommandLine = QString(request);
        Key(kHandOverKey);
      }
      printedFonts << viewer->fontList->Text();  // unchanged beneath the dialog
    }
    seam->Close();
  });
  seam = modal.get();
  Windows().printDialog = std::move(modal);

  // The second request comes before the first one's dialog has opened.
  for (const char* request : {"/p DejaVuSerif.ttf", "/p DejaVuSans.ttf"}) {
    module.handedOverCommandLine = QString(request);
    Key(kHandOverKey);
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return seam->Openings() == 4 && !seam->IsOpen(); }, kPatienceMs));
  EXPECT_EQ(printedFonts,
            QStringList({"DejaVu Serif", "DejaVu Serif", "DejaVu Sans", "DejaVu Serif", "DejaVu Sans"}));
  // Nothing is left waiting: a later request is taken at once.
  module.handedOverCommandLine = QString("DejaVuSerif.ttf");
  Key(kHandOverKey);
  EXPECT_EQ(viewer->fontList->Text(), "DejaVu Serif");
}

}  // namespace
}  // namespace typeloom::app
