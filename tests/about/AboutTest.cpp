// The About box: texts, layout, keys, links, mail session and the update check.
#include "about/frmAbout.h"
#include "platform/shell/UrlOpener.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"
#include "support/FakeMainWindow.h"
#include "support/FakeUpdateServices.h"
#include "update/InternetUpdate.h"
#include "update/UpdateSettings.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace typeloom;
using namespace typeloom::about;
namespace mb = platform::mb;

class RecordingOpener final : public platform::UrlOpener {
 public:
  bool Open(const QUrl& url) override {
    opened << url.toString(QUrl::FullyEncoded);
    return result;
  }
  QStringList opened;
  bool result = true;
};

class AboutTest : public ::testing::Test {
 protected:
  AboutServices Services(bool builtIn = true) {
    return AboutServices{messages, opener, &update, builtIn, "https://www.corvane.example", "support@corvane.example"};
  }
  frmAbout& Open(bool builtIn = true) {
    box = std::make_unique<frmAbout>(Services(builtIn));
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->Form_Load();
    box->show();
    return *box;
  }

  test::FakeMessageBoxes messages;
  RecordingOpener opener;
  test::NoNetwork http;
  test::FakeClock clock;
  test::NoProcesses processes;
  update::InternetUpdate update{update::UpdateServices{http, messages, clock, processes}};
  std::unique_ptr<frmAbout> box;
};

TEST_F(AboutTest, LoadSetsCaptionAndTexts) {
  frmAbout& b = Open();
  EXPECT_EQ(b.windowTitle(), " About Typeloom");
  EXPECT_EQ(b.lblTitle->text(), "Typeloom");
  EXPECT_EQ(b.lblVersion->text(), "Version 1.4");
  EXPECT_EQ(b.lblDescription->text(),
            "The Typeloom is designed to provide information about the screen/printer fonts installed on your "
            "system.  This program also provides the ability to view different sizes and effects for each font, "
            "and the ability to view text that you type to see how it appears.  In addition, the program gives the "
            "option to print a single font or to compare the appearance of all fonts in a summary-type view.\r\n");
  EXPECT_EQ(b.lblDisclaimer->text(), "Please send any comments or suggestions to:");
  EXPECT_EQ(b.Label1->text(), "Web site:");
  EXPECT_EQ(b.WebLink->text(), "https://www.corvane.example");
  EXPECT_EQ(b.EmailLink->text(), "support@corvane.example");
  EXPECT_EQ(b.WebLink->toolTip(), " Visit the Corvane web site ");
  EXPECT_EQ(b.EmailLink->toolTip(), " Send an e-mail to Corvane ");
  EXPECT_EQ(b.cmdOK->text(), "OK");
  EXPECT_EQ(b.cmdSysInfo->text(), "Update Check");
}

TEST_F(AboutTest, LayoutFontsAndColours) {
  frmAbout& b = Open();
  EXPECT_EQ(b.size(), QSize(platform::TwipsToPixelsX(6045), platform::TwipsToPixelsY(4275)));
  EXPECT_EQ(b.lblTitle->geometry(), platform::TwipsRect(256, 130, 5559, 435));
  EXPECT_EQ(b.lblDescription->geometry(), platform::TwipsRect(256, 891, 5559, 1956));
  EXPECT_EQ(b.EmailLink->geometry(), platform::TwipsRect(607, 3412, 3195, 255));
  EXPECT_EQ(b.WebLink->geometry(), platform::TwipsRect(1278, 3803, 2556, 217));
  EXPECT_EQ(b.cmdOK->geometry(), platform::TwipsRect(4579, 3216, 1260, 345));
  EXPECT_EQ(b.cmdSysInfo->geometry(), platform::TwipsRect(4579, 3651, 1245, 345));
  EXPECT_DOUBLE_EQ(b.lblTitle->font().pointSizeF(), 13.5);
  EXPECT_TRUE(b.lblTitle->font().bold());
  EXPECT_EQ(b.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
  for (QLabel* link : {b.WebLink, b.EmailLink}) {
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), b.palette().color(QPalette::Highlight));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  }
  EXPECT_TRUE(b.cmdOK->isDefault());
  EXPECT_EQ(b.cmdOK->nextInFocusChain(), b.cmdSysInfo);
  EXPECT_FALSE(b.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(b.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST_F(AboutTest, EscapeFromEitherButtonAndOkCloseTheBoxOtherKeysDoNothing) {
  for (QWidget* (*focus)(frmAbout&) : {+[](frmAbout& b) -> QWidget* { return b.cmdOK; },
                                       +[](frmAbout& b) -> QWidget* { return b.cmdSysInfo; }}) {
    frmAbout& b = Open();
    b.activateWindow();
    focus(b)->setFocus();
    platform::KeyPreview::SendKey(&b, 65);
    platform::KeyPreview::SendKey(&b, 116, 2);
    EXPECT_TRUE(b.isVisible());
    platform::KeyPreview::SendKey(&b, 27);
    EXPECT_FALSE(b.isVisible());
  }
  frmAbout& b = Open();
  QTest::mouseClick(b.cmdOK, Qt::LeftButton);
  EXPECT_FALSE(b.isVisible());
  EXPECT_TRUE(opener.opened.isEmpty());
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(AboutTest, LinksGoToTheOpenerAndOneMailSessionServesTheBox) {
  frmAbout& b = Open();
  QTest::mouseClick(b.WebLink, Qt::LeftButton);
  EXPECT_EQ(opener.opened, QStringList{"https://www.corvane.example"});
  EXPECT_EQ(b.MAPISession1.SignOns(), 0);  // the web link does not touch the mail system

  QTest::mouseClick(b.EmailLink, Qt::LeftButton);
  QTest::mouseClick(b.EmailLink, Qt::LeftButton);
  const QString mail = "mailto:support@corvane.example?subject=Typeloom%2C%20Version%201.4";
  EXPECT_EQ(opener.opened, (QStringList{"https://www.corvane.example", mail, mail}));
  EXPECT_EQ(b.MAPISession1.SignOns(), 1);
  EXPECT_GT(b.MAPISession1.SessionId(), 0);
  EXPECT_TRUE(messages.shown.isEmpty());

  b.close();
  EXPECT_EQ(b.MAPISession1.SessionId(), 0);
}

TEST_F(AboutTest, MailFailureIsReportedAndTheBoxStaysOpen) {
  frmAbout& b = Open();
  opener.result = false;
  QTest::mouseClick(b.EmailLink, Qt::LeftButton);
  EXPECT_EQ(messages.shown, QStringList{"A problem has occurred while trying to send an e-mail."});
  EXPECT_EQ(messages.styles, std::vector<int>{mb::kOkOnly});
  EXPECT_TRUE(b.isVisible());
}

TEST_F(AboutTest, UpdateCheckRunsTheMainWindowsControlWithMessagesAndStatusOn) {
  update.SetDownloadURL("www.corvane.example/downloads");
  update.SetShowMessage(false);
  update.SetShowStatus(false);
  frmAbout& b = Open();
  QTest::mouseClick(b.cmdSysInfo, Qt::LeftButton);
  EXPECT_TRUE(update.ShowMessage());
  EXPECT_TRUE(update.ShowStatus());
  EXPECT_EQ(http.fetched, QStringList{"https://www.corvane.example/downloads/typeloom.ver"});
  EXPECT_EQ(messages.shown, QStringList{"A connection could not made at this time.\r\nPlease try again later."});
  EXPECT_EQ(messages.titles, QStringList{" Typeloom Update"});
}

TEST_F(AboutTest, BuildWithoutUpdateCheckSaysSo) {
  frmAbout& b = Open(false);
  QTest::mouseClick(b.cmdSysInfo, Qt::LeftButton);
  EXPECT_TRUE(http.fetched.isEmpty());
  EXPECT_EQ(messages.shown, QStringList{update::kUpdatesFromPackageManager});
  EXPECT_EQ(messages.styles, std::vector<int>{mb::kInformation | mb::kOkOnly});
  EXPECT_EQ(messages.titles, QStringList{" Typeloom Update"});
}

TEST_F(AboutTest, SeamOpensOneBoxAndBuildsItAfreshAfterClosing) {
  test::FakeMainWindow main;
  AboutSeam seam(main, Services());
  EXPECT_FALSE(seam.IsOpen());
  seam.Close();  // nothing loaded: nothing happens
  seam.Open();
  ASSERT_TRUE(seam.IsOpen());
  frmAbout* first = seam.Window();
  EXPECT_EQ(first->windowTitle(), " About Typeloom");
  seam.Open();
  EXPECT_EQ(seam.Window(), first);
  seam.Close();
  EXPECT_FALSE(seam.IsOpen());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(seam.Window(), nullptr);
  seam.Open();
  EXPECT_TRUE(seam.IsOpen());
}

// The desktop's opener replaced by a recording xdg-open on PATH. The offscreen
// platform opens nothing, so the clicks run in a child of this test under an X
// server of its own (xvfb-run), where Qt hands addresses to xdg-open.
TEST(AboutDesktopOpener, LinksReachXdgOpenWithTheExactAddress) {
  if (qEnvironmentVariableIsSet("TYPELOOM_OPENER_CHILD")) {
    test::FakeMessageBoxes messages;
    platform::DesktopUrlOpener opener;
    frmAbout box(AboutServices{messages, opener, nullptr, true, "https://www.corvane.example", "support@corvane.example"});
    box.setAttribute(Qt::WA_DeleteOnClose, false);
    box.Form_Load();
    box.show();
    QTest::mouseClick(box.WebLink, Qt::LeftButton);
    QTest::mouseClick(box.EmailLink, Qt::LeftButton);
    EXPECT_TRUE(messages.shown.isEmpty()) << messages.shown.join('\n').toStdString();
    return;
  }
  const QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
  ASSERT_FALSE(xvfbRun.isEmpty()) << "xvfb-run is missing: run scripts/install-deps";
  QTemporaryDir bin;
  const QString log = bin.path() + "/opened.log";
  QFile script(bin.path() + "/xdg-open");
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + log.toUtf8() + "'\n");
  script.close();
  script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("PATH", bin.path() + ":" + env.value("PATH"));
  env.insert("TYPELOOM_OPENER_CHILD", "1");
  env.insert("QT_QPA_PLATFORM", "xcb");
  for (const char* name : {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "WAYLAND_DISPLAY"}) {
    env.remove(name);
  }
  QProcess child;
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(xvfbRun, {"-a", QCoreApplication::applicationFilePath(),
                        "--gtest_filter=AboutDesktopOpener.LinksReachXdgOpenWithTheExactAddress"});
  ASSERT_TRUE(child.waitForFinished(120000));
  const QString output = QString::fromUtf8(child.readAll());
  ASSERT_EQ(child.exitCode(), 0) << output.toStdString();

  const QStringList expected{"https://www.corvane.example",
                             "mailto:support@corvane.example?subject=Typeloom%2C%20Version%201.4"};
  QStringList lines;
  for (int waited = 0; waited < 20000; waited += 50) {
    QFile file(log);
    if (file.open(QIODevice::ReadOnly)) lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    if (lines.size() >= 2) break;
    QTest::qWait(50);
  }
  lines.sort();
  EXPECT_EQ(lines, expected) << output.toStdString();
}

}  // namespace
