// Test entry point: a QApplication (offscreen) for every test executable.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("TYPELOOM_SOURCE_DIR")) qputenv("TYPELOOM_SOURCE_DIR", TYPELOOM_TEST_SOURCE_DIR);
  if (qEnvironmentVariableIsEmpty("TYPELOOM_BINARY_DIR")) qputenv("TYPELOOM_BINARY_DIR", TYPELOOM_TEST_BINARY_DIR);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
