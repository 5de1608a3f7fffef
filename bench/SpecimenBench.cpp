// One specimen page through the printing layer onto a PDF printer, against the
// floor: the same texts and rules drawn with a bare QPainter onto a QPrinter.
// Prints specimen/floor at the end.
#include "platform/print/QtPrintingLayer.h"
#include "print/SamplePage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

using namespace typeloom;

struct Main final : app::MainWindowState {
  QWidget* MainWidget() override { return nullptr; }
  QString SelectedFontName() const override { return "DejaVu Serif"; }
  QString DetailsText() const override {
    return "TrueType, variable pitch, vector\r\nFamily: Roman\r\nVersion 2.37\r\nAlready installed\r\n"
           "Copyright (c) 2003 by Bitstream, Inc.";
  }
  const QStringList& FontNames() const override { return names; }
  void EndProgram() override {}
  QStringList names;
};

// The page's operations, recorded once for the floor to replay.
struct Op {
  bool line;
  QString face;
  float points;
  bool bold, italic;
  int x, y, x2, y2;
  QString text;
};
struct Recorder final : platform::PrintingLayer {
  std::vector<Op> ops;
  Op state{};
  QStringList PrinterNames() override { return {}; }
  QString CurrentPrinter() const override { return {}; }
  void SelectPrinter(const QString&) override {}
  void SetFontName(const QString& face) override { state.face = face; }
  void SetFontSize(float points) override { state.points = points; }
  void SetFontBold(bool bold) override { state.bold = bold; }
  void SetFontItalic(bool italic) override { state.italic = italic; }
  void SetCurrentX(int x) override { state.x = x; }
  void SetCurrentY(int y) override { state.y = y; }
  void PrintText(const QString& text) override {
    Op op = state;
    op.line = false;
    op.text = text;
    ops.push_back(op);
  }
  void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t) override {
    Op op = state;
    op.line = true;
    op.x = x1;
    op.y = y1;
    op.x2 = x2;
    op.y2 = y2;
    ops.push_back(op);
  }
  void EndPage() override {}
  void EndDocument() override {}
};

const std::vector<Op>& PageOps() {
  static const std::vector<Op> ops = [] {
    Main main;
    Recorder recorder;
    print::SamplePagePrinter(main, recorder).PrintSamplePage();
    return recorder.ops;
  }();
  return ops;
}

QTemporaryDir& Folder() {
  static QTemporaryDir dir;
  return dir;
}

void BM_Specimen(benchmark::State& state) {
  Main main;
  const QString file = Folder().filePath("specimen.pdf");
  platform::QtPrintingLayer printer([&file](const QString&) { return file; });
  printer.SelectPrinter(platform::kPrintToFilePrinter);
  print::SamplePagePrinter page(main, printer);
  for (auto _ : state) {
    page.PrintSamplePage();
    printer.EndDocument();
  }
}
BENCHMARK(BM_Specimen)->Unit(benchmark::kMillisecond);

void BM_SpecimenFloor(benchmark::State& state) {
  const QString file = Folder().filePath("floor.pdf");
  for (auto _ : state) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QPainter painter(&printer);
    const double sx = printer.logicalDpiX() / 1440.0, sy = printer.logicalDpiY() / 1440.0;
    for (const Op& op : PageOps()) {
      if (op.line) {
        painter.setPen(QPen(Qt::black, 4));
        painter.drawLine(QPointF(op.x * sx, op.y * sy), QPointF(op.x2 * sx, op.y2 * sy));
        continue;
      }
      QFont font(op.face);
      font.setPointSizeF(op.points);
      font.setBold(op.bold);
      font.setItalic(op.italic);
      painter.setFont(font);
      painter.setPen(Qt::black);
      const QFontMetricsF metrics(font, &printer);
      painter.drawText(QPointF(op.x * sx, op.y * sy + metrics.ascent()), op.text);
    }
    painter.end();
  }
}
BENCHMARK(BM_SpecimenFloor)->Unit(benchmark::kMillisecond);


}  // namespace

int main(int argc, char** argv) {
  return typeloom::bench::RunAgainstFloor(argc, argv, "BM_Specimen", "BM_SpecimenFloor",
                                          "specimen page / bare QPainter floor", "should stay near 1");
}
