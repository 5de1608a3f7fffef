// The splash window: texts, places, the rounded outline and the one-second hold.
#include "about/Logo.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

using namespace typeloom;
using namespace typeloom::about;

TEST(Logo, VersionCaptionHasNoLeadingZeros) {
  EXPECT_EQ(VersionCaption(1, 4), "Version 1.4");
  EXPECT_EQ(VersionCaption(1, 12), "Version 1.12");
  EXPECT_EQ(VersionCaption(1, 0), "Version 1.0");
}

TEST(Logo, MakersNoticeEndsInTheRegisteredSign) {
  EXPECT_TRUE(MakerNotice().endsWith(QChar(0x00AE)));
  EXPECT_GT(MakerNotice().size(), 1);
}

// The outline spans (1, 1) to (width, height), the far edges not included: row
// and column 0 are cut off, the corners rounded.
TEST(Logo, OutlineIsRoundedWith40PixelCornersWhateverTheSize) {
  // 3975 x 2955 twips at 96 and at 120 dots per inch.
  for (const QSize size : {QSize(265, 197), QSize(331, 246)}) {
    SCOPED_TRACE(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString());
    const int w = size.width();
    const int h = size.height();
    const QRegion outline = RoundedOutline(w, h);
    struct Probe {
      int x, y;
      bool inside;
    };
    const Probe probes[] = {
        {w / 2, h / 2, true},   {w / 2, 1, true},       {w / 2, 0, false},      {1, h / 2, true},
        {0, h / 2, false},      {w - 1, h / 2, true},   {w, h / 2, false},      {w / 2, h - 1, true},
        {w / 2, h, false},  {1, 1, false},          {4, 4, false},          {10, 10, true},
        {w - 5, 4, false},      {w - 11, 10, true},     {4, h - 5, false},      {w - 5, h - 5, false},
        {w - 11, h - 11, true}, {21, 1, true},          {1, 21, true},
    };
    for (const Probe& p : probes) EXPECT_EQ(outline.contains(QPoint(p.x, p.y)), p.inside) << p.x << ',' << p.y;
  }
  EXPECT_TRUE(RoundedOutline(1, 1).isEmpty());
}

TEST(Logo, LoadSetsTextsFontsColoursAndShape) {
  test::FakeClock clock;
  Logo logo(clock, clock);
  logo.Form_Load();
  EXPECT_EQ(logo.size(), QSize(platform::TwipsToPixelsX(3975), platform::TwipsToPixelsY(2955)));
  EXPECT_EQ(logo.palette().color(QPalette::Window), QColor(255, 0, 255));
  EXPECT_TRUE(logo.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(logo.windowFlags().testFlag(Qt::SplashScreen));  // no taskbar entry

  EXPECT_EQ(logo.Label0->text(), "Typeloom");
  EXPECT_EQ(logo.Label0->font().pointSize(), 24);
  EXPECT_TRUE(logo.Label0->font().italic());
  EXPECT_EQ(logo.Label0->geometry(), platform::TwipsRect(300, 240, 3375, 615));
  EXPECT_EQ(logo.Label2->text(), "Version 1.4");
  EXPECT_EQ(logo.Label3->text(), MakerNotice());
  EXPECT_DOUBLE_EQ(logo.Label3->font().pointSizeF(), 9.75);
  EXPECT_EQ(logo.Message->text(), "PLEASE WAIT... Setting up display data");
  EXPECT_TRUE(logo.Message->font().bold());
  EXPECT_EQ(logo.Message->palette().color(QPalette::WindowText), QColor(255, 255, 128));
  EXPECT_EQ(logo.Message->geometry(), platform::TwipsRect(135, 2640, 3735, 285));
  EXPECT_FALSE(logo.Image2->pixmap().isNull());
  EXPECT_TRUE(logo.Image3->pixmap().isNull());
  EXPECT_FALSE(logo.Image1->pixmap().isNull());

  EXPECT_EQ(logo.mask(), RoundedOutline(logo.width(), logo.height()));
}

TEST(Logo, EveryShowHoldsOneSecondWhileEventsRun) {
  test::FakeClock clock;
  LogoSplash splash(clock, clock);
  splash.Show();
  ASSERT_NE(splash.Window(), nullptr);
  EXPECT_TRUE(splash.Window()->isVisible());
  EXPECT_EQ(splash.Window()->Label2->text(), "Version 1.4");
  EXPECT_DOUBLE_EQ(clock.now, 1001.0);
  EXPECT_EQ(clock.pumps, 4);

  Logo* first = splash.Window();
  splash.Close();
  EXPECT_EQ(splash.Window(), nullptr);
  splash.Show();
  EXPECT_NE(splash.Window(), nullptr);
  EXPECT_NE(splash.Window(), first);  // loaded afresh
  EXPECT_DOUBLE_EQ(clock.now, 1002.0);
  splash.Close();
  splash.Close();  // closing a closed splash does nothing
}

}  // namespace
