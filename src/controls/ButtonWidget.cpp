#include "controls/ButtonWidget.h"

#include "platform/ui/WindowServices.h"

#include <QMouseEvent>
#include <QPainter>

namespace typeloom::controls {
namespace {

// Mouse buttons as 1 left, 2 right, 4 middle.
int ButtonCodeOf(Qt::MouseButtons buttons) {
  int code = 0;
  if (buttons.testFlag(Qt::LeftButton)) code |= 1;
  if (buttons.testFlag(Qt::RightButton)) code |= 2;
  if (buttons.testFlag(Qt::MiddleButton)) code |= 4;
  return code;
}

int ShiftOf(Qt::KeyboardModifiers m) {
  return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0) |
         (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

}  // namespace

ButtonWidget::ButtonWidget(QWidget* parent, PropertyStore* host)
    : QWidget(parent), surface_(this), button_(surface_, host) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ButtonWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  surface_.Begin(&painter);
  button_.Paint();
  surface_.End();
}

void ButtonWidget::mousePressEvent(QMouseEvent* event) {
  button_.MouseDownOn(ButtonCodeOf(event->button()), ShiftOf(event->modifiers()),
                      static_cast<float>(event->position().x() * surface_.TwipsPerPixelX()),
                      static_cast<float>(event->position().y() * surface_.TwipsPerPixelY()));
}

void ButtonWidget::mouseMoveEvent(QMouseEvent* event) {
  button_.MouseMoveOn(ButtonCodeOf(event->buttons()), ShiftOf(event->modifiers()),
                      static_cast<float>(event->position().x() * surface_.TwipsPerPixelX()),
                      static_cast<float>(event->position().y() * surface_.TwipsPerPixelY()));
}

void ButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
  button_.MouseUpOn(ButtonCodeOf(event->button()), ShiftOf(event->modifiers()),
                    static_cast<float>(event->position().x() * surface_.TwipsPerPixelX()),
                    static_cast<float>(event->position().y() * surface_.TwipsPerPixelY()));
  // A click is a left press released over the button.
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) button_.SurfaceClicked();
}

void ButtonWidget::keyPressEvent(QKeyEvent* event) {
  if (!surface_.ControlEnabled()) return;
  button_.KeyDown(platform::KeyCodeOf(*event), platform::ShiftStateOf(*event));
}

void ButtonWidget::focusInEvent(QFocusEvent* /*event*/) { button_.FocusGained(); }
void ButtonWidget::focusOutEvent(QFocusEvent* /*event*/) { button_.FocusLost(); }

}  // namespace typeloom::controls
