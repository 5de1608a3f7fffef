#pragma once
// Round push button: an ellipse with a three-ring bevel and a bold caption in the
// middle. It raises Click on a click or on Enter while it has the focus, and draws
// itself pressed from mouse down to mouse up.
#include "controls/ButtonSurface.h"
#include "controls/PropertyStore.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace typeloom::controls {

class Button {
 public:
  static constexpr std::uint32_t kDefaultBackColor = 0x8000000Fu;  // button face
  static constexpr std::uint32_t kDefaultForeColor = 0x80000012u;  // button text
  static constexpr std::uint32_t kLightColor = 0x80000016u;        // 3-D light
  static constexpr double kLowerRightStart = 3.927;
  static constexpr double kLowerRightEnd = 0.785;

  using MouseHandler = std::function<void(int& button, int& shift, float& x, float& y)>;

  // A new button on surface; host is the window's property store that the setters
  // mark (may be null).
  explicit Button(ButtonSurface& surface, PropertyStore* host = nullptr);

  // Properties.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  std::uint32_t ForeColor() const { return surface_.ForeColor(); }
  void SetForeColor(std::uint32_t color);
  std::uint32_t BackColor() const { return backColor_; }
  void SetBackColor(std::uint32_t color);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  bool Pressed() const { return pressed_; }
  bool HasFocus() const { return hasFocus_; }
  int FaceWidth() const { return faceWidth_; }
  int FaceHeight() const { return faceHeight_; }

  // Events.
  std::function<void()> Click;
  MouseHandler MouseDown;
  MouseHandler MouseMove;
  MouseHandler MouseUp;

  // Saved properties.
  void ReadProperties(const PropertyStore& store);
  void WriteProperties(PropertyStore& store) const;

  // Input.
  void FocusGained() { hasFocus_ = true; }
  void FocusLost() { hasFocus_ = false; }
  void SurfaceClicked();
  void KeyDown(int keyCode, int shift);
  void MouseDownOn(int button, int shift, float x, float y);
  void MouseMoveOn(int button, int shift, float x, float y);
  void MouseUpOn(int button, int shift, float x, float y);

  void Paint();

 private:
  void Mark(const char* key);

  ButtonSurface& surface_;
  PropertyStore* host_;
  QString caption_ = QStringLiteral("Button");
  bool enabled_ = true;
  std::uint32_t backColor_ = kDefaultBackColor;
  bool pressed_ = false;
  bool hasFocus_ = false;
  int faceWidth_ = 0;
  int faceHeight_ = 0;
};

}  // namespace typeloom::controls
