#pragma once
// The round push button as a widget: it feeds its input to Button and paints it.
#include "controls/Button.h"
#include "controls/QtButtonSurface.h"

#include <QWidget>

namespace typeloom::controls {

class ButtonWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ButtonWidget(QWidget* parent = nullptr, PropertyStore* host = nullptr);

  Button& button() { return button_; }
  const Button& button() const { return button_; }
  QtButtonSurface& surface() { return surface_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QtButtonSurface surface_;
  Button button_;
};

}  // namespace typeloom::controls
