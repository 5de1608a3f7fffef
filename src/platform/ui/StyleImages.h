#pragma once
// The images Qt's Fusion style draws from its own resources (a group box's frame).
// Qt loads them as files of unknown kind, which makes its image reader load every
// image-format plugin (and Qt SVG with them) before the first window is painted.
// Read here as what they are, PNG (a plain RGBA one without Qt's reader at all), and
// put where the style looks them up, they cost neither.
#include <QImage>
#include <QString>

namespace typeloom::platform {

// Where Qt's pixmap cache keeps the pixmap that QPixmap(path) loads.
QString PixmapFileCacheKey(const QString& path);

// The image at `path` (a file or a resource) as Qt's PNG reader gives it; a null
// image when it cannot be read.
QImage ReadStyleImage(const QString& path);

// Under the Fusion style, reads its images as PNG into the pixmap cache; returns
// how many it put there (0 under any other style, or when one cannot be read: the
// style then reads it itself).
int PreloadStyleImages();

}  // namespace typeloom::platform
