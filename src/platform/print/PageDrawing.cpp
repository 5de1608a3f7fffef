#include "platform/print/PageDrawing.h"

#include "platform/ui/WindowServices.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace typeloom::platform {
namespace {

QPointF ToDevice(const QPaintDevice& device, double x, double y) {
  return {x * device.logicalDpiX() / kTwipsPerInch, y * device.logicalDpiY() / kTwipsPerInch};
}

// The screen's resolution as the sample uses it; 96 where no screen is known.
int BitmapPrintDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int dpi = screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 0;
  return dpi > 0 ? dpi : 96;
}

}  // namespace

void PageDrawing::Text(QPainter& painter, const QPaintDevice& device, const PageFont& font, int x, int y,
                       const QString& text) {
  const FontKey key{font.face, font.points, font.bold, font.italic};
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    auto face = faces_.find({font.face, font.bold, font.italic});
    if (face == faces_.end()) {
      face = faces_.emplace(std::tuple{font.face, font.bold, font.italic}, LocateFace(font.face, font.bold, font.italic))
                 .first;
    }
    PrintFont print;
    print.font = FontForFace(face->second, font.face, font.points, {.bold = font.bold, .italic = font.italic});
    if (!face->second.scalable) {
      // A bitmap face has strikes for screen pixel sizes only: at the device's
      // resolution the nearest strike would print a few points tall. It is drawn at
      // the pixel size the screen gives the point size, scaled up to the page.
      const int screenDpi = BitmapPrintDpi();
      print.font.setPixelSize(std::max(1, static_cast<int>(std::lround(font.points * screenDpi / 72.0))));
      print.scale = device.logicalDpiY() / static_cast<double>(screenDpi);
      print.ascent = QFontMetricsF(print.font).ascent() * print.scale;
    } else {
      print.ascent = QFontMetricsF(print.font, &device).ascent();
    }
    found = fonts_.emplace(key, std::move(print)).first;
  }
  const PrintFont& print = found->second;
  painter.setFont(print.font);
  painter.setPen(Qt::black);
  // The text's cell starts at (x, y): its baseline lies one ascent lower.
  const QPointF cell = ToDevice(device, x, y);
  const QPointF baseline(cell.x(), cell.y() + print.ascent);
  if (print.scale == 1) {
    painter.drawText(baseline, text);
    return;
  }
  painter.save();
  painter.translate(baseline);
  painter.scale(print.scale, print.scale);
  painter.drawText(QPointF(0, 0), text);
  painter.restore();
}

void PageDrawing::Line(QPainter& painter, const QPaintDevice& device, int x1, int y1, int x2, int y2,
                       std::uint32_t colour) {
  const QColor color(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                     static_cast<int>((colour >> 16) & 0xFF));
  // One dot of a 300-dpi printer: visible on paper and in a PDF alike.
  QPen pen(color, std::max(1.0, device.logicalDpiX() / 300.0));
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  painter.drawLine(ToDevice(device, x1, y1), ToDevice(device, x2, y2));
}

void PaintedPrintingLayer::PrintText(const QString& text) {
  QPainter& painter = Page();
  drawing_.Text(painter, *painter.device(), font_, x_, y_, text);
}

void PaintedPrintingLayer::DrawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) {
  QPainter& painter = Page();
  drawing_.Line(painter, *painter.device(), x1, y1, x2, y2, colour);
}

void PageDrawing::Forget() {
  fonts_.clear();
  faces_.clear();
}

}  // namespace typeloom::platform
