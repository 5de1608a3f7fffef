#include "platform/graphics/SystemColors.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

TEST(SystemColors, RgbValuesAreLaidOutBlueGreenRed) {
  EXPECT_EQ(ColorOf(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(ColorOf(0xFF00FF), QColor(255, 0, 255));
  EXPECT_EQ(ColorOf(0x123456), QColor(0x56, 0x34, 0x12));
}

TEST(SystemColors, TheProgramsSystemColoursComeFromThePalette) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Text, QColor(4, 5, 6));
  palette.setColor(QPalette::Active, QPalette::Button, QColor(7, 8, 9));
  palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(10, 11, 12));
  palette.setColor(QPalette::Active, QPalette::Midlight, QColor(13, 14, 15));
  const QPalette saved = QApplication::palette();
  QApplication::setPalette(palette);
  const struct {
    std::uint32_t value;
    QColor expected;
  } cases[] = {
      {0x80000005u, QColor(1, 2, 3)},   {0x80000008u, QColor(4, 5, 6)},    {0x8000000Fu, QColor(7, 8, 9)},
      {0x80000012u, QColor(10, 11, 12)}, {0x80000016u, QColor(13, 14, 15)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorOf(c.value), c.expected) << std::hex << c.value;
  QApplication::setPalette(saved);
}

}  // namespace
}  // namespace typeloom::platform
