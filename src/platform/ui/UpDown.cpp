#include "platform/ui/UpDown.h"

#include <QToolButton>

namespace typeloom::platform {

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* arrow : {up_, down_}) {
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setAutoRepeat(true);
  }
  connect(up_, &QToolButton::clicked, this, [this] {
    if (value_ < max_) ++value_;
    emit UpClick();
  });
  connect(down_, &QToolButton::clicked, this, [this] {
    if (value_ > min_) --value_;
    emit DownClick();
  });
}

void UpDown::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace typeloom::platform
