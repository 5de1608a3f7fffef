#pragma once
// Window services the forms rely on: geometry in twips and key preview with the
// program's key codes and shift state.
#include <QFont>
#include <QObject>
#include <QRect>

#include <functional>

class QKeyEvent;
class QWidget;

namespace typeloom::platform {

inline constexpr int kTwipsPerInch = 1440;

// Twips to device-independent pixels with the primary screen's logical DPI.
int TwipsToPixelsX(int twips);
int TwipsToPixelsY(int twips);
int PixelsToTwipsX(int pixels);
int PixelsToTwipsY(int pixels);
QRect TwipsRect(int left, int top, int width, int height);

// The small sans-serif face of dialogs and labels, 8 points: a face with the
// narrow metrics that the design places were made for where one is installed.
QFont DialogFont();

// Key codes as the forms expect them: A-Z 65-90, 0-9 48-57, F1-F24 112-135,
// Escape 27, Enter 13, and so on; 0 for keys without a code. A letter or digit key
// of a layout without Latin letters (Russian, Greek) gets the code of the Latin
// key at its place on a US keyboard, found from its hardware key code.
int KeyCodeOf(const QKeyEvent& event);
// The code of the US keyboard's letter or digit at an xkb key code (the evdev code
// plus 8, as X11 and Wayland report keys); 0 for any other key.
int LatinKeyCodeAt(quint32 xkbKeycode);
// Shift state: 1 Shift, 2 Ctrl, 4 Alt, added together.
int ShiftStateOf(const QKeyEvent& event);
// The Qt key for a key code, for delivering a key to a window (0 when unknown).
int QtKeyOf(int keyCode);

// Lets a window see every key press before the control that has the focus does.
// The handler receives the key code and shift state; setting the code to 0
// swallows the key, otherwise the focused control gets it as well.
class KeyPreview : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<void(int& keyCode, int shift)>;
  KeyPreview(QWidget* window, Handler handler);
  ~KeyPreview() override;

  // Delivers a key press to the window as the keyboard would, through the preview.
  static void SendKey(QWidget* window, int keyCode, int shift = 0);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
  Handler handler_;
};

}  // namespace typeloom::platform
