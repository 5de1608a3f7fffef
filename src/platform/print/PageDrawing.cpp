#include "platform/print/PageDrawing.h"

#include "platform/ui/WindowServices.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace typeloom::platform {
namespace {

QPointF ToDevice(const QPaintDevice& device, double x, double y) {
  return {x * device.logicalDpiX() / kTwipsPerInch, y * device.logicalDpiY() / kTwipsPerInch};
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
    QFont resolved = FontForFace(face->second, font.face, font.points, {.bold = font.bold, .italic = font.italic});
    const double ascent = QFontMetricsF(resolved, &device).ascent();
    found = fonts_.emplace(key, std::pair{resolved, ascent}).first;
  }
  painter.setFont(found->second.first);
  painter.setPen(Qt::black);
  // The text's cell starts at (x, y): its baseline lies one ascent lower.
  const QPointF cell = ToDevice(device, x, y);
  painter.drawText(QPointF(cell.x(), cell.y() + found->second.second), text);
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
