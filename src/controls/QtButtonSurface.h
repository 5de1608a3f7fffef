#pragma once
// The button's surface on a widget: twips turned into pixels through the screen's
// logical DPI, drawn antialiased with the painter of the current paint event.
#include "controls/ButtonSurface.h"

#include <QFont>

class QPainter;
class QWidget;

namespace typeloom::controls {

class QtButtonSurface : public ButtonSurface {
 public:
  explicit QtButtonSurface(QWidget* widget);

  // Drawing goes to painter until End(); outside a paint event drawing does nothing.
  void Begin(QPainter* painter);
  void End() { painter_ = nullptr; }

  double Width() const override;
  double Height() const override;
  std::uint32_t BackColor() const override { return backColor_; }
  void SetBackColor(std::uint32_t color) override { backColor_ = color; }
  void Clear() override;
  std::uint32_t ForeColor() const override { return foreColor_; }
  void SetForeColor(std::uint32_t color) override { foreColor_ = color; }
  void SetPenSolid() override {}
  void SetPenWidth(int width) override { penWidth_ = width; }
  void SetFillColor(std::uint32_t color) override { fillColor_ = color; }
  void SetFillSolid(bool solid) override { fillSolid_ = solid; }
  void Ellipse(double cx, double cy, double r, double aspect) override;
  void Arc(double cx, double cy, double r, double start, double end, double aspect) override;
  double TextWidth(const QString& text) const override;
  double TextHeight(const QString& text) const override;
  void SetTransparentText(bool on) override { transparentText_ = on; }
  void SetBold(bool on) override { font_.setBold(on); }
  void Print(double x, double y, const QString& text) override;
  bool ControlEnabled() const override { return controlEnabled_; }
  void SetControlEnabled(bool on) override;
  void Repaint() override;

  // Twips per pixel in each direction.
  double TwipsPerPixelX() const;
  double TwipsPerPixelY() const;

 private:
  QWidget* widget_;
  QPainter* painter_ = nullptr;
  QFont font_;
  std::uint32_t backColor_ = 0x8000000Fu;
  std::uint32_t foreColor_ = 0x80000012u;
  std::uint32_t fillColor_ = 0;
  bool fillSolid_ = false;
  int penWidth_ = 1;
  bool transparentText_ = false;
  bool controlEnabled_ = true;
};

}  // namespace typeloom::controls
