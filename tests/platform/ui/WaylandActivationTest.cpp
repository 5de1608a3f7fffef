// The checks before a Wayland activation request, and the window system a Qt
// platform plugin stands for.
#include "platform/ui/WaylandActivation.h"
#include "platform/ui/WindowSystem.h"

#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using namespace typeloom::platform;

TEST(WaylandActivation, TokensArePrintableAsciiUpTo1KiB) {
  const struct {
    QByteArray token;
    bool valid;
  } cases[] = {
      {"", false},
      {"a", true},
      {"3f1c2a5e-7b8d-4e21-9a0f-1d2c3b4a5e6f_TIME12345", true},
      {"gnome-shell-1234-host-typeloom-0_TIME99", true},
      {"with space ~!", true},
      {QByteArray(1024, 'x'), true},
      {QByteArray(1025, 'x'), false},
      {QByteArray("nul\0inside", 10), false},
      {"tab\tinside", false},
      {"line\nbreak", false},
      {"del\x7f", false},
      {"caf\xc3\xa9", false},  // UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(IsActivationToken(c.token), c.valid) << c.token.left(40).toStdString();
}

TEST(WaylandActivation, PluginNamesGiveTheWindowSystem) {
  const struct {
    const char16_t* name;
    WindowSystem system;
  } cases[] = {
      {u"xcb", WindowSystem::X11},          {u"wayland", WindowSystem::Wayland},
      {u"wayland-egl", WindowSystem::Wayland}, {u"wayland-generic", WindowSystem::Wayland},
      {u"waylandish", WindowSystem::Other}, {u"offscreen", WindowSystem::Other},
      {u"minimal", WindowSystem::Other},    {u"", WindowSystem::Other},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowSystemNamed(c.name), c.system) << QString::fromUtf16(c.name).toStdString();
}

// Off Wayland (the tests run offscreen) nothing is sent, whatever the token.
TEST(WaylandActivation, NothingIsSentOffWaylandOrWithoutAWindow) {
  QWidget widget;
  widget.show();
  EXPECT_FALSE(ActivateWaylandWindow(widget.windowHandle(), "3f1c2a5e_TIME1"));
  EXPECT_FALSE(ActivateWaylandWindow(widget.windowHandle(), QByteArray()));
  EXPECT_FALSE(ActivateWaylandWindow(nullptr, "3f1c2a5e_TIME1"));
}

}  // namespace
