// ActivateWaylandWindow under real headless compositors: mutter (which implements
// xdg-activation) and weston (which does not). The window to bring forward and the
// launcher that hands out the token are wayland_probe clients.
#include "support/ProgramSandbox.h"
#include "support/wayland/HeadlessWayland.h"
#include "support/wayland/LineClient.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using typeloom::testsupport::HeadlessWayland;
using typeloom::testsupport::LineClient;
using typeloom::testsupport::ProgramSandbox;
using typeloom::testsupport::WaitUntil;

QProcessEnvironment ClientEnv(const HeadlessWayland& compositor) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  compositor.Apply(env);
  return env;
}

// The launcher has the focus and was typed into; the token it gets for that key
// brings the other window forward. Before it, requests that cannot activate are
// not sent at all: no token, one that is not printable ASCII, one over 1 KiB.
TEST(WaylandActivation, LaunchersTokenBringsTheWindowForward) {
  HeadlessWayland mutter(HeadlessWayland::Compositor::Mutter);
  const QString why = mutter.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  const QString typed = mutter.TypeKey();  // the seat gets its keyboard
  ASSERT_TRUE(typed.isEmpty()) << typed.toStdString() << mutter.Log().toStdString();
  const QProcessEnvironment env = ClientEnv(mutter);

  LineClient target;
  ASSERT_TRUE(target.Start(WAYLAND_PROBE, {"target"}, env));
  ASSERT_TRUE(target.WaitFor("active")) << target.Errors().toStdString();
  LineClient launcher;
  ASSERT_TRUE(launcher.Start(WAYLAND_PROBE, {"launcher"}, env));
  ASSERT_TRUE(launcher.WaitFor("active")) << launcher.Errors().toStdString();
  ASSERT_TRUE(target.WaitFor("inactive"));

  for (const QString& token : {QString(), QStringLiteral("bad\ttoken"), QString(1025, u'a')}) {
    SCOPED_TRACE(token.left(20).toStdString());
    const int answered = target.Lines().count("sent 0");
    target.Send("activate " + token);
    EXPECT_TRUE(target.WaitFor("sent 0", answered + 1)) << target.Lines().join('\n').toStdString();
  }

  const QString typedAgain = mutter.TypeKey();
  ASSERT_TRUE(typedAgain.isEmpty()) << typedAgain.toStdString();
  ASSERT_TRUE(launcher.WaitFor("key"));
  launcher.Send("token");
  const QString token = launcher.WaitForPrefix("token").mid(6);
  ASSERT_FALSE(token.isEmpty()) << launcher.Lines().join('\n').toStdString();
  EXPECT_EQ(target.Lines().count("active"), 1);  // nothing so far brought it forward
  target.Send("activate " + token);
  EXPECT_TRUE(target.WaitFor("sent 1")) << target.Lines().join('\n').toStdString();
  EXPECT_TRUE(target.WaitFor("active", 2)) << target.Lines().join('\n').toStdString();
  EXPECT_TRUE(launcher.WaitFor("inactive")) << launcher.Lines().join('\n').toStdString();
}

// A compositor without xdg-activation: nothing is sent, the window asks for
// attention instead, and the client goes on.
TEST(WaylandActivation, WithoutTheProtocolNothingIsSent) {
  HeadlessWayland weston(HeadlessWayland::Compositor::Weston);
  const QString why = weston.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  LineClient target;
  ASSERT_TRUE(target.Start(WAYLAND_PROBE, {"target"}, ClientEnv(weston)));
  ASSERT_TRUE(target.WaitFor("shown")) << target.Errors().toStdString();
  target.Send("activate 1234-abcd_TIME42");
  EXPECT_TRUE(target.WaitFor("sent 0")) << target.Lines().join('\n').toStdString();
  target.Send("activate 1234-abcd_TIME43");
  EXPECT_TRUE(target.WaitFor("sent 0", 2)) << target.Lines().join('\n').toStdString();
}

// The real program: another program has the focus and is typed into; a later start
// from it, carrying its token in XDG_ACTIVATION_TOKEN, brings Typeloom's window
// forward and shows the font it asked for.
TEST(WaylandActivation, LaterStartWithALaunchersTokenBringsTypeloomForward) {
  HeadlessWayland mutter(HeadlessWayland::Compositor::Mutter);
  const QString why = mutter.Start();
  ASSERT_TRUE(why.isEmpty()) << why.toStdString();
  const QString typed = mutter.TypeKey();
  ASSERT_TRUE(typed.isEmpty()) << typed.toStdString();

  ProgramSandbox box("/usr/share/fonts/truetype/dejavu", {"DejaVuSans.ttf", "DejaVuSerif.ttf"});
  ASSERT_TRUE(box.Ready());
  QDir(box.ConfigFolder()).mkpath("Typeloom");
  QFile ini(box.ConfigFolder() + "/Typeloom/Typeloom.ini");
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Settings]\nShowSplash=0\n");
  ini.close();
  mutter.Apply(box.Env());
  for (const char* name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) box.Env().remove(name);
  auto first = box.Start({});
  ASSERT_TRUE(WaitUntil([&] { return box.Trace().contains("form activate"); }, 60)) << box.Trace().join('\n').toStdString();

  LineClient launcher;
  ASSERT_TRUE(launcher.Start(WAYLAND_PROBE, {"launcher"}, ClientEnv(mutter)));
  ASSERT_TRUE(launcher.WaitFor("active")) << launcher.Errors().toStdString();
  ASSERT_TRUE(WaitUntil([&] { return box.Trace().contains("deactivated"); })) << box.Trace().join('\n').toStdString();
  const QString typedAgain = mutter.TypeKey();
  ASSERT_TRUE(typedAgain.isEmpty()) << typedAgain.toStdString();
  ASSERT_TRUE(launcher.WaitFor("key"));
  launcher.Send("token");
  const QString token = launcher.WaitForPrefix("token").mid(6);
  ASSERT_FALSE(token.isEmpty()) << launcher.Lines().join('\n').toStdString();

  box.Env().insert("XDG_ACTIVATION_TOKEN", token);
  const ProgramSandbox::Result later = box.Run({box.FontPath("DejaVuSerif.ttf")});
  EXPECT_EQ(later.code, 0) << later.err.toStdString();
  EXPECT_TRUE(WaitUntil([&] { return box.Trace().count("form activate") >= 2; }, 60))
      << box.Trace().join('\n').toStdString();
  EXPECT_TRUE(launcher.WaitFor("inactive")) << launcher.Lines().join('\n').toStdString();
  EXPECT_TRUE(box.Trace().contains("selected DejaVu Serif print=0")) << box.Trace().join('\n').toStdString();
  first->kill();
  first->waitForFinished();
}

}  // namespace
