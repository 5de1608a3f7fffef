#include "app/SampleDrawing.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace typeloom::app {

QFont SampleFont(const QString& fontName, double points, const platform::FontEffects& effects) {
  return platform::ResolveFont(fontName, points, effects);
}

void DrawSampleLine(QPainter& painter, const QFont& font, const QString& text, const QColor& ink) {
  painter.setFont(font);
  painter.setPen(ink);
  const QFontMetrics metrics(font, painter.device());
  painter.drawText(QPointF(0, metrics.ascent()), text);
}

QSize SampleCanvas(const QFont& font, const QString& text, const QPaintDevice* device) {
  const QFontMetrics metrics(font, device);
  const QRect ink = metrics.boundingRect(text);
  const int width = std::max(metrics.horizontalAdvance(text), ink.right() + 1);
  return {std::max(width, 1), std::max(metrics.height(), 1)};
}

}  // namespace typeloom::app
