#include "controls/Button.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace typeloom::controls {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;
constexpr std::uint32_t kLightGrey = 0xC0C0C0;

// Rounds to the nearest integer, a tie to the even one, clamped to 16 bits.
int RoundEven16(double v) {
  const double r = std::nearbyint(std::clamp(v, -32768.0, 32767.0));
  return static_cast<int>(r);
}

}  // namespace

Button::Button(ButtonSurface& surface, PropertyStore* host) : surface_(surface), host_(host) {
  surface_.SetForeColor(kDefaultForeColor);
}

void Button::Mark(const char* key) {
  if (host_ != nullptr) host_->MarkChanged(QString::fromLatin1(key));
}

void Button::SetEnabled(bool on) {
  enabled_ = on;
  surface_.Repaint();
  Mark("Enabled");
}

void Button::SetForeColor(std::uint32_t color) {
  surface_.SetForeColor(color);
  surface_.Repaint();
  Mark("ForeColor");
}

void Button::SetBackColor(std::uint32_t color) {
  backColor_ = color;
  surface_.Repaint();
  Mark("BackColor");
}

void Button::SetCaption(const QString& caption) {
  caption_ = caption;
  surface_.Repaint();
  Mark("Caption");
}

void Button::ReadProperties(const PropertyStore& store) {
  caption_ = store.Read("Caption", QStringLiteral("Button")).toString();
  enabled_ = store.Read("Enabled", true).toBool();
  surface_.SetControlEnabled(enabled_);
  backColor_ = store.Read("BackColor", kDefaultBackColor).toUInt();
  surface_.SetBackColor(kDefaultBackColor);
  surface_.SetForeColor(store.Read("ForeColor", kDefaultForeColor).toUInt());
}

void Button::WriteProperties(PropertyStore& store) const {
  store.Write("Caption", caption_);
  store.Write("Enabled", enabled_);
  store.Write("BackColor", backColor_);
  store.Write("ForeColor", surface_.ForeColor());
}

void Button::SurfaceClicked() {
  if (enabled_ && Click) Click();
}

void Button::KeyDown(int keyCode, int /*shift*/) {
  if (keyCode == 13 && hasFocus_ && Click) Click();
}

void Button::MouseDownOn(int button, int shift, float x, float y) {
  if (!enabled_) return;
  pressed_ = true;
  surface_.Repaint();
  if (MouseDown) MouseDown(button, shift, x, y);
}

void Button::MouseMoveOn(int button, int shift, float x, float y) {
  if (MouseMove) MouseMove(button, shift, x, y);
}

void Button::MouseUpOn(int button, int shift, float x, float y) {
  if (!enabled_) return;
  pressed_ = false;
  surface_.Repaint();
  if (MouseUp) MouseUp(button, shift, x, y);
}

void Button::Paint() {
  const std::uint32_t foreColor = surface_.ForeColor();
  faceHeight_ = RoundEven16(surface_.Height() - 10);
  faceWidth_ = RoundEven16(surface_.Width() - 10);

  surface_.Clear();
  surface_.SetPenSolid();
  surface_.SetPenWidth(1);
  surface_.SetFillColor(backColor_);
  surface_.SetFillSolid(true);
  surface_.SetForeColor(kDefaultBackColor);

  // A face of zero width has no aspect: nothing round to draw, only the caption.
  if (faceWidth_ > 0 && faceHeight_ > 0) {
    const double r = RoundEven16(std::max(faceHeight_, faceWidth_) / 2.0);
    const double cx = faceWidth_ / 2.0;
    const double cy = faceHeight_ / 2.0;
    const double aspect = static_cast<double>(faceHeight_) / faceWidth_;
    surface_.Ellipse(cx, cy, r, aspect);

    struct Ring {
      double radius;
      bool lowerRight;
      std::uint32_t raised;
      std::uint32_t pressed;
    };
    const Ring rings[] = {
        {r, true, kBlack, kWhite},           {r - 15, true, kGrey, kWhite},
        {r - 30, true, kLightGrey, kWhite},  {r, false, kWhite, kBlack},
        {r - 15, false, kLightColor, kBlack}, {r - 30, false, kLightColor, kBlack},
    };
    for (const Ring& ring : rings) {
      surface_.SetForeColor(pressed_ ? ring.pressed : ring.raised);
      if (ring.lowerRight) surface_.Arc(cx, cy, ring.radius, kLowerRightStart, kLowerRightEnd, aspect);
      else surface_.Arc(cx, cy, ring.radius, kLowerRightEnd, kLowerRightStart, aspect);
    }
  }

  double x = (surface_.Width() - surface_.TextWidth(caption_)) / 2;
  if (x < 5) x = 5;
  double y = (surface_.Height() - surface_.TextHeight(caption_)) / 2;
  if (y < 5) y = 5;
  surface_.SetForeColor(surface_.ControlEnabled() ? foreColor : kGrey);
  surface_.SetTransparentText(true);
  surface_.SetBold(true);
  surface_.Print(x, y, caption_);

  surface_.SetForeColor(foreColor);
  surface_.SetTransparentText(false);
  surface_.SetBold(false);
}

}  // namespace typeloom::controls
