#include "app/Main.h"
#include "support/CurrentFolder.h"

#include <QFile>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace typeloom::app {
namespace {

// What a later start puts in its hand-over, from its arguments and environment; the
// X server is asked for a time only on X11 and only when no launch time is known.
TEST(HandOverRequest, CarriesArgumentsIdentifiersAndATimeWhenNeeded) {
  const std::string longId(1025, 'i');
  const struct {
    const char* name;
    std::map<std::string, std::string> environment;
    std::string startupId, token;
    bool asksServer;
  } cases[] = {
      {"terminal on X11", {{"DISPLAY", ":0"}}, "", "", true},
      {"launcher on X11", {{"DISPLAY", ":0"}, {"DESKTOP_STARTUP_ID", "launcher-7_TIME99"}}, "launcher-7_TIME99", "", false},
      {"launch id without a time", {{"DISPLAY", ":0"}, {"DESKTOP_STARTUP_ID", "no-time"}}, "no-time", "", true},
      {"Wayland launcher", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_ACTIVATION_TOKEN", "tok"}}, "", "tok", false},
      {"Wayland terminal", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "", "", false},
      {"Wayland session, X11 platform", {{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "w"}, {"QT_QPA_PLATFORM", "xcb"}}, "", "", true},
      {"no display", {}, "", "", false},
      {"empty display", {{"DISPLAY", ""}}, "", "", false},
      {"token with a newline is left behind", {{"DISPLAY", ":0"}, {"XDG_ACTIVATION_TOKEN", "a\nb"}}, "", "", true},
      {"overlong id is left behind", {{"DESKTOP_STARTUP_ID", longId}}, "", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> storage{"typeloom", "/p", "/fonts/A.TTF"};
    std::vector<char*> argv;
    for (std::string& argument : storage) argv.push_back(argument.data());
    int asked = 0;
    const platform::HandOverRequest request = MakeHandOverRequest(
        static_cast<int>(argv.size()), argv.data(),
        [&](const char* name) {
          const auto found = c.environment.find(name);
          return found == c.environment.end() ? nullptr : found->second.c_str();
        },
        [&] {
          ++asked;
          return 4242u;
        });
    EXPECT_EQ(request.arguments, (std::vector<std::string>{"/p", "/fonts/A.TTF"}));
    EXPECT_EQ(request.startupId, c.startupId);
    EXPECT_EQ(request.activationToken, c.token);
    EXPECT_EQ(asked, c.asksServer ? 1 : 0);
    EXPECT_EQ(request.x11Time, c.asksServer ? 4242u : 0u);
  }
}

// A font file named relative to the later start's folder travels as an absolute
// path: the running instance resolves names in a folder of its own.
TEST(HandOverRequest, RelativeFontFilesTravelAbsolute) {
  const test::CurrentFolderWithFile folder("My Font.TTF");
  ASSERT_TRUE(folder.ok());
  std::vector<std::string> storage{"typeloom", "/p", "My Font.TTF", "missing.ttf"};
  std::vector<char*> argv;
  for (std::string& argument : storage) argv.push_back(argument.data());
  const platform::HandOverRequest request = MakeHandOverRequest(
      static_cast<int>(argv.size()), argv.data(), [](const char*) { return nullptr; }, [] { return 0u; });
  const std::string absolute = QFile::encodeName(folder.AbsolutePath("My Font.TTF")).toStdString();
  EXPECT_EQ(request.arguments, (std::vector<std::string>{"/p", absolute, "missing.ttf"}));
}

}  // namespace
}  // namespace typeloom::app
