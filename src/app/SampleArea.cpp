#include "app/SampleArea.h"

#include "app/SampleDrawing.h"

#include <QPainter>

namespace typeloom::app {

SampleArea::SampleArea(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  // Window-background colour behind window-text colour.
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Base));
  colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
  setPalette(colours);
}

void SampleArea::Clear() {
  text_.clear();
  update();
}

void SampleArea::DrawLine(const QFont& font, const QString& text) {
  font_ = font;
  text_ = text;
  update();
}

void SampleArea::paintEvent(QPaintEvent* /*event*/) {
  if (text_.isEmpty()) return;
  QPainter painter(this);
  DrawSampleLine(painter, font_, text_, palette().color(QPalette::WindowText));
}

}  // namespace typeloom::app
