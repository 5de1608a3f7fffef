#pragma once
// The body of a test main for executables that draw with Qt over test fonts only:
// fontconfig is pointed at the given font folders before the QApplication (and so
// Qt's font database) exists, then every test runs. The including file defines
// TYPELOOM_TEST_SOURCE_DIR and TYPELOOM_TEST_BINARY_DIR.
#include "support/FontFixtures.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace typeloom::testsupport {

// `folders` gives the font folders, or an empty list with the reason in its argument.
inline int RunTestsOverFonts(int argc, char** argv,
                             const std::function<std::vector<std::string>(std::string* error)>& folders) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("TYPELOOM_SOURCE_DIR")) qputenv("TYPELOOM_SOURCE_DIR", TYPELOOM_TEST_SOURCE_DIR);
  if (qEnvironmentVariableIsEmpty("TYPELOOM_BINARY_DIR")) qputenv("TYPELOOM_BINARY_DIR", TYPELOOM_TEST_BINARY_DIR);
  std::string error;
  const std::vector<std::string> fonts = folders(&error);
  if (fonts.empty() || !FontFixtures::UseSandboxFontconfig(fonts, &error)) {
    std::fprintf(stderr, "test fonts: %s\n", error.c_str());
    return 1;
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

}  // namespace typeloom::testsupport
