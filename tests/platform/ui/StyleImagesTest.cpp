// The style's images, read ahead as PNG, are the very pixmaps the style then gets.
#include "platform/ui/StyleImages.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace typeloom::platform;

TEST(StyleImages, FusionGetsItsImagesFromTheCacheAndOtherStylesAreLeftAlone) {
  const QString frame = QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
  const struct {
    const char* style;
    int preloaded;
  } cases[] = {{"Fusion", 1}, {"Windows", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    QPixmapCache::clear();
    QApplication::setStyle(QStyleFactory::create(QString::fromLatin1(c.style)));
    EXPECT_EQ(PreloadStyleImages(), c.preloaded);
    QPixmap cached;
    EXPECT_EQ(QPixmapCache::find(PixmapFileCacheKey(frame), &cached), c.preloaded > 0);
    if (c.preloaded == 0) continue;
    // Qt's own load of the file finds the pixmap put there (a changed cache key in a
    // later Qt would load it again, with every image plugin).
    const QPixmap loaded(frame);
    EXPECT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.cacheKey(), cached.cacheKey());
  }
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

TEST(StyleImages, TheFramesPixelsAreQtReadersPixels) {
  const QString frame = QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
  QImageReader reader(frame, "png");
  const QImage expected = reader.read();
  const QImage image = ReadStyleImage(frame);
  ASSERT_FALSE(expected.isNull());
  EXPECT_EQ(image.format(), expected.format());
  EXPECT_EQ(image, expected);
  EXPECT_TRUE(ReadStyleImage(QStringLiteral(":/no/such/image.png")).isNull());
}

}  // namespace
