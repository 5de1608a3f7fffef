#include "platform/print/QtPrintingLayer.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace typeloom::platform {

QtPrintingLayer::QtPrintingLayer(ChooseFile chooseFile)
    : chooseFile_(std::move(chooseFile)),
      current_(QPrinterInfo::defaultPrinterName()),
      lastFolder_(QDir::homePath()) {
  if (!chooseFile_) {
    chooseFile_ = [this](const QString& folder) {
      return QFileDialog::getSaveFileName(dialogParent_, kPrintToFilePrinter, folder, "PDF files (*.pdf)");
    };
  }
}

QtPrintingLayer::~QtPrintingLayer() {
  if (painter_ && painter_->isActive()) painter_->end();
}

QStringList QtPrintingLayer::PrinterNames() {
  QStringList names = QPrinterInfo::availablePrinterNames();
  names.append(kPrintToFilePrinter);
  return names;
}

void QtPrintingLayer::StartJob() {
  jobFailed_ = true;  // until the painter runs
  pageEnded_ = false;
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setDocName("Typeloom");
  // Copies are drawn as pages; the driver's copies stay at one.
  printer->setCopyCount(1);
  if (current_ == QLatin1StringView(kPrintToFilePrinter)) {
    QString file = chooseFile_(lastFolder_);
    if (file.isEmpty()) throw PrintError("no file chosen");
    if (QFileInfo(file).suffix().isEmpty()) file += ".pdf";
    lastFolder_ = QFileInfo(file).absolutePath();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
  } else {
    const QPrinterInfo info = QPrinterInfo::printerInfo(current_);
    if (info.isNull()) throw PrintError("no such printer: " + current_.toStdString());
    printer->setPrinterName(current_);
    printer->setOutputFormat(QPrinter::NativeFormat);
  }
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(printer.get())) throw PrintError("the printer did not start the job");
  printer_ = std::move(printer);
  painter_ = std::move(painter);
  jobFailed_ = false;
}

QPainter& QtPrintingLayer::Page() {
  if (jobFailed_) throw PrintError("the job did not start");
  if (!painter_) StartJob();
  if (pageEnded_) {
    pageEnded_ = false;
    if (!printer_->newPage()) throw PrintError("the printer refused a new page");
  }
  return *painter_;
}

void QtPrintingLayer::EndPage() {
  Page();
  pageEnded_ = true;
}

void QtPrintingLayer::EndDocument() {
  const bool failed = jobFailed_;
  jobFailed_ = false;
  ForgetFaces();
  pageEnded_ = false;
  if (!painter_) {
    if (failed) throw PrintError("the job did not start");
    return;
  }
  const bool ended = painter_->end();
  painter_.reset();
  printer_.reset();
  if (!ended) throw PrintError("the printer did not finish the job");
}

}  // namespace typeloom::platform
