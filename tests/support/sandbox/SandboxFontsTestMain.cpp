// Test entry point for executables that draw with Qt over the test fonts only
// (FontFolder() and DetailsFontFolder()):
// fontconfig is pointed at the sandbox before the QApplication (and so Qt's font
// database) exists. Link this instead of relying on the support library's main.
#include "support/FontFixtures.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("TYPELOOM_SOURCE_DIR")) qputenv("TYPELOOM_SOURCE_DIR", TYPELOOM_TEST_SOURCE_DIR);
  if (qEnvironmentVariableIsEmpty("TYPELOOM_BINARY_DIR")) qputenv("TYPELOOM_BINARY_DIR", TYPELOOM_TEST_BINARY_DIR);
  using typeloom::testsupport::FontFixtures;
  std::string error;
  const std::string fonts = FontFixtures::FontFolder(&error);
  const std::string details = fonts.empty() ? std::string() : FontFixtures::DetailsFontFolder(&error);
  if (details.empty() || !FontFixtures::UseSandboxFontconfig({fonts, details}, &error)) {
    std::fprintf(stderr, "test fonts: %s\n", error.c_str());
    return 1;
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
