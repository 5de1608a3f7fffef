#pragma once
// A printing layer that writes its document to one PDF file, without a printer,
// a dialog or Qt Print Support: A4 at 1200 dpi with 10-point margins, as the
// print-to-file printer lays its pages out, pages drawn by PageDrawing. The
// document is made in memory and the file replaced by ReplaceFile once it is
// whole; until then (and when anything fails) the file stays as it was.
#include "platform/print/PageDrawing.h"
#include "platform/print/PrintingLayer.h"

#include <memory>

class QPainter;
class QPdfWriter;
class QBuffer;

namespace typeloom::platform {

class PdfPrintingLayer final : public PaintedPrintingLayer {
 public:
  explicit PdfPrintingLayer(QString path);
  ~PdfPrintingLayer() override;

  // The one "printer": the file.
  QStringList PrinterNames() override { return {path_}; }
  QString CurrentPrinter() const override { return path_; }
  void SelectPrinter(const QString& /*name*/) override {}

  void EndPage() override;
  // Finishes the PDF and puts it in place; PrintError when the file could not be
  // written whole (the old file, if any, then stays).
  void EndDocument() override;

 private:
  QPainter& Page() override;
  void Discard();

  QString path_;
  std::unique_ptr<QBuffer> buffer_;  // the document until it is written out whole
  std::unique_ptr<QPdfWriter> writer_;
  std::unique_ptr<QPainter> painter_;
  bool pageEnded_ = false;
};

}  // namespace typeloom::platform
