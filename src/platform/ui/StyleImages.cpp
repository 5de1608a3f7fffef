#include "platform/ui/StyleImages.h"

#include <QApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>
#include <QStringBuilder>
#include <QStyle>
#include <QtGui/private/qhexstring_p.h>

namespace typeloom::platform {

QString PixmapFileCacheKey(const QString& path) {
  // As QPixmap::load builds it: the file's path, time and size, and the pixmap kind
  // (0, a plain pixmap).
  const QFileInfo info(path);
  return QLatin1String("qt_pixmap") % info.absoluteFilePath() %
         HexString<uint>(static_cast<uint>(info.lastModified().toSecsSinceEpoch())) %
         HexString<quint64>(static_cast<quint64>(info.size())) % HexString<uint>(0u);
}

int PreloadStyleImages() {
  const QStyle* style = QApplication::style();
  if (style == nullptr || style->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) return 0;
  int loaded = 0;
  for (const QString& path : {QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png")}) {
    // With the format given and detection off, only the built-in PNG reader is asked.
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    if (image.isNull()) continue;
    if (QPixmapCache::insert(PixmapFileCacheKey(path), QPixmap::fromImage(image))) ++loaded;
  }
  return loaded;
}

}  // namespace typeloom::platform
