// The real program's splash under headless Wayland compositors: under weston a
// screenshot shows its rounded corners see-through (the mask colour is not painted
// outside the outline); under mutter, which activates windows, showing the splash
// again at the first activation takes no focus from the main window.
#include "support/ProgramSandbox.h"
#include "support/wayland/HeadlessWayland.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using typeloom::testsupport::HeadlessWayland;
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

  QRect splash;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      if (Magenta(shot.pixel(x, y))) splash |= QRect(x, y, 1, 1);
    }
  }
  ASSERT_GT(splash.width(), 150) << "no splash on the screenshot";
  ASSERT_GT(splash.height(), 100);
  // The corners of the splash's box lie outside the 40-pixel rounded corners.
  for (const QPoint corner : {splash.topLeft(), splash.topRight(), splash.bottomLeft(), splash.bottomRight()}) {
    for (const QPoint step : {QPoint(0, 0), QPoint(1, 1), QPoint(2, 2), QPoint(3, 3)}) {
      const QPoint inward(corner.x() + (corner.x() == splash.left() ? step.x() : -step.x()),
                          corner.y() + (corner.y() == splash.top() ? step.y() : -step.y()));
      EXPECT_FALSE(Magenta(shot.pixel(inward))) << inward.x() << ',' << inward.y();
    }
  }
  EXPECT_TRUE(Magenta(shot.pixel(splash.center())));
  EXPECT_TRUE(Magenta(shot.pixel(splash.center().x(), splash.top() + 2)));
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

}  // namespace
