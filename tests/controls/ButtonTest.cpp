#include "controls/Button.h"
#include "controls/ButtonWidget.h"

#include "RecordingSurface.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/WindowServices.h"
#include "support/TestLabel.h"

#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <array>

namespace typeloom::controls {
namespace {

using test::Drawn;
using test::RecordingSurface;

constexpr std::uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0x808080, kLightGrey = 0xC0C0C0;
constexpr std::uint32_t kLight = 0x80000016;

struct GeometryCase {
  const char* name;
  double width, height;
  QString caption;
  bool pressed;
  int faceWidth, faceHeight;
  double r, horizontal, vertical;
  std::array<double, 3> radii;
  std::array<std::uint32_t, 6> pens;
  double captionX, captionY;
};

class ButtonGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ButtonGeometry, PaintsTheFaceTheBevelAndTheCaption) {
  const GeometryCase& c = GetParam();
  RecordingSurface surface(c.width, c.height);
  Button button(surface);
  button.SetCaption(c.caption);
  button.SetBackColor(0xFF00FF);
  if (c.pressed) button.MouseDownOn(1, 0, 10, 10);
  surface.drawn.clear();
  button.Paint();

  EXPECT_EQ(button.FaceWidth(), c.faceWidth);
  EXPECT_EQ(button.FaceHeight(), c.faceHeight);
  ASSERT_EQ(surface.drawn.front().kind, Drawn::Clear);
  EXPECT_EQ(surface.penWidth, 1);

  const auto ellipses = surface.Of(Drawn::Ellipse);
  ASSERT_EQ(ellipses.size(), 1u);
  const Drawn& e = ellipses[0];
  EXPECT_DOUBLE_EQ(e.cx, c.faceWidth / 2.0);
  EXPECT_DOUBLE_EQ(e.cy, c.faceHeight / 2.0);
  EXPECT_DOUBLE_EQ(e.r, c.r);
  EXPECT_EQ(e.pen, 0x8000000Fu);
  EXPECT_EQ(e.fill, 0xFF00FFu);
  EXPECT_TRUE(e.fillSolid);
  const SemiAxes axes = SemiAxesOf(e.r, e.aspect);
  EXPECT_NEAR(axes.horizontal, c.horizontal, 1e-9);
  EXPECT_NEAR(axes.vertical, c.vertical, 1e-9);

  const auto arcs = surface.Of(Drawn::Arc);
  ASSERT_EQ(arcs.size(), 6u);
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(arcs[i].r, c.radii[i % 3]);
    EXPECT_EQ(arcs[i].pen, c.pens[i]);
    EXPECT_DOUBLE_EQ(arcs[i].aspect, e.aspect);
    EXPECT_DOUBLE_EQ(arcs[i].cx, e.cx);
    // Lower-right first, then upper-left; exactly these numbers.
    EXPECT_EQ(arcs[i].start, i < 3 ? 3.927 : 0.785);
    EXPECT_EQ(arcs[i].end, i < 3 ? 0.785 : 3.927);
  }

  const auto prints = surface.Of(Drawn::Print);
  ASSERT_EQ(prints.size(), 1u);
  EXPECT_EQ(prints[0].text, c.caption);
  EXPECT_DOUBLE_EQ(prints[0].x, c.captionX);
  EXPECT_DOUBLE_EQ(prints[0].y, c.captionY);
  EXPECT_TRUE(prints[0].bold);
  EXPECT_TRUE(prints[0].transparent);
  EXPECT_EQ(prints[0].pen, 0x80000012u);
  // Restored afterwards.
  EXPECT_EQ(surface.ForeColor(), 0x80000012u);
  EXPECT_FALSE(surface.Bold());
  EXPECT_FALSE(surface.Transparent());
}

constexpr std::array<std::uint32_t, 6> kRaised{kBlack, kGrey, kLightGrey, kWhite, kLight, kLight};
constexpr std::array<std::uint32_t, 6> kPressed{kWhite, kWhite, kWhite, kBlack, kBlack, kBlack};

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonGeometry,
    ::testing::Values(
        // 122.5 rounds to the even 122.
        GeometryCase{"Help255Raised", 255, 255, "?", false, 245, 245, 122, 122, 122, {122, 107, 92}, kRaised, 97.5, 30},
        GeometryCase{"Help255Pressed", 255, 255, "?", true, 245, 245, 122, 122, 122, {122, 107, 92}, kPressed, 97.5, 30},
        // 123.5 rounds to the even 124.
        GeometryCase{"Odd257", 257, 257, "?", false, 247, 247, 124, 124, 124, {124, 109, 94}, kRaised, 98.5, 31},
        GeometryCase{"Wide1000x500", 1000, 500, "OK", false, 990, 490, 495, 495, 245, {495, 480, 465}, kRaised, 440,
                     152.5},
        GeometryCase{"Tall500x1000", 500, 1000, "OK", false, 490, 990, 495, 245, 495, {495, 480, 465}, kRaised, 190,
                     402.5},
        // Wider and taller than the surface: the caption starts at (5, 5).
        GeometryCase{"CaptionWiderThanSurface", 255, 150, "Caption", false, 245, 140, 122, 122, 122 * 140.0 / 245,
                     {122, 107, 92}, kRaised, 5, 5}),
    [](const auto& info) { return std::string(info.param.name); });

// Paints on every repaint request, as the widget does.
struct Harness {
  explicit Harness(double w = 255, double h = 255) : surface(w, h), button(surface, &store) {
    surface.onRepaint = [this] { button.Paint(); };
  }
  PropertyStore store;
  RecordingSurface surface;
  Button button;
};

TEST(Button, EnterWithFocusClicksAndNoOtherKeyDoes) {
  Harness h;
  int clicks = 0;
  h.button.Click = [&] { ++clicks; };
  h.button.KeyDown(13, 0);
  EXPECT_EQ(clicks, 0) << "no focus";
  h.button.FocusGained();
  h.surface.drawn.clear();
  h.button.KeyDown(32, 0);
  EXPECT_EQ(clicks, 0) << "Space does nothing";
  h.button.KeyDown(13, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(h.surface.drawn.empty()) << "focus and keys draw nothing";
  h.button.FocusLost();
  h.button.KeyDown(13, 0);
  EXPECT_EQ(clicks, 1);
}

TEST(Button, PressedLookFromMouseDownToMouseUpThenEvents) {
  Harness h;
  std::vector<std::string> trace;
  h.button.MouseDown = [&](int& b, int& s, float& x, float& y) {
    trace.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " + std::to_string(int(x)) + " " +
                    std::to_string(int(y)) + (h.surface.Of(Drawn::Arc).at(0).pen == kWhite ? " pressed" : " raised"));
  };
  h.button.MouseUp = [&](int&, int&, float&, float&) {
    trace.push_back(h.surface.Of(Drawn::Arc).back().pen == kLight ? "up raised" : "up pressed");
  };
  h.button.MouseMove = [&](int&, int&, float&, float&) { trace.push_back("move"); };
  h.button.Click = [&] { trace.push_back("click"); };
  h.button.MouseDownOn(1, 2, 30, 40);
  EXPECT_TRUE(h.button.Pressed());
  h.surface.drawn.clear();
  h.button.MouseMoveOn(1, 0, 500, 500);  // outside: still pressed
  EXPECT_TRUE(h.button.Pressed());
  h.button.MouseUpOn(1, 0, 30, 40);
  h.button.SurfaceClicked();
  EXPECT_FALSE(h.button.Pressed());
  EXPECT_EQ(trace, (std::vector<std::string>{"down 1 2 30 40 pressed", "move", "up raised", "click"}));
}

TEST(Button, LoadedDisabledIgnoresPressesButReportsMovesAndGreysItsCaption) {
  Harness h;
  h.button.ReadProperties(PropertyStore{{"Enabled", false}});
  int downs = 0, ups = 0, moves = 0, clicks = 0;
  h.button.MouseDown = [&](int&, int&, float&, float&) { ++downs; };
  h.button.MouseUp = [&](int&, int&, float&, float&) { ++ups; };
  h.button.MouseMove = [&](int&, int&, float&, float&) { ++moves; };
  h.button.Click = [&] { ++clicks; };
  h.button.MouseDownOn(1, 0, 1, 1);
  EXPECT_FALSE(h.button.Pressed());
  h.button.MouseMoveOn(0, 0, 1, 1);
  h.button.MouseUpOn(1, 0, 1, 1);
  h.button.SurfaceClicked();
  EXPECT_EQ(h.surface.repaints, 0);
  EXPECT_EQ((std::array{downs, ups, moves, clicks}), (std::array{0, 0, 1, 0}));
  EXPECT_FALSE(h.surface.ControlEnabled());
  h.button.Paint();
  EXPECT_EQ(h.surface.Of(Drawn::Print).at(0).pen, kGrey);
  EXPECT_EQ(h.surface.ForeColor(), 0x80000012u) << "restored to ForeColor";
}

TEST(Button, SettersRepaintAndMarkTheirProperty) {
  Harness h;
  struct Setter {
    const char* key;
    std::function<void(Button&)> set;
  };
  const Setter setters[] = {
      {"Enabled", [](Button& b) { b.SetEnabled(false); }},
      {"ForeColor", [](Button& b) { b.SetForeColor(0x0000FF); }},
      {"BackColor", [](Button& b) { b.SetBackColor(0x00FF00); }},
      {"Caption", [](Button& b) { b.SetCaption("x"); }},
  };
  for (const Setter& s : setters) {
    const int before = h.surface.repaints;
    s.set(h.button);
    EXPECT_EQ(h.surface.repaints, before + 1) << s.key;
    EXPECT_TRUE(h.store.IsChanged(s.key)) << s.key;
  }
  EXPECT_EQ(h.store.ChangedKeys(), (QStringList{"Enabled", "ForeColor", "BackColor", "Caption"}));
  EXPECT_EQ(h.button.ForeColor(), 0x0000FFu);
  // Run-time Enabled leaves the control's own enabled state alone.
  EXPECT_TRUE(h.surface.ControlEnabled());
}

TEST(Button, NewButtonHasTheInitialValues) {
  Harness h;
  EXPECT_EQ(h.button.Caption(), "Button");
  EXPECT_TRUE(h.button.Enabled());
  EXPECT_EQ(h.button.BackColor(), 0x8000000Fu);
  EXPECT_EQ(h.button.ForeColor(), 0x80000012u);
  EXPECT_FALSE(h.button.HasFocus());
}

TEST(Button, SavedLayoutLoadsIntoANewButtonAlike) {
  Harness original;
  original.button.ReadProperties(PropertyStore{{"caption", "?"}, {"BACKCOLOR", 0xFF00FFu}});
  original.button.SetForeColor(0x123456);
  PropertyStore saved;
  original.button.WriteProperties(saved);
  EXPECT_EQ(saved.Keys(), (QStringList{"Caption", "Enabled", "BackColor", "ForeColor"}));

  Harness copy;
  copy.surface.SetBackColor(0x00FF00);
  copy.button.ReadProperties(saved);
  EXPECT_EQ(copy.button.Caption(), "?");
  EXPECT_TRUE(copy.button.Enabled());
  EXPECT_EQ(copy.button.BackColor(), 0xFF00FFu);
  EXPECT_EQ(copy.button.ForeColor(), 0x123456u);
  // Outside the ellipse stays button face whatever BackColor was saved.
  EXPECT_EQ(copy.surface.BackColor(), 0x8000000Fu);
  PropertyStore again;
  copy.button.WriteProperties(again);
  for (const QString& key : saved.Keys()) EXPECT_EQ(again.Read(key, {}), saved.Read(key, {})) << key.toStdString();
  EXPECT_TRUE(copy.store.ChangedKeys().isEmpty()) << "loading marks nothing";
}

// The widget on a real painter: the face is drawn in BackColor, the corners in
// button face, and the bevel is dark at the lower right and light at the upper left.
TEST(ButtonWidget, DrawsTheRoundFaceWithTheBevelTheRightWayRound) {
  ButtonWidget widget;
  widget.button().ReadProperties(PropertyStore{{"Caption", ""}, {"BackColor", 0xFF00FFu}});
  const int side = platform::TwipsToPixelsX(1500);
  widget.resize(side, side);
  const QImage raised = widget.grab().toImage();
  const QColor face = platform::ColorOf(0x8000000F);
  const int mid = (side * 1490 / 1500) / 2;
  EXPECT_EQ(raised.pixelColor(mid, mid), QColor(255, 0, 255));
  EXPECT_EQ(raised.pixelColor(1, side - 2), face);
  EXPECT_EQ(raised.pixelColor(side - 2, 1), face);
  // Mean lightness of the three rings on the diagonal at angle.
  auto rings = [&](const QImage& img, double angle) {
    const double r = widget.button().FaceWidth() / 2.0 / widget.surface().TwipsPerPixelX();
    const double c = r;
    int sum = 0, n = 0;
    for (double k = r - 2; k <= r; k += 0.5, ++n) {
      sum += img.pixelColor(int(c + k * std::cos(angle)), int(c - k * std::sin(angle))).lightness();
    }
    return sum / n;
  };
  EXPECT_GT(rings(raised, 3 * M_PI / 4) - rings(raised, -M_PI / 4), 60) << "raised: light upper left, dark lower right";

  QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(mid, mid));
  EXPECT_TRUE(widget.button().Pressed());
  const QImage pressed = widget.grab().toImage();
  EXPECT_GT(rings(pressed, -M_PI / 4) - rings(pressed, 3 * M_PI / 4), 60) << "pressed: the other way round";
  int clicks = 0;
  widget.button().Click = [&] { ++clicks; };
  QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(mid, mid));
  EXPECT_FALSE(widget.button().Pressed());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace typeloom::controls
