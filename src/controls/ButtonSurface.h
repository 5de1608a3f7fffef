#pragma once
// What the round button draws on: its client area in twips, with a pen, a fill, an
// ellipse-or-arc operation and bold, transparent text. Colours are 32-bit colour
// values (system colours with the high bit set).
#include <QString>

#include <cstdint>

namespace typeloom::controls {

class ButtonSurface {
 public:
  virtual ~ButtonSurface() = default;

  virtual double Width() const = 0;
  virtual double Height() const = 0;

  virtual std::uint32_t BackColor() const = 0;
  virtual void SetBackColor(std::uint32_t color) = 0;
  // Fills the whole area with the background colour.
  virtual void Clear() = 0;

  // Pen ("foreground") colour, also the colour of printed text.
  virtual std::uint32_t ForeColor() const = 0;
  virtual void SetForeColor(std::uint32_t color) = 0;
  virtual void SetPenSolid() = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetFillColor(std::uint32_t color) = 0;
  virtual void SetFillSolid(bool solid) = 0;

  // The whole ellipse outlined with the pen and filled with the fill colour.
  // r is the horizontal semi-axis when aspect (height over width) is below 1, the
  // vertical one otherwise.
  virtual void Ellipse(double cx, double cy, double r, double aspect) = 0;
  // The outline from start to end (radians), counter-clockwise, 0 pointing right
  // and angles growing towards the top.
  virtual void Arc(double cx, double cy, double r, double start, double end, double aspect) = 0;

  virtual double TextWidth(const QString& text) const = 0;
  virtual double TextHeight(const QString& text) const = 0;
  virtual void SetTransparentText(bool on) = 0;
  virtual void SetBold(bool on) = 0;
  // Prints text with its top-left corner at (x, y).
  virtual void Print(double x, double y, const QString& text) = 0;

  // The control's own enabled state: whether it takes focus and keys at all.
  virtual bool ControlEnabled() const = 0;
  virtual void SetControlEnabled(bool on) = 0;

  // Paints the control again now.
  virtual void Repaint() = 0;
};

// The two semi-axes of the ellipse-or-arc operation.
struct SemiAxes {
  double horizontal;
  double vertical;
};
inline SemiAxes SemiAxesOf(double r, double aspect) {
  if (aspect < 1.0) return {r, r * aspect};
  return {r / aspect, r};
}

}  // namespace typeloom::controls
