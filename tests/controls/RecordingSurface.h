#pragma once
// A button surface that records what is drawn on it, as numbers.
#include "controls/ButtonSurface.h"

#include <functional>
#include <vector>

namespace typeloom::controls::test {

struct Drawn {
  enum Kind { Clear, Ellipse, Arc, Print } kind;
  double cx = 0, cy = 0, r = 0, start = 0, end = 0, aspect = 0;
  std::uint32_t pen = 0;
  std::uint32_t fill = 0;
  bool fillSolid = false;
  std::uint32_t back = 0;
  double x = 0, y = 0;
  QString text = {};
  bool bold = false;
  bool transparent = false;
};

class RecordingSurface : public ButtonSurface {
 public:
  RecordingSurface(double width, double height) : width_(width), height_(height) {}

  // Text is measured as charWidth twips a character and textHeight twips high.
  double charWidth = 60;
  double textHeight = 195;
  std::vector<Drawn> drawn;
  int repaints = 0;
  // Runs on Repaint (a test points it at the button's Paint).
  std::function<void()> onRepaint;

  double Width() const override { return width_; }
  double Height() const override { return height_; }
  std::uint32_t BackColor() const override { return back_; }
  void SetBackColor(std::uint32_t c) override { back_ = c; }
  void Clear() override { drawn.push_back({.kind = Drawn::Clear, .back = back_}); }
  std::uint32_t ForeColor() const override { return pen_; }
  void SetForeColor(std::uint32_t c) override { pen_ = c; }
  void SetPenSolid() override {}
  void SetPenWidth(int w) override { penWidth = w; }
  void SetFillColor(std::uint32_t c) override { fill_ = c; }
  void SetFillSolid(bool s) override { fillSolid_ = s; }
  void Ellipse(double cx, double cy, double r, double aspect) override {
    drawn.push_back({.kind = Drawn::Ellipse, .cx = cx, .cy = cy, .r = r, .aspect = aspect, .pen = pen_,
                     .fill = fill_, .fillSolid = fillSolid_});
  }
  void Arc(double cx, double cy, double r, double start, double end, double aspect) override {
    drawn.push_back({.kind = Drawn::Arc, .cx = cx, .cy = cy, .r = r, .start = start, .end = end,
                     .aspect = aspect, .pen = pen_});
  }
  double TextWidth(const QString& text) const override { return charWidth * text.size(); }
  double TextHeight(const QString&) const override { return textHeight; }
  void SetTransparentText(bool on) override { transparent_ = on; }
  void SetBold(bool on) override { bold_ = on; }
  void Print(double x, double y, const QString& text) override {
    drawn.push_back({.kind = Drawn::Print, .pen = pen_, .x = x, .y = y, .text = text, .bold = bold_,
                     .transparent = transparent_});
  }
  bool ControlEnabled() const override { return enabled_; }
  void SetControlEnabled(bool on) override { enabled_ = on; }
  void Repaint() override {
    ++repaints;
    if (onRepaint) onRepaint();
  }

  bool Bold() const { return bold_; }
  bool Transparent() const { return transparent_; }
  int penWidth = 0;

  std::vector<Drawn> Of(Drawn::Kind kind) const {
    std::vector<Drawn> out;
    for (const Drawn& d : drawn) {
      if (d.kind == kind) out.push_back(d);
    }
    return out;
  }

 private:
  double width_, height_;
  std::uint32_t back_ = 0x8000000Fu;
  std::uint32_t pen_ = 0;
  std::uint32_t fill_ = 0;
  bool fillSolid_ = false;
  bool transparent_ = false;
  bool bold_ = false;
  bool enabled_ = true;
};

}  // namespace typeloom::controls::test
