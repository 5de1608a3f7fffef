#include "platform/ui/UpDown.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace typeloom::platform {
namespace {

// Each arrow steps Value and stays at the end it reached; every click is
// reported through the arrow's own signal, after the step.
TEST(UpDown, ArrowsStepWithinMinAndMaxAndReportEachClick) {
  UpDown spinner;
  spinner.SetMin(1);
  spinner.SetMax(3);
  spinner.SetValue(2);
  std::vector<std::pair<char, int>> clicks;
  QObject::connect(&spinner, &UpDown::UpClick, [&] { clicks.emplace_back('u', spinner.Value()); });
  QObject::connect(&spinner, &UpDown::DownClick, [&] { clicks.emplace_back('d', spinner.Value()); });
  spinner.UpArrow()->click();
  spinner.UpArrow()->click();
  spinner.DownArrow()->click();
  spinner.DownArrow()->click();
  spinner.DownArrow()->click();
  const std::vector<std::pair<char, int>> expected{{'u', 3}, {'u', 3}, {'d', 2}, {'d', 1}, {'d', 1}};
  EXPECT_EQ(clicks, expected);
  // The arrows never take the focus from the field they serve.
  EXPECT_EQ(spinner.UpArrow()->focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace typeloom::platform
