#pragma once
// Modal message boxes, answerable by tests.
#include <QString>

class QWidget;

namespace typeloom::platform {

namespace mb {
// Button and icon styles and answers, numbered as the program's callers expect.
inline constexpr int kOkOnly = 0;
inline constexpr int kOkCancel = 1;
inline constexpr int kYesNoCancel = 3;
inline constexpr int kYesNo = 4;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;

inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace mb

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual int Show(QWidget* parent, const QString& text, int style, const QString& title) = 0;
};

}  // namespace typeloom::platform
