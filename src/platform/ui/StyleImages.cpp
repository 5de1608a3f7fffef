#include "platform/ui/StyleImages.h"

#include "platform/ui/PngPixels.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <QStringBuilder>
#include <QStyle>
#include <QtGui/private/qhexstring_p.h>

#include <cstdint>
#include <cstring>

namespace typeloom::platform {

QString PixmapFileCacheKey(const QString& path) {
  // As QPixmap::load builds it: the file's path, time and size, and the pixmap kind
  // (0, a plain pixmap).
  const QFileInfo info(path);
  return QLatin1String("qt_pixmap") % info.absoluteFilePath() %
         HexString<uint>(static_cast<uint>(info.lastModified().toSecsSinceEpoch())) %
         HexString<quint64>(static_cast<quint64>(info.size())) % HexString<uint>(0u);
}

QImage ReadStyleImage(const QString& path) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray bytes = file.readAll();
    PngPixels pixels;
    if (ReadRgbaPng(reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<std::size_t>(bytes.size()),
                    &pixels)) {
      QImage image(pixels.width, pixels.height, QImage::Format_ARGB32);
      if (!image.isNull()) {
        for (int y = 0; y < pixels.height; ++y) {
          std::memcpy(image.scanLine(y), pixels.argb.data() + static_cast<std::size_t>(y) * pixels.width,
                      static_cast<std::size_t>(pixels.width) * sizeof(std::uint32_t));
        }
        return image;
      }
    }
  }
  // Any other kind of PNG: Qt's reader, still told the format.
  QImageReader reader(path, "png");
  reader.setAutoDetectImageFormat(false);
  return reader.read();
}

int PreloadStyleImages() {
  const QStyle* style = QApplication::style();
  if (style == nullptr || style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) return 0;
  int loaded = 0;
  for (const QString& path : {QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png")}) {
    const QImage image = ReadStyleImage(path);
    if (image.isNull()) continue;
    if (QPixmapCache::insert(PixmapFileCacheKey(path), QPixmap::fromImage(image))) ++loaded;
  }
  return loaded;
}

}  // namespace typeloom::platform
