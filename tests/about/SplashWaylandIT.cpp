// The real program's splash under headless Wayland compositors: under weston a
// screenshot shows its rounded corners see-through (the mask colour is not painted
// outside the outline); under mutter, which activates windows, showing the splash
// again at the first activation takes no focus from the main window.
#include "support/ProgramSandbox.h"
#include "support/wayland/HeadlessWayland.h"
#include "support/wayland/LineClient.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using typeloom::testsupport::HeadlessWayland;
using typeloom::testsupport::LineClient;
using typeloom::testsupport::ProgramSandbox;
using typeloom::testsupport::WaitUntil;

class Sandbox : public ProgramSandbox {
 public:
  explicit Sandbox(const HeadlessWayland& compositor)
      : ProgramSandbox("/usr/share/fonts/truetype/dejavu", {"DejaVuSans.ttf", "DejaVuSerif.ttf"}) {
    QDir(ConfigFolder()).mkpath("Typeloom");
    QFile ini(ConfigFolder() + "/Typeloom/Typeloom.ini");
    if (ini.open(QIODevice::WriteOnly)) ini.write("[Settings]\nShowSplash=1\n");
    compositor.Apply(Env());
  }
  bool WaitForTrace(const QString& line, int count = 1) const {
    return WaitUntil([&] { return Trace().count(line) >= count; }, 60);
  }
};

bool Magenta(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 80 && qBlue(pixel) > 200; }
bool Green(QRgb pixel) { return qRed(pixel) < 40 && qGreen(pixel) > 215 && qBlue(pixel) < 40; }

// The box of the pixels that `is` holds for.
QRect Box(const QImage& shot, bool (*is)(QRgb)) {
  QRect box;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (is(shot.pixel(x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

// The four corners of the splash's box lie outside its 40-pixel rounded corners:
// none of them may be painted in the mask colour; the middle is.
void ExpectRoundedCorners(const QImage& shot, const QRect& splash) {
  for (const QPoint corner : {splash.topLeft(), splash.topRight(), splash.bottomLeft(), splash.bottomRight()}) {
    for (const int step : {0, 1, 2, 3}) {
      const QPoint inward(corner.x() + (corner.x() == splash.left() ? step : -step),
                          corner.y() + (corner.y() == splash.top() ? step : -step));
      EXPECT_FALSE(Magenta(shot.pixel(inward))) << inward.x() << ',' << inward.y();
    }
  }
  EXPECT_TRUE(Magenta(shot.pixel(splash.center())));
  EXPECT_TRUE(Magenta(shot.pixel(splash.center().x(), splash.top() + 2)));
}

TEST(SplashWayland, CornersOutsideTheOutlineAreNotPainted) {
  HeadlessWayland weston(HeadlessWayland::Compositor::Weston);
  const QString why = weston.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  Sandbox box(weston);
  ASSERT_TRUE(box.Ready());
  auto program = box.Start({});
  // Both load pauses are over, the splash is up (headless weston activates no
  // window, so it stays until the program ends).
  ASSERT_TRUE(box.WaitForTrace("pause 1", 2)) << box.Trace().join('\n').toStdString();
  QString error;
  const QImage shot = weston.Screenshot(&error).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(shot.isNull()) << error.toStdString();
  shot.save("splash_wayland_weston.png");  // beside the test, to look at

  const QRect splash = Box(shot, Magenta);
  ASSERT_GT(splash.width(), 150) << "no splash on the screenshot";
  ASSERT_GT(splash.height(), 100);
  ExpectRoundedCorners(shot, splash);
  program->kill();
  program->waitForFinished();
}

TEST(SplashWayland, SplashAtTheFirstActivationTakesNoFocus) {
  HeadlessWayland mutter(HeadlessWayland::Compositor::Mutter);
  const QString why = mutter.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  Sandbox box(mutter);
  ASSERT_TRUE(box.Ready());
  auto program = box.Start({});
  ASSERT_TRUE(box.WaitForTrace("splash close", 2)) << box.Trace().join('\n').toStdString();
  // The main window stays active from its first activation until the splash has
  // closed for good.
  const QStringList trace = box.Trace();
  const qsizetype activated = trace.indexOf("activated");
  ASSERT_GE(activated, 0) << trace.join('\n').toStdString();
  const QStringList after = trace.mid(activated);
  EXPECT_EQ(after.count("splash show"), 1) << trace.join('\n').toStdString();
  EXPECT_EQ(after.count("deactivated"), 0) << trace.join('\n').toStdString();
  EXPECT_EQ(trace.count("form activate"), 1) << trace.join('\n').toStdString();
  program->kill();
  program->waitForFinished();
}

// Shown over the main window (as at its first activation) the splash is a popup
// that the compositor places centred on it, with the same see-through corners.
TEST(SplashWayland, PopupIsCentredOnTheMainWindow) {
  HeadlessWayland weston(HeadlessWayland::Compositor::Weston);
  const QString why = weston.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  weston.Apply(env);
  LineClient probe;
  ASSERT_TRUE(probe.Start(SPLASH_PROBE, {}, env));
  ASSERT_TRUE(probe.WaitFor("shown")) << probe.Errors().toStdString();
  QString error;
  const QImage shot = weston.Screenshot(&error).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(shot.isNull()) << error.toStdString();
  shot.save("splash_wayland_popup.png");

  const QRect main = Box(shot, Green);  // the main window's client area
  const QRect splash = Box(shot, Magenta);
  ASSERT_GT(splash.width(), 150) << "no splash on the screenshot";
  ASSERT_GT(main.width(), splash.width());
  EXPECT_LE(std::abs(main.center().x() - splash.center().x()), 2) << main.center().x() << " " << splash.center().x();
  EXPECT_LE(std::abs(main.center().y() - splash.center().y()), 2) << main.center().y() << " " << splash.center().y();
  ExpectRoundedCorners(shot, splash);
}

}  // namespace
