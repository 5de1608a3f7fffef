#pragma once
// The main window's services over the sandboxed fontconfig of SandboxFontsTestMain.cpp:
// the real fonts key and font folder, the registry's own keys in a temporary hive,
// fakes for the rest (the splash switched off).
#include "platform/fonts/FontconfigFonts.h"
#include "platform/registry/LinuxRegistry.h"
#include "support/FakeAppServices.h"

#include <QTemporaryDir>

#include <memory>

namespace typeloom::test {

class SandboxServices {
 public:
  SandboxServices() : registry_(platform::MakeLinuxRegistry(fonts_, hive_.filePath("hive").toStdString())) {
    settings_.SaveSetting(app::kAppTitle, app::kSettingsSection, "ShowSplash", "0");
  }
  app::Services& services() { return services_; }
  FakeMessageBoxes& messages() { return messages_; }

 private:
  QTemporaryDir hive_;
  platform::FontconfigFonts fonts_;
  std::unique_ptr<platform::Registry> registry_;
  FakeSettingsStore settings_;
  FakeMessageBoxes messages_;
  FakeClock clock_;
  app::Services services_{*registry_, settings_, messages_, clock_, clock_, fonts_};
};

}  // namespace typeloom::test
