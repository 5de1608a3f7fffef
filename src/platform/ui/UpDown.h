#pragma once
// An up-down spinner: two arrow buttons stacked, a Value between Min and Max.
// A click on an arrow steps Value by one (it stays at the end it has reached)
// and then raises that arrow's own click signal.
#include <QWidget>

class QToolButton;

namespace typeloom::platform {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  explicit UpDown(QWidget* parent = nullptr);

  int Value() const { return value_; }
  void SetValue(int value) { value_ = value; }
  int Min() const { return min_; }
  void SetMin(int min) { min_ = min; }
  int Max() const { return max_; }
  void SetMax(int max) { max_ = max; }

  QToolButton* UpArrow() const { return up_; }
  QToolButton* DownArrow() const { return down_; }

 signals:
  void UpClick();
  void DownClick();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* up_;
  QToolButton* down_;
  int value_ = 0;
  int min_ = 0;
  int max_ = 10;
};

}  // namespace typeloom::platform
