#pragma once
// Fakes of the message boxes, the clock and the font folder, and a bundle of
// every fake service the main window needs.
#include "app/FontModule.h"
#include "platform/ui/Clock.h"
#include "platform/fonts/InstalledFonts.h"
#include "platform/ui/MessageBoxes.h"
#include "support/FakeRegistry.h"
#include "support/FakeSettingsStore.h"

#include <QString>
#include <QStringList>

#include <functional>

#include <map>
#include <string>

namespace typeloom::test {

// Records every message and answers with a set reply.
class FakeMessageBoxes final : public platform::MessageBoxes {
 public:
  int Show(QWidget*, const QString& text, int style, const QString& title) override {
    shown << text;
    styles.push_back(style);
    titles << title;
    if (onShow) onShow();  // what happens while a real box waits for its answer
    return reply;
  }
  std::function<void()> onShow;
  QStringList shown;
  std::vector<int> styles;
  QStringList titles;
  int reply = platform::mb::kOk;
};

// Time moves only when events are processed: each pump advances it by `step`.
class FakeClock final : public platform::Clock, public platform::EventPump {
 public:
  double Seconds() override {
    ++reads;
    return now;
  }
  void ProcessEvents() override {
    ++pumps;
    now += step;
  }
  double now = 1000.0;
  double step = 0.25;
  int reads = 0;
  int pumps = 0;
};

class FakeFontFolder final : public platform::SystemFontFolder {
 public:
  std::string PathOf(std::string_view file) override {
    const auto it = paths.find(std::string(file));
    return it == paths.end() ? std::string() : it->second;
  }
  std::map<std::string, std::string> paths;
};

struct FakeAppServices {
  testsupport::FakeRegistry registry;
  FakeSettingsStore settings;
  FakeMessageBoxes messages;
  FakeClock clock;
  FakeFontFolder fontFolder;
  app::Services services{registry, settings, messages, clock, clock, fontFolder};

  // Adds one value of the installed-fonts key.
  void AddFont(const std::string& valueName, const std::string& file) {
    registry.Put(platform::RootKey::LocalMachine, app::kNtFontsKey, valueName, platform::reg::kSz, file);
  }
};

}  // namespace typeloom::test
