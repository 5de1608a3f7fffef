#pragma once
// The print dialog: a printer from the installed ones and a number of copies;
// OK prints that many specimen pages of the selected font as one job.
#include "app/WindowSeams.h"
#include "print/SamplePage.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace typeloom::controls {
class NumberBox;
}
namespace typeloom::platform {
class KeyPreview;
class PrintingLayer;
class QtPrintingLayer;
class UpDown;
}  // namespace typeloom::platform

namespace typeloom::print {

class PrinterSetup : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kDesignWidth = 3855;
  static constexpr int kDesignHeight = 1950;

  PrinterSetup(app::MainWindowState& main, platform::PrintingLayer& printer, QWidget* parent = nullptr);
  ~PrinterSetup() override;

  // Placement, printer list, preselection, one copy.
  void Form_Load();
  void Form_KeyDown(int& keyCode, int shift);
  void okButton_Click();
  void exitButton_Click();
  void NumberBox1_Change();
  void NumberBox1_KeyUp(int& keyCode, int& shift);
  void UpDown1_UpClick();
  void UpDown1_DownClick();

  QLabel* Label1 = nullptr;
  QComboBox* Combo1 = nullptr;
  QLabel* Label2 = nullptr;
  controls::NumberBox* NumberBox1 = nullptr;
  platform::UpDown* UpDown1 = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* exitButton = nullptr;

  SamplePagePrinter& Page() { return page_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void Place();

  app::MainWindowState& main_;
  platform::PrintingLayer& printer_;
  SamplePagePrinter page_;
  std::unique_ptr<platform::KeyPreview> keyPreview_;
  bool placed_ = false;
};

// The print dialog behind the main window's seam: modal, created at each
// opening. The printing layer lives as long as the seam, so the printer chosen
// on OK stays current for the rest of the run.
class PrintDialogSeam final : public app::WindowSeam {
 public:
  // Prints through the system's printers (QtPrintingLayer).
  explicit PrintDialogSeam(app::MainWindowState& main);
  PrintDialogSeam(app::MainWindowState& main, std::unique_ptr<platform::PrintingLayer> printer);
  ~PrintDialogSeam() override;

  void Open() override;
  void Close() override;
  bool IsOpen() const override { return dialog_ != nullptr; }

  PrinterSetup* Dialog() const { return dialog_; }
  platform::PrintingLayer& Printer() { return *printer_; }

 private:
  app::MainWindowState& main_;
  std::unique_ptr<platform::PrintingLayer> printer_;
  QPointer<PrinterSetup> dialog_;
};

std::unique_ptr<app::WindowSeam> MakePrintDialog(app::MainWindowState& main);

}  // namespace typeloom::print
