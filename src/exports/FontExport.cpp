#include "exports/FontExport.h"

#include "app/CommandLineFont.h"
#include "app/FontDisplay.h"
#include "app/SampleDrawing.h"
#include "app/TerminalText.h"
#include "app/WindowSeams.h"
#include "platform/files/AtomicFile.h"
#include "platform/fonts/FontconfigFonts.h"
#include "platform/graphics/GraphicsFacts.h"
#include "platform/print/PdfPrintingLayer.h"
#include "platform/registry/LinuxRegistry.h"
#include "print/SamplePage.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRawFont>
#include <QSvgGenerator>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace typeloom::exports {
namespace {

constexpr double kInchesPerMetre = 39.37007874015748;

// The line as outlines, laid out on `device` as drawing lays it out (the same
// glyphs, advances and synthesised bold or slant), decorations as bars.
QPainterPath LineOutlines(const QFont& font, const QString& text, QPaintDevice& device) {
  QTextLayout layout(text, font, &device);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  layout.endLayout();
  QPainterPath outlines;
  if (!line.isValid()) return outlines;
  const QFontMetricsF metrics(font, &device);
  // DrawSampleLine puts the baseline one ascent below the top.
  const QPointF shift(0, metrics.ascent() - line.ascent());
  for (const QGlyphRun& run : line.glyphRuns()) {
    const QRawFont raw = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
      outlines.addPath(raw.pathForGlyph(glyphs[i]).translated(positions[i] + shift));
    }
  }
  const double baseline = metrics.ascent();
  const double thickness = std::max(1.0, metrics.lineWidth());
  const double width = line.naturalTextWidth();
  if (font.underline()) {
    outlines.addRect(QRectF(0, baseline + std::ceil(metrics.underlinePos()), width, thickness));
  }
  if (font.strikeOut()) {
    outlines.addRect(QRectF(0, baseline - metrics.ascent() / 3 - thickness / 2, width, thickness));
  }
  outlines.setFillRule(Qt::WindingFill);
  return outlines;
}

// The sample drawn on `device`: white canvas, black line.
bool Paint(QPaintDevice& device, const QFont& font, const QString& text, const QSize& canvas, bool outlines) {
  QPainter painter;
  if (!painter.begin(&device)) return false;
  painter.fillRect(QRect(QPoint(0, 0), canvas), Qt::white);
  if (outlines) {
    // The file then shows the face wherever it is viewed, without the font.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(LineOutlines(font, text, device), Qt::black);
  } else {
    app::DrawSampleLine(painter, font, text, Qt::black);
  }
  return painter.end();
}

// The main window's state as the specimen page reads it.
class SpecimenSource final : public app::MainWindowState {
 public:
  SpecimenSource(QString name, QString details) : name_(std::move(name)), details_(std::move(details)) {}
  QWidget* MainWidget() override { return nullptr; }
  QString SelectedFontName() const override { return name_; }
  QString DetailsText() const override { return details_; }
  const QStringList& FontNames() const override { return names_; }
  void EndProgram() override {}

 private:
  QString name_;
  QString details_;
  QStringList names_;
};

}  // namespace

bool WriteSample(const ExportRequest& request, const QString& fontName, QString* error) {
  const QString text = request.text ? *request.text : app::SampleLine(fontName, SizeText(request.points));
  const QFont font = app::SampleFont(fontName, request.points, request.effects);

  // Measured on an image of the request's resolution: the PDF and SVG devices
  // below use the same one.
  QImage probe(1, 1, QImage::Format_RGB32);
  const int dotsPerMetre = static_cast<int>(std::lround(request.dpi * kInchesPerMetre));
  probe.setDotsPerMeterX(dotsPerMetre);
  probe.setDotsPerMeterY(dotsPerMetre);
  const QSize canvas = request.canvas.isValid() ? request.canvas : app::SampleCanvas(font, text, &probe);
  if (!CanvasFits(canvas)) {
    *error = QStringLiteral("the sample would be %1 x %2 pixels, more than fits into one image (at most %3 a side)")
                 .arg(canvas.width())
                 .arg(canvas.height())
                 .arg(kMaxCanvasSide);
    return false;
  }

  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  bool drawn = false;
  switch (request.format) {
    case Format::Png: {
      QImage image(canvas, QImage::Format_RGB32);
      if (image.isNull()) break;
      image.setDotsPerMeterX(dotsPerMetre);
      image.setDotsPerMeterY(dotsPerMetre);
      drawn = Paint(image, font, text, canvas, false) && image.save(&buffer, "PNG");
      break;
    }
    case Format::Svg: {
      QSvgGenerator svg;
      svg.setOutputDevice(&buffer);
      svg.setResolution(request.dpi);
      svg.setSize(canvas);
      svg.setViewBox(QRect(QPoint(0, 0), canvas));
      svg.setTitle(text);
      drawn = Paint(svg, font, text, canvas, true);
      break;
    }
    case Format::Pdf: {
      QPdfWriter pdf(&buffer);
      pdf.setResolution(request.dpi);
      const QSizeF points(canvas.width() * 72.0 / request.dpi, canvas.height() * 72.0 / request.dpi);
      pdf.setPageLayout(QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                                    QPageLayout::Portrait, QMarginsF()));
      pdf.setTitle(text);
      pdf.setCreator(QStringLiteral("Typeloom"));
      drawn = Paint(pdf, font, text, canvas, false);
      break;
    }
  }
  buffer.close();
  if (!drawn) {
    *error = QStringLiteral("cannot write %1: the sample could not be drawn").arg(request.output);
    return false;
  }
  QString why;
  if (!platform::ReplaceFile(request.output, bytes, 0644, &why)) {
    *error = QStringLiteral("cannot write ") + why;
    return false;
  }
  return true;
}

bool WriteSpecimen(const QString& path, const QString& fontName, const QString& details, QString* error) {
  SpecimenSource source(fontName, details);
  platform::PdfPrintingLayer layer(path);
  try {
    print::SamplePagePrinter(source, layer).PrintSamplePage();
    layer.EndDocument();
  } catch (const platform::PrintError& failure) {
    *error = QString::fromStdString(failure.what());
    return false;
  }
  return true;
}

int RunExport(int argc, char** argv) {
  auto fail = [](int code, const QString& error) {
    const QByteArray line = ("typeloom: " + app::EscapeForTerminal(error) + u'\n').toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
    return code;
  };
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const ParsedRequest parsed = ParseExportRequest(arguments);
  if (!parsed.request) return fail(2, parsed.error);
  const ExportRequest& request = *parsed.request;

  // No window: the offscreen platform, whatever display the environment names;
  // standard error carries only this command's own line.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QGuiApplication app(argc, argv);
  auto registry = platform::MakeLinuxRegistry();
  app::CommandLineFont font;
  QString error;
  if (!font.Open(request.font, *registry, platform::LinuxInstalledFonts(), platform::LinuxGraphicsFacts(), &error)) {
    return fail(1, error);
  }
  const bool written = request.kind == ExportRequest::Kind::Specimen
                           ? WriteSpecimen(request.output, font.Name(), font.DetailsText(), &error)
                           : WriteSample(request, font.Name(), &error);
  return written ? 0 : fail(1, error);
}

}  // namespace typeloom::exports
