// The splash window: texts, places, the rounded outline and the one-second hold.
#include "about/Logo.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeAppServices.h"

#include <QImage>
#include <QLabel>
#include <QWindow>

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

// X11 keeps the mask and the centring; Wayland paints the outline and, once the
// main window is shown, stands over it as a popup.
TEST(Logo, LookFollowsTheWindowSystem) {
  using platform::WindowSystem;
  const struct {
    WindowSystem system;
    bool ownerShown;
    bool masked, painted, popup, centred;
  } cases[] = {
      {WindowSystem::X11, false, true, false, false, true},
      {WindowSystem::X11, true, true, false, false, true},
      {WindowSystem::Other, true, true, false, false, true},
      {WindowSystem::Wayland, false, false, true, false, false},
      {WindowSystem::Wayland, true, false, true, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.system) * 10 + c.ownerShown);
    const SplashLook look = SplashLookFor(c.system, c.ownerShown);
    EXPECT_EQ(look.maskedOutline, c.masked);
    EXPECT_EQ(look.paintedOutline, c.painted);
    EXPECT_EQ(look.popupOverOwner, c.popup);
    EXPECT_EQ(look.centredOnScreen, c.centred);
  }
}

// The painted outline covers what the mask keeps, corners 40 device pixels wide
// at every scale.
TEST(Logo, PaintedOutlineMatchesTheMask) {
  for (const qreal ratio : {1.0, 1.25, 2.0}) {
    SCOPED_TRACE(ratio);
    const QSizeF size(265, 197);
    const QPainterPath path = RoundedOutlinePath(size, ratio);
    const qreal px = 1.0 / ratio;  // one device pixel
    const qreal w = size.width();
    const qreal h = size.height();
    const struct {
      qreal x, y;
      bool inside;
    } probes[] = {
        {w / 2, h / 2, true},        {w / 2, 0.5 * px, false},      {w / 2, 1.5 * px, true},
        {0.5 * px, h / 2, false},    {1.5 * px, h / 2, true},       {w - 0.5 * px, h / 2, true},
        {w + 0.5 * px, h / 2, false}, {4 * px, 4 * px, false},      {10 * px, 10 * px, true},
        {w - 4 * px, h - 4 * px, false}, {w - 10 * px, h - 10 * px, true}, {21 * px, 1.5 * px, true},
        {w - 4 * px, 4 * px, false},  {4 * px, h - 4 * px, false},
    };
    for (const auto& p : probes) EXPECT_EQ(path.contains(QPointF(p.x, p.y)), p.inside) << p.x << ',' << p.y;
  }
  EXPECT_TRUE(RoundedOutlinePath(QSizeF(1, 1), 1.0).isEmpty());
}

// Where a mask only limits input, the corners must be see-through: the window is
// translucent and only the rounded outline is painted in magenta.
TEST(Logo, PaintedLookLeavesTheCornersTransparent) {
  test::FakeClock clock;
  Logo logo(clock, clock, SplashLookFor(platform::WindowSystem::Wayland, false));
  logo.Form_Load();
  EXPECT_TRUE(logo.mask().isEmpty());
  EXPECT_TRUE(logo.testAttribute(Qt::WA_TranslucentBackground));
  EXPECT_FALSE(logo.autoFillBackground());
  EXPECT_FALSE(logo.testAttribute(Qt::WA_Moved));  // the compositor places it

  QImage image(logo.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  logo.render(&image, {}, {}, QWidget::DrawChildren);
  const int w = image.width();
  const int h = image.height();
  for (const QPoint corner : {QPoint(0, 0), QPoint(3, 3), QPoint(w - 1, 0), QPoint(w - 4, 3), QPoint(0, h - 1),
                              QPoint(3, h - 4), QPoint(w - 1, h - 1), QPoint(w - 4, h - 4)}) {
    EXPECT_EQ(qAlpha(image.pixel(corner)), 0) << corner.x() << ',' << corner.y();
  }
  for (const QPoint inside : {QPoint(w / 2, 8), QPoint(8, h / 2 + 20), QPoint(12, 12), QPoint(w - 13, h - 13)}) {
    EXPECT_EQ(image.pixelColor(inside), QColor(255, 0, 255)) << inside.x() << ',' << inside.y();
  }
}

// Over a shown main window the splash is a tooltip-type window whose transient
// parent is the main window (a popup, never focused), centred on it.
TEST(Logo, PopupStandsOverItsOwner) {
  test::FakeClock clock;
  QWidget owner;
  owner.setGeometry(100, 120, 420, 400);
  owner.show();
  Logo logo(clock, clock, SplashLookFor(platform::WindowSystem::Wayland, true), &owner);
  EXPECT_EQ(logo.windowType(), Qt::ToolTip);
  ASSERT_NE(logo.windowHandle(), nullptr);
  EXPECT_EQ(logo.windowHandle()->transientParent(), owner.windowHandle());
  EXPECT_EQ(logo.geometry().center(), owner.geometry().center());

  // Without an owner it stays a splash window of its own.
  Logo alone(clock, clock, SplashLookFor(platform::WindowSystem::Wayland, true));
  EXPECT_EQ(alone.windowType(), Qt::SplashScreen);
  EXPECT_FALSE(alone.Look().popupOverOwner);
}

}  // namespace
