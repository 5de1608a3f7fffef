#include "print/PrinterSetup.h"

#include "controls/NumberBox.h"
#include "platform/print/QtPrintingLayer.h"
#include "platform/ui/ApplicationFontScope.h"
#include "platform/ui/UpDown.h"
#include "platform/ui/WindowServices.h"
#include "print/PrinterSetupRules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace typeloom::print {
namespace {

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(platform::TwipsRect(left, top, width, height));
}

// value as a whole number (halves to even); nullopt when it is none.
std::optional<int> WholeValue(controls::NumberBox* box) {
  bool ok = false;
  const double v = box->value().toDouble(&ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > 2147483647.0) return std::nullopt;
  return static_cast<int>(std::nearbyint(v));
}

}  // namespace

PrinterSetup::PrinterSetup(app::MainWindowState& main, platform::PrintingLayer& printer, QWidget* parent)
    : QDialog(parent), main_(main), printer_(printer), page_(main, printer) {
  setWindowTitle(" Printer Setup");
  // Built with the dialog face as the application's font: the copies field then lays
  // out its first, empty text in the face it draws in.
  const QFont face = platform::DialogFont();
  const platform::ApplicationFontScope building(face);
  setFont(face);
  setFixedSize(platform::TwipsToPixelsX(kDesignWidth), platform::TwipsToPixelsY(kDesignHeight));
  CreateControls();
  keyPreview_ = std::make_unique<platform::KeyPreview>(this, [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); });
}

PrinterSetup::~PrinterSetup() = default;

void PrinterSetup::CreateControls() {
  Label1 = new QLabel("Printer name:", this);
  print::Place(Label1, 240, 270, 975, 255);
  Combo1 = new QComboBox(this);
  Combo1->setEditable(false);
  Combo1->setToolTip(" Select the appropriate printer ");
  print::Place(Combo1, 1320, 240, 2295, 315);
  Label2 = new QLabel("Number of copies:", this);
  print::Place(Label2, 240, 795, 1335, 255);

  NumberBox1 = new controls::NumberBox(this);
  NumberBox1->SetFormat("#0");
  NumberBox1->SetPositiveOnly(true);
  NumberBox1->setToolTip(" Select the number of copies to print ");
  NumberBox1->txtNumber()->setToolTip(" Select the number of copies to print ");
  print::Place(NumberBox1, 1680, 780, 300, 285);
  NumberBox1->Change = [this] { NumberBox1_Change(); };
  NumberBox1->KeyUp = [this](int& keyCode, int& shift) { NumberBox1_KeyUp(keyCode, shift); };

  UpDown1 = new platform::UpDown(this);
  UpDown1->SetMin(kMinCopies);
  UpDown1->SetMax(kMaxCopies);
  UpDown1->setToolTip(" Select the number of copies to print ");
  print::Place(UpDown1, 1980, 780, 240, 285);
  connect(UpDown1, &platform::UpDown::UpClick, this, &PrinterSetup::UpDown1_UpClick);
  connect(UpDown1, &platform::UpDown::DownClick, this, &PrinterSetup::UpDown1_DownClick);

  okButton = new QPushButton("&OK", this);
  okButton->setToolTip(" Click here to print the selected font  ");
  okButton->setDefault(true);
  print::Place(okButton, 480, 1320, 1095, 375);
  connect(okButton, &QPushButton::clicked, this, &PrinterSetup::okButton_Click);
  exitButton = new QPushButton("Cancel", this);
  exitButton->setToolTip(" Click here to close the form without printing ");
  exitButton->setAutoDefault(false);
  print::Place(exitButton, 2280, 1320, 1095, 375);
  connect(exitButton, &QPushButton::clicked, this, &PrinterSetup::exitButton_Click);

  // Tab order: copies, OK, Cancel, printer list; the spinner's arrows take no focus.
  QWidget::setTabOrder(NumberBox1->txtNumber(), okButton);
  QWidget::setTabOrder(okButton, exitButton);
  QWidget::setTabOrder(exitButton, Combo1);
  NumberBox1->txtNumber()->setFocus();
}

void PrinterSetup::Place() {
  QWidget* mainWindow = main_.MainWidget();
  if (mainWindow == nullptr) return;
  // Centred on the main window, then 300 twips lower (outer sizes).
  const QRect main = mainWindow->frameGeometry();
  const QRect own = frameGeometry();
  move(main.left() + (main.width() - own.width()) / 2,
       main.top() + (main.height() - own.height()) / 2 + platform::TwipsToPixelsY(300));
}

void PrinterSetup::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The frame's size is known once the window is shown: place it again with it.
  if (!placed_) {
    placed_ = true;
    Place();
  }
  NumberBox1->txtNumber()->setFocus();
}

void PrinterSetup::Form_Load() {
  Place();
  Combo1->clear();
  QStringList printers;
  try {
    printers = printer_.PrinterNames();
  } catch (const platform::PrintError&) {
  }
  Combo1->addItems(PrinterListItems(printers));
  QString current;
  try {
    current = printer_.CurrentPrinter();
  } catch (const platform::PrintError&) {
  }
  Combo1->setCurrentIndex(PreselectIndex(PrinterListItems(printers), current));
  NumberBox1->setValue(1);
}

void PrinterSetup::Form_KeyDown(int& keyCode, int shift) {
  if (keyCode != 27) return;
  keyCode = 0;
  reject();
  if (shift > 0) main_.EndProgram();
}

void PrinterSetup::okButton_Click() {
  if (NumberBox1->value().toDouble() == 0) NumberBox1->setValue(1);
  PrintCopies(printer_, page_, Combo1->currentText(), NumberBox1->value().toDouble());
  accept();
}

void PrinterSetup::exitButton_Click() { reject(); }

void PrinterSetup::NumberBox1_Change() {
  bool ok = false;
  const double v = NumberBox1->value().toDouble(&ok);
  if (ok && v > UpDown1->Max()) {
    NumberBox1->setValue(UpDown1->Max());
    NumberBox1->Highlight();
  }
  if (const auto whole = WholeValue(NumberBox1)) UpDown1->SetValue(*whole);
}

void PrinterSetup::NumberBox1_KeyUp(int& keyCode, int& /*shift*/) {
  const auto v = WholeValue(NumberBox1);
  if (!v) return;
  const auto stepped = StepCopies(keyCode, *v, UpDown1->Min(), UpDown1->Max());
  if (!stepped) return;
  NumberBox1->setValue(*stepped);
  NumberBox1->Highlight();
}

void PrinterSetup::UpDown1_UpClick() {
  if (UpDown1->Value() > UpDown1->Max()) UpDown1->SetValue(UpDown1->Max());
  NumberBox1->setValue(UpDown1->Value());
  NumberBox1->txtNumber()->setFocus();
  NumberBox1->Highlight();
}

void PrinterSetup::UpDown1_DownClick() {
  if (UpDown1->Value() < UpDown1->Min()) UpDown1->SetValue(UpDown1->Min());
  NumberBox1->setValue(UpDown1->Value());
  NumberBox1->txtNumber()->setFocus();
  NumberBox1->Highlight();
}

PrintDialogSeam::PrintDialogSeam(app::MainWindowState& main)
    : PrintDialogSeam(main, std::make_unique<platform::QtPrintingLayer>()) {}

PrintDialogSeam::PrintDialogSeam(app::MainWindowState& main, std::unique_ptr<platform::PrintingLayer> printer)
    : main_(main), printer_(std::move(printer)) {}

PrintDialogSeam::~PrintDialogSeam() { delete dialog_.data(); }

void PrintDialogSeam::Open() {
  if (dialog_ != nullptr) return;
  QPointer<PrinterSetup> dialog = new PrinterSetup(main_, *printer_, main_.MainWidget());
  dialog_ = dialog;
  // The file dialog of "Print to File (PDF)" opens over the print dialog.
  auto* qtPrinter = dynamic_cast<platform::QtPrintingLayer*>(printer_.get());
  if (qtPrinter != nullptr) qtPrinter->SetDialogParent(dialog);
  dialog->Form_Load();
  dialog->exec();
  if (qtPrinter != nullptr) qtPrinter->SetDialogParent(nullptr);
  dialog_ = nullptr;
  delete dialog.data();
}

void PrintDialogSeam::Close() {
  if (dialog_ != nullptr) dialog_->reject();
}

std::unique_ptr<app::WindowSeam> MakePrintDialog(app::MainWindowState& main) {
  return std::make_unique<PrintDialogSeam>(main);
}

}  // namespace typeloom::print
