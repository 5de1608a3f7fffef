// The print dialog's decisions against a recording printing layer.
#include "print/PrinterSetupRules.h"

#include "support/FakeMainWindow.h"
#include "support/FakePrintingLayer.h"

#include <gtest/gtest.h>

#include <limits>

namespace typeloom::print {
namespace {

using test::FakePrintingLayer;
using Kind = FakePrintingLayer::Kind;

TEST(PrinterListItems, HidesOnlyTheExactRenderingSubsystem) {
  EXPECT_EQ(PrinterListItems({"Office", "Rendering Subsystem", "rendering subsystem", "Rendering Subsystem ",
                              "Print to File (PDF)"}),
            QStringList({"Office", "rendering subsystem", "Rendering Subsystem ", "Print to File (PDF)"}));
  EXPECT_TRUE(PrinterListItems({"Rendering Subsystem"}).isEmpty());
}

TEST(PreselectIndex, CurrentPrinterOrTheLastItem) {
  const QStringList items{"A", "B", "B", "Print to File (PDF)"};
  const struct {
    QString current;
    int index;
  } cases[] = {{"A", 0}, {"B", 1}, {"Print to File (PDF)", 3}, {"Gone", 3}, {"a", 3}, {"", 3}};
  for (const auto& c : cases) EXPECT_EQ(PreselectIndex(items, c.current), c.index) << c.current.toStdString();
  EXPECT_EQ(PreselectIndex({}, "A"), -1);
}

TEST(StepCopies, ArrowsStepWithinOneToNinetyNine) {
  const struct {
    int key, value;
    std::optional<int> result;
  } cases[] = {{38, 1, 2},   {38, 98, 99},  {38, 99, 99}, {38, 250, 99}, {40, 2, 1},
               {40, 1, 1},   {40, 0, 1},    {40, -5, 1},  {40, 99, 98},  {37, 5, std::nullopt},
               {39, 5, std::nullopt}, {13, 5, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(StepCopies(c.key, c.value), c.result) << c.key << " at " << c.value;
}

TEST(CopiesAsInt16, RoundsHalvesToEvenAndRefusesOutOfRange) {
  const struct {
    double value;
    std::optional<std::int16_t> n;
  } cases[] = {{1, 1},      {3, 3},      {2.5, 2},          {3.5, 4},
               {2.4, 2},    {99, 99},    {-1, -1},          {32767, 32767},
               {32767.6, std::nullopt}, {40000, std::nullopt}, {-32768.4, -32768},
               {std::numeric_limits<double>::quiet_NaN(), std::nullopt}, {std::numeric_limits<double>::infinity(), std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(CopiesAsInt16(c.value), c.n) << c.value;
}

class PrintCopiesTest : public ::testing::Test {
 protected:
  PrintCopiesTest() { printer_.printers = {"Office", "Rendering Subsystem", "Office", "Print to File (PDF)"}; }
  int Print(const QString& chosen, double copies) { return PrintCopies(printer_, page_, chosen, copies); }
  int Headings() const {
    int n = 0;
    for (const auto& op : printer_.Of(Kind::kText)) n += op.text.startsWith("Font Name: ") ? 1 : 0;
    return n;
  }

  test::FakeMainWindow main_;
  FakePrintingLayer printer_;
  SamplePagePrinter page_{main_, printer_};
};

// One job: n pages, one end of document, last.
TEST_F(PrintCopiesTest, CopiesArePagesOfOneJob) {
  const struct {
    double copies;
    int pages;
  } cases[] = {{3, 3}, {1, 1}, {0, 1}, {99, 99}, {2.5, 2}, {-2, 0}, {40000, 0}};
  for (const auto& c : cases) {
    printer_.ops.clear();
    EXPECT_EQ(Print("Office", c.copies), c.pages) << c.copies;
    EXPECT_EQ(printer_.Of(Kind::kEndPage).size(), static_cast<std::size_t>(c.pages));
    EXPECT_EQ(Headings(), c.pages);
    ASSERT_EQ(printer_.Of(Kind::kEndDocument).size(), 1U);
    EXPECT_EQ(printer_.ops.back().kind, Kind::kEndDocument);
  }
}

TEST_F(PrintCopiesTest, ChosenPrinterBecomesCurrentUnlessUnknown) {
  printer_.current = "Print to File (PDF)";
  Print("Office", 1);
  EXPECT_EQ(printer_.current, "Office");
  Print("Nowhere", 1);
  EXPECT_EQ(printer_.current, "Office");
  Print("", 1);  // an empty list selects nothing
  EXPECT_EQ(printer_.current, "Office");
}

// A page that fails is skipped; the next copies and the end of the document still run.
TEST_F(PrintCopiesTest, FailingPageIsSkippedAndTheRestPrinted) {
  printer_.failFrom = 3;
  printer_.failUntil = 4;  // one output of the first page fails
  EXPECT_EQ(Print("Office", 3), 2);
  EXPECT_EQ(printer_.Of(Kind::kEndPage).size(), 2U);
  EXPECT_EQ(Headings(), 3);
  EXPECT_EQ(printer_.ops.back().kind, Kind::kEndDocument);
}

TEST_F(PrintCopiesTest, DeadPrinterFailsQuietly) {
  printer_.failFrom = 0;
  EXPECT_EQ(Print("Office", 3), 0);
  EXPECT_TRUE(printer_.ops.empty());
  printer_.printers.clear();
  EXPECT_EQ(Print("", 2), 0);
}

}  // namespace
}  // namespace typeloom::print
