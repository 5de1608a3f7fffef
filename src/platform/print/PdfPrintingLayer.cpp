#include "platform/print/PdfPrintingLayer.h"

#include "platform/files/AtomicFile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace typeloom::platform {

PdfPrintingLayer::PdfPrintingLayer(QString path) : path_(std::move(path)) {}

PdfPrintingLayer::~PdfPrintingLayer() { Discard(); }

void PdfPrintingLayer::Discard() {
  if (painter_ && painter_->isActive()) painter_->end();
  painter_.reset();
  writer_.reset();
  buffer_.reset();  // never written out: the old file stays
  pageEnded_ = false;
}

QPainter& PdfPrintingLayer::Page() {
  if (!painter_) {
    auto buffer = std::make_unique<QBuffer>();
    buffer->open(QIODevice::WriteOnly);
    auto writer = std::make_unique<QPdfWriter>(buffer.get());
    writer->setResolution(1200);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                      QPageLayout::Point));
    writer->setTitle(QStringLiteral("Typeloom"));
    writer->setCreator(QStringLiteral("Typeloom"));
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(writer.get())) throw PrintError("cannot start the PDF document");
    buffer_ = std::move(buffer);
    writer_ = std::move(writer);
    painter_ = std::move(painter);
    pageEnded_ = false;
  }
  if (pageEnded_) {
    pageEnded_ = false;
    if (!writer_->newPage()) throw PrintError("cannot start a new page");
  }
  return *painter_;
}

void PdfPrintingLayer::EndPage() {
  Page();
  pageEnded_ = true;
}

void PdfPrintingLayer::EndDocument() {
  ForgetFaces();
  if (!painter_) return;
  const bool ended = painter_->end();
  painter_.reset();
  writer_.reset();
  const QByteArray document = buffer_->data();
  Discard();
  if (!ended) throw PrintError("cannot write " + path_.toStdString() + ": the PDF could not be finished");
  QString why;
  if (!ReplaceFile(path_, document, 0644, &why)) throw PrintError("cannot write " + why.toStdString());
}

}  // namespace typeloom::platform
