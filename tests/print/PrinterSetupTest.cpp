// The print dialog offscreen, over a recording printing layer.
#include "print/PrinterSetup.h"

#include "controls/NumberBox.h"
#include "platform/ui/UpDown.h"
#include "platform/ui/WindowServices.h"
#include "support/FakeMainWindow.h"
#include "support/FakePrintingLayer.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace typeloom::print {
namespace {

using test::FakePrintingLayer;
using Kind = FakePrintingLayer::Kind;

class PrinterSetupTest : public ::testing::Test {
 protected:
  PrinterSetupTest() {
    printer_.printers = {"Office", "Rendering Subsystem", "rendering subsystem", "Print to File (PDF)"};
    printer_.current = "Office";
    main_.widget.setGeometry(100, 80, 600, 500);
  }
  PrinterSetup& Dialog() {
    if (!dialog_) {
      dialog_ = std::make_unique<PrinterSetup>(main_, printer_, &main_.widget);
      dialog_->Form_Load();
    }
    return *dialog_;
  }
  PrinterSetup& Shown() {
    PrinterSetup& dialog = Dialog();
    dialog.show();
    dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    return dialog;
  }
  double Value() { return Dialog().NumberBox1->value().toDouble(); }
  QLineEdit* Field() { return Dialog().NumberBox1->txtNumber(); }
  int Pages() const { return static_cast<int>(printer_.Of(Kind::kEndPage).size()); }

  test::FakeMainWindow main_;
  FakePrintingLayer printer_;
  std::unique_ptr<PrinterSetup> dialog_;
};

TEST_F(PrinterSetupTest, LayoutCaptionsAndTooltips) {
  PrinterSetup& d = Dialog();
  EXPECT_EQ(d.windowTitle(), " Printer Setup");
  EXPECT_EQ(d.size(), QSize(platform::TwipsToPixelsX(3855), platform::TwipsToPixelsY(1950)));
  const struct {
    QWidget* widget;
    QRect twips;
    QString tip;
  } controls[] = {
      {d.Label1, {240, 270, 975, 255}, ""},
      {d.Combo1, {1320, 240, 2295, 315}, " Select the appropriate printer "},
      {d.Label2, {240, 795, 1335, 255}, ""},
      {d.NumberBox1, {1680, 780, 300, 285}, " Select the number of copies to print "},
      {d.UpDown1, {1980, 780, 240, 285}, " Select the number of copies to print "},
      {d.okButton, {480, 1320, 1095, 375}, " Click here to print the selected font  "},
      {d.exitButton, {2280, 1320, 1095, 375}, " Click here to close the form without printing "},
  };
  for (const auto& c : controls) {
    EXPECT_EQ(c.widget->geometry(), platform::TwipsRect(c.twips.x(), c.twips.y(), c.twips.width(), c.twips.height()))
        << c.widget->metaObject()->className();
    EXPECT_EQ(c.widget->toolTip(), c.tip) << c.widget->metaObject()->className();
  }
  EXPECT_EQ(d.Label1->text(), "Printer name:");
  EXPECT_EQ(d.Label2->text(), "Number of copies:");
  EXPECT_EQ(d.okButton->text(), "&OK");
  EXPECT_EQ(d.exitButton->text(), "Cancel");
  EXPECT_TRUE(d.okButton->isDefault());
  EXPECT_FALSE(d.Combo1->isEditable());
  EXPECT_EQ(d.NumberBox1->Format(), "#0");
  EXPECT_TRUE(d.NumberBox1->PositiveOnly());
  EXPECT_EQ(d.UpDown1->Min(), 1);
  EXPECT_EQ(d.UpDown1->Max(), 99);
}

TEST_F(PrinterSetupTest, TabOrderRunsCopiesOkCancelPrinters) {
  PrinterSetup& d = Shown();
  EXPECT_EQ(QApplication::focusWidget(), Field());
  for (QWidget* next : std::initializer_list<QWidget*>{d.okButton, d.exitButton, d.Combo1, Field()}) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->metaObject()->className();
  }
}

TEST_F(PrinterSetupTest, OpensCentredOnTheMainWindowAndLower) {
  PrinterSetup& d = Shown();
  const QRect main = main_.widget.frameGeometry();
  const QRect own = d.frameGeometry();
  EXPECT_EQ(own.left(), main.left() + (main.width() - own.width()) / 2);
  EXPECT_EQ(own.top(), main.top() + (main.height() - own.height()) / 2 + platform::TwipsToPixelsY(300));
  EXPECT_EQ(QApplication::focusWidget(), Field());
}

TEST_F(PrinterSetupTest, ListsPrintersAndPreselectsTheCurrentOne) {
  const struct {
    QString current;
    int index;
  } cases[] = {{"Office", 0}, {"rendering subsystem", 1}, {"Print to File (PDF)", 2}, {"Gone", 2}, {"Rendering Subsystem", 2}};
  for (const auto& c : cases) {
    printer_.current = c.current;
    dialog_.reset();
    PrinterSetup& d = Dialog();
    ASSERT_EQ(d.Combo1->count(), 3);
    EXPECT_EQ(d.Combo1->itemText(0), "Office");
    EXPECT_EQ(d.Combo1->itemText(1), "rendering subsystem");
    EXPECT_EQ(d.Combo1->itemText(2), "Print to File (PDF)");
    EXPECT_EQ(d.Combo1->currentIndex(), c.index) << c.current.toStdString();
    EXPECT_EQ(Value(), 1);
    EXPECT_EQ(d.UpDown1->Value(), 1);
  }
  printer_.printers.clear();
  dialog_.reset();
  EXPECT_EQ(Dialog().Combo1->currentIndex(), -1);
}

// The "#0" mask lets two characters be typed; 250 arrives by pasting.
TEST_F(PrinterSetupTest, MoreThanNinetyNineGivesNinetyNineHighlighted) {
  Shown();
  QTest::keyClicks(Field(), "250");
  EXPECT_EQ(Value(), 25);
  QGuiApplication::clipboard()->setText("250");
  Field()->selectAll();
  QTest::keyClick(Field(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Value(), 99);
  EXPECT_EQ(Field()->selectedText(), "99");
  EXPECT_EQ(Dialog().UpDown1->Value(), 99);
  QTest::keyClick(Field(), Qt::Key_7);  // the highlighted count is overtyped
  EXPECT_EQ(Value(), 7);
  EXPECT_EQ(Dialog().UpDown1->Value(), 7);
}

TEST_F(PrinterSetupTest, ArrowKeysStepWithinOneToNinetyNine) {
  const struct {
    int start;
    Qt::Key key;
    double result;
  } cases[] = {{1, Qt::Key_Up, 2}, {98, Qt::Key_Up, 99}, {99, Qt::Key_Up, 99}, {2, Qt::Key_Down, 1}, {1, Qt::Key_Down, 1}, {5, Qt::Key_Left, 5}};
  Shown();
  for (const auto& c : cases) {
    Dialog().NumberBox1->setValue(c.start);
    QTest::keyClick(Field(), c.key);
    EXPECT_EQ(Value(), c.result) << c.start << " key " << c.key;
    EXPECT_EQ(Dialog().UpDown1->Value(), static_cast<int>(c.result));
    if (c.key == Qt::Key_Up || c.key == Qt::Key_Down) {
      EXPECT_EQ(Field()->selectedText(), QString::number(c.result));
    }
  }
}

TEST_F(PrinterSetupTest, SpinnerClicksSetTheCountAndFocusTheField) {
  PrinterSetup& d = Shown();
  d.okButton->setFocus();
  d.UpDown1->UpArrow()->click();
  EXPECT_EQ(Value(), 2);
  EXPECT_EQ(QApplication::focusWidget(), Field());
  EXPECT_EQ(Field()->selectedText(), "2");
  d.UpDown1->DownArrow()->click();
  d.UpDown1->DownArrow()->click();
  EXPECT_EQ(Value(), 1);
  d.NumberBox1->setValue(99);
  d.UpDown1->UpArrow()->click();
  EXPECT_EQ(Value(), 99);
  EXPECT_EQ(d.UpDown1->Value(), 99);
}

// OK prints n pages as one job on the printer chosen in the list, which stays current.
TEST_F(PrinterSetupTest, OkPrintsTheCopiesAsOneJobAndCloses) {
  const struct {
    double copies;
    int pages;
  } cases[] = {{3, 3}, {0, 1}, {1, 1}};
  for (const auto& c : cases) {
    printer_.ops.clear();
    printer_.current = "Office";
    dialog_.reset();
    PrinterSetup& d = Shown();
    d.Combo1->setCurrentIndex(2);
    d.NumberBox1->setValue(c.copies);
    d.okButton->click();
    EXPECT_EQ(Pages(), c.pages) << c.copies;
    EXPECT_EQ(printer_.Of(Kind::kEndDocument).size(), 1U);
    EXPECT_EQ(printer_.current, "Print to File (PDF)");
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.isVisible());
  }
}

TEST_F(PrinterSetupTest, EnterPressesOk) {
  Shown();
  QTest::keyClick(Field(), Qt::Key_Up);
  QTest::keyClick(Field(), Qt::Key_Return);
  EXPECT_EQ(Pages(), 2);
}

TEST_F(PrinterSetupTest, CancelPrintsNothing) {
  PrinterSetup& d = Shown();
  d.exitButton->click();
  EXPECT_TRUE(printer_.ops.empty());
  EXPECT_EQ(d.result(), QDialog::Rejected);
  EXPECT_FALSE(d.isVisible());
}

// Escape closes the dialog; with Shift, Ctrl or Alt it ends the program as well.
TEST_F(PrinterSetupTest, EscapeClosesAndWithAModifierEndsTheProgram) {
  for (const int shift : {0, 1, 2, 4, 3}) {
    main_.endProgramCalls = 0;
    dialog_.reset();
    PrinterSetup& d = Shown();
    platform::KeyPreview::SendKey(d.NumberBox1->txtNumber(), 27, shift);
    EXPECT_FALSE(d.isVisible()) << shift;
    EXPECT_EQ(main_.endProgramCalls, shift > 0 ? 1 : 0) << shift;
    EXPECT_TRUE(printer_.ops.empty());
  }
}

// Each opening starts afresh at one copy and preselects the printer chosen last.
TEST(PrintDialogSeam, ModalOpeningsRememberThePrinterChosenLast) {
  test::FakeMainWindow main;
  auto owned = std::make_unique<FakePrintingLayer>();
  FakePrintingLayer& printer = *owned;
  printer.printers = {"Office", "Lab", "Print to File (PDF)"};
  printer.current = "Office";
  PrintDialogSeam seam(main, std::move(owned));
  EXPECT_FALSE(seam.IsOpen());

  bool wasOpen = false;
  QTimer::singleShot(0, [&] {
    wasOpen = seam.IsOpen();
    seam.Dialog()->Combo1->setCurrentIndex(1);
    seam.Dialog()->NumberBox1->setValue(2);
    seam.Dialog()->okButton->click();
  });
  seam.Open();
  EXPECT_TRUE(wasOpen);
  EXPECT_FALSE(seam.IsOpen());
  EXPECT_EQ(printer.current, "Lab");
  EXPECT_EQ(printer.Of(Kind::kEndPage).size(), 2U);

  int index = -1;
  double copies = 0;
  QTimer::singleShot(0, [&] {
    index = seam.Dialog()->Combo1->currentIndex();
    copies = seam.Dialog()->NumberBox1->value().toDouble();
    seam.Close();
  });
  seam.Open();
  EXPECT_EQ(index, 1);
  EXPECT_EQ(copies, 1);
  EXPECT_EQ(printer.Of(Kind::kEndPage).size(), 2U);
}

}  // namespace
}  // namespace typeloom::print
