#pragma once
// The printing layer over Qt print support: the printers are the CUPS
// destinations that QPrinterInfo lists, plus "Print to File (PDF)", which asks
// for a file and writes the job through QPrinter's PDF output.
#include "platform/print/PageDrawing.h"
#include "platform/print/PrintingLayer.h"

#include <functional>
#include <memory>

class QPainter;
class QPrinter;
class QWidget;

namespace typeloom::platform {

class QtPrintingLayer final : public PaintedPrintingLayer {
 public:
  // Asks where a PDF goes, starting in `folder`; empty when the user cancels.
  using ChooseFile = std::function<QString(const QString& folder)>;
  // An empty chooser asks with a file dialog over the dialog parent. Faces
  // resolve as the font list's names resolve everywhere (platform/fonts).
  explicit QtPrintingLayer(ChooseFile chooseFile = {});
  ~QtPrintingLayer() override;

  void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }
  // The folder the file dialog opens in: the one chosen last in this run.
  const QString& LastFolder() const { return lastFolder_; }

  QStringList PrinterNames() override;
  QString CurrentPrinter() const override { return current_; }
  void SelectPrinter(const QString& name) override { current_ = name; }

  void EndPage() override;
  void EndDocument() override;

 private:
  // The painter of the running job, on the page that output goes to; starts
  // the job on the current printer when none runs.
  QPainter& Page() override;
  void StartJob();

  ChooseFile chooseFile_;
  QWidget* dialogParent_ = nullptr;
  QString current_;
  QString lastFolder_;


  std::unique_ptr<QPrinter> printer_;
  std::unique_ptr<QPainter> painter_;
  bool pageEnded_ = false;
  // The job could not start (or the file dialog was cancelled): every output
  // of this document fails until it is ended.
  bool jobFailed_ = false;
};

}  // namespace typeloom::platform
