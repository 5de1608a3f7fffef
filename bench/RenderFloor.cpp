// Floor of the --render benchmark (bench/run_bench.py): the least a program can do to
// write one sample line as PNG. A bare QGuiApplication on the offscreen platform
// draws `text` in `family` at 12 points with QPainter onto a QImage just large
// enough for it and saves the image.
//
//   render_floor OUT.png FAMILY TEXT
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QFont font(QString::fromLocal8Bit(argv[2]));
  font.setPointSize(12);
  const QString text = QString::fromLocal8Bit(argv[3]);
  QImage probe(1, 1, QImage::Format_RGB32);
  const QFontMetrics metrics(font, &probe);
  QImage image(QSize(metrics.horizontalAdvance(text), metrics.height()), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPointF(0, metrics.ascent()), text);
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
