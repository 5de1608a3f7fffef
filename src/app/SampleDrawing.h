#pragma once
// The sample line: the font it is drawn in and the drawing itself. The main
// window's drawing area and `typeloom --render` both draw through these, so an
// exported sample is the window's sample.
#include "platform/fonts/FaceResolver.h"

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

class QPainter;
class QPaintDevice;

namespace typeloom::app {

// The font of the sample of font-list name `fontName` at `points` with `effects`.
QFont SampleFont(const QString& fontName, double points, const platform::FontEffects& effects);

// Draws `text` as one line from the top-left corner of the painter's device: the
// baseline one ascent (as measured on that device) below the top, in `ink`.
// Text wider than the device is cut off at its edge.
void DrawSampleLine(QPainter& painter, const QFont& font, const QString& text, const QColor& ink);

// The smallest canvas that holds the line drawn so on `device`: its advance (or
// the ink's right edge when a slanted last letter reaches further) by the font's
// line height, in device pixels.
QSize SampleCanvas(const QFont& font, const QString& text, const QPaintDevice* device);

}  // namespace typeloom::app
