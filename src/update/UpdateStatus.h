#pragma once
// The small window shown while the installer downloads.
#include <QWidget>

class QLabel;

namespace typeloom::update {

class UpdateStatus : public QWidget {
  Q_OBJECT
 public:
  explicit UpdateStatus(QWidget* owner = nullptr);
  QLabel* Label1 = nullptr;
};

}  // namespace typeloom::update
