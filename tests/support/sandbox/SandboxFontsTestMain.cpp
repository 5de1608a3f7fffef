// Test entry point for executables that draw with Qt over the test fonts only
// (FontFolder() and DetailsFontFolder()):
// fontconfig is pointed at the sandbox before the QApplication (and so Qt's font
// database) exists. Link this instead of relying on the support library's main.
#include "support/sandbox/SandboxFontsMain.h"

int main(int argc, char** argv) {
  using typeloom::testsupport::FontFixtures;
  return typeloom::testsupport::RunTestsOverFonts(argc, argv, [](std::string* error) -> std::vector<std::string> {
    const std::string fonts = FontFixtures::FontFolder(error);
    const std::string details = fonts.empty() ? std::string() : FontFixtures::DetailsFontFolder(error);
    if (details.empty()) return {};
    return {fonts, details};
  });
}
