// The mouse wheel over the summary's page turns its scroll bar: real wheel events
// on the page, the rows they move and the redraws they cause.
#include "summary/Summary.h"

#include "support/FakeMainWindow.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

namespace typeloom::summary {
namespace {

struct WheelRow {
  const char* name;
  int fonts;
  int start;
  std::vector<int> turns;  // vertical angle deltas, eighths of a degree (120 a notch)
  int expected;            // the top row afterwards
  bool redrawn;
};

void PrintTo(const WheelRow& row, std::ostream* os) { *os << row.name; }

class SummaryWheel : public ::testing::TestWithParam<WheelRow> {};

TEST_P(SummaryWheel, TurnsTheScrollBar) {
  const WheelRow& row = GetParam();
  QApplication::setWheelScrollLines(3);
  test::FakeMainWindow main;
  for (int i = 0; i < row.fonts; ++i) main.names << QStringLiteral("Font %1").arg(i);
  SummaryWindow seam(main, [](const QString& name, double size) {
    QFont font(name);
    font.setPointSizeF(size);
    return font;
  });
  seam.Open();
  Summary& window = *seam.window();
  window.VScroll()->setValue(row.start);
  const int before = window.redraws();
  QWidget* page = window.FontPicture();
  const QPointF at(page->width() / 2.0, page->height() / 2.0);
  for (int turn : row.turns) {
    QWheelEvent wheel(at, page->mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(page, &wheel);
  }
  EXPECT_EQ(window.VScroll()->value(), row.expected);
  EXPECT_EQ(window.topIndex(), row.expected);
  EXPECT_EQ(window.redraws() > before, row.redrawn);
}

INSTANTIATE_TEST_SUITE_P(
    Turns, SummaryWheel,
    ::testing::Values(WheelRow{"NotchTowardsTheUserMovesDown", 40, 0, {-120}, 3, true},
                      WheelRow{"NotchAwayMovesUp", 40, 10, {120}, 7, true},
                      WheelRow{"TwoNotchesAtOnce", 40, 0, {-240}, 6, true},
                      WheelRow{"PartTurnsAddUp", 40, 0, {-40, -40, -40}, 3, true},
                      WheelRow{"StopsAtTheLastPage", 40, 23, {-120}, 24, true},
                      WheelRow{"StopsAtTheTop", 40, 1, {120, 120}, 0, true},
                      WheelRow{"AtTheTopNothingMoves", 40, 0, {120}, 0, false},
                      WheelRow{"FewerFontsThanAPage", 5, 0, {-120}, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace typeloom::summary
