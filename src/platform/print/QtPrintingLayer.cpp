#include "platform/print/QtPrintingLayer.h"

#include "platform/fonts/FaceResolver.h"
#include "platform/ui/WindowServices.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

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

QPointF QtPrintingLayer::ToDevice(double x, double y) const {
  return {x * printer_->logicalDpiX() / kTwipsPerInch, y * printer_->logicalDpiY() / kTwipsPerInch};
}

void QtPrintingLayer::PrintText(const QString& text) {
  QPainter& painter = Page();
  const FontKey key{face_, points_, bold_, italic_};
  auto font = fonts_.find(key);
  if (font == fonts_.end()) {
    auto face = faces_.find({face_, bold_, italic_});
    if (face == faces_.end()) face = faces_.emplace(std::tuple{face_, bold_, italic_}, LocateFace(face_, bold_, italic_)).first;
    QFont resolved = FontForFace(face->second, face_, points_, {.bold = bold_, .italic = italic_});
    const double ascent = QFontMetricsF(resolved, printer_.get()).ascent();
    font = fonts_.emplace(key, std::pair{resolved, ascent}).first;
  }
  painter.setFont(font->second.first);
  painter.setPen(Qt::black);
  // The text's cell starts at the current position: its baseline lies one ascent lower.
  const QPointF cell = ToDevice(x_, y_);
  painter.drawText(QPointF(cell.x(), cell.y() + font->second.second), text);
}

void QtPrintingLayer::DrawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) {
  QPainter& painter = Page();
  const QColor color(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                     static_cast<int>((colour >> 16) & 0xFF));
  // One dot of a 300-dpi printer: visible on paper and in a PDF alike.
  QPen pen(color, std::max(1.0, printer_->logicalDpiX() / 300.0));
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  painter.drawLine(ToDevice(x1, y1), ToDevice(x2, y2));
}

void QtPrintingLayer::EndPage() {
  Page();
  pageEnded_ = true;
}

void QtPrintingLayer::EndDocument() {
  const bool failed = jobFailed_;
  jobFailed_ = false;
  fonts_.clear();
  faces_.clear();
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
