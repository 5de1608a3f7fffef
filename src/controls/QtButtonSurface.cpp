#include "controls/QtButtonSurface.h"

#include "platform/graphics/SystemColors.h"
#include "platform/ui/WindowServices.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QWidget>

#include <cmath>
#include <numbers>

namespace typeloom::controls {
namespace {

// Qt angles are sixteenths of a degree.
int Sixteenths(double radians) { return static_cast<int>(std::lround(radians * 180.0 / std::numbers::pi * 16.0)); }

}  // namespace

QtButtonSurface::QtButtonSurface(QWidget* widget) : widget_(widget), font_(platform::DialogFont()) {}

double QtButtonSurface::TwipsPerPixelX() const {
  return platform::kTwipsPerInch / static_cast<double>(platform::TwipsToPixelsX(platform::kTwipsPerInch));
}
double QtButtonSurface::TwipsPerPixelY() const {
  return platform::kTwipsPerInch / static_cast<double>(platform::TwipsToPixelsY(platform::kTwipsPerInch));
}

void QtButtonSurface::Begin(QPainter* painter) {
  painter_ = painter;
  painter_->setRenderHint(QPainter::Antialiasing, true);
  painter_->setRenderHint(QPainter::TextAntialiasing, true);
  // From here on the painter takes twips.
  painter_->scale(1.0 / TwipsPerPixelX(), 1.0 / TwipsPerPixelY());
}

double QtButtonSurface::Width() const { return widget_->width() * TwipsPerPixelX(); }
double QtButtonSurface::Height() const { return widget_->height() * TwipsPerPixelY(); }

void QtButtonSurface::Clear() {
  if (painter_ == nullptr) return;
  painter_->fillRect(QRectF(0, 0, Width(), Height()), platform::ColorOf(backColor_));
}

void QtButtonSurface::Ellipse(double cx, double cy, double r, double aspect) {
  if (painter_ == nullptr) return;
  const SemiAxes axes = SemiAxesOf(r, aspect);
  QPen pen(platform::ColorOf(foreColor_));
  pen.setWidthF(penWidth_);
  pen.setCosmetic(true);  // the width is in pixels
  painter_->setPen(pen);
  painter_->setBrush(fillSolid_ ? QBrush(platform::ColorOf(fillColor_)) : QBrush(Qt::NoBrush));
  painter_->drawEllipse(QPointF(cx, cy), axes.horizontal, axes.vertical);
}

void QtButtonSurface::Arc(double cx, double cy, double r, double start, double end, double aspect) {
  if (painter_ == nullptr) return;
  const SemiAxes axes = SemiAxesOf(r, aspect);
  QPen pen(platform::ColorOf(foreColor_));
  pen.setWidthF(penWidth_);
  pen.setCosmetic(true);
  painter_->setPen(pen);
  painter_->setBrush(Qt::NoBrush);
  // Counter-clockwise from start to end, going once round at most.
  double span = std::fmod(end - start, 2 * std::numbers::pi);
  if (span < 0) span += 2 * std::numbers::pi;
  const QRectF box(cx - axes.horizontal, cy - axes.vertical, 2 * axes.horizontal, 2 * axes.vertical);
  painter_->drawArc(box, Sixteenths(start), Sixteenths(span));
}

double QtButtonSurface::TextWidth(const QString& text) const {
  return QFontMetricsF(font_, widget_).horizontalAdvance(text) * TwipsPerPixelX();
}

double QtButtonSurface::TextHeight(const QString& /*text*/) const {
  return QFontMetricsF(font_, widget_).height() * TwipsPerPixelY();
}

void QtButtonSurface::Print(double x, double y, const QString& text) {
  if (painter_ == nullptr) return;
  // Text is laid out in pixels so that the font keeps its size.
  painter_->save();
  painter_->resetTransform();
  const QFontMetricsF metrics(font_, widget_);
  const QPointF topLeft(x / TwipsPerPixelX(), y / TwipsPerPixelY());
  painter_->setFont(font_);
  painter_->setPen(platform::ColorOf(foreColor_));
  if (!transparentText_) {
    painter_->fillRect(QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height())),
                       platform::ColorOf(backColor_));
  }
  painter_->drawText(topLeft + QPointF(0, metrics.ascent()), text);
  painter_->restore();
}

void QtButtonSurface::SetControlEnabled(bool on) {
  controlEnabled_ = on;
  widget_->setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void QtButtonSurface::Repaint() {
  if (painter_ == nullptr) widget_->repaint();
}

}  // namespace typeloom::controls
