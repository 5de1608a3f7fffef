#include "exports/ExportRequest.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace typeloom::exports {

std::optional<Format> FormatOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == u"png") return Format::Png;
  if (suffix == u"svg") return Format::Svg;
  if (suffix == u"pdf") return Format::Pdf;
  return std::nullopt;
}

bool CanvasFits(const QSize& canvas) {
  return canvas.width() >= 1 && canvas.height() >= 1 && canvas.width() <= kMaxCanvasSide &&
         canvas.height() <= kMaxCanvasSide && qint64{canvas.width()} * canvas.height() <= kMaxCanvasPixels;
}

QString SizeText(double points) { return QString::number(points, 'g', 6); }

ParsedRequest ParseExportRequest(const QStringList& arguments) {
  ExportRequest request;
  QStringList seen;
  auto fail = [](const QString& error) { return ParsedRequest{std::nullopt, error}; };
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& option = arguments[i];
    static const QStringList kValued = {"--render", "--specimen", "--font", "--size", "--text", "--dpi", "--canvas"};
    static const QStringList kFlags = {"--bold", "--italic", "--underline", "--strikeout"};
    if (!kValued.contains(option) && !kFlags.contains(option)) {
      return fail(QStringLiteral("unknown option \"%1\" (typeloom --help lists them)").arg(option));
    }
    if (seen.contains(option)) return fail(QStringLiteral("%1 is given twice").arg(option));
    seen << option;
    if (option == u"--bold") {
      request.effects.bold = true;
      continue;
    }
    if (option == u"--italic") {
      request.effects.italic = true;
      continue;
    }
    if (option == u"--underline") {
      request.effects.underline = true;
      continue;
    }
    if (option == u"--strikeout") {
      request.effects.strikeOut = true;
      continue;
    }
    if (i + 1 >= arguments.size()) return fail(QStringLiteral("%1 needs a value").arg(option));
    const QString value = arguments[++i];
    if (option == u"--render" || option == u"--specimen") {
      if (seen.contains(u"--render") && seen.contains(u"--specimen")) {
        return fail(QStringLiteral("--render and --specimen cannot be combined"));
      }
      if (value.isEmpty()) return fail(QStringLiteral("%1 needs a file name").arg(option));
      request.kind = option == u"--render" ? ExportRequest::Kind::Render : ExportRequest::Kind::Specimen;
      request.output = value;
    } else if (option == u"--font") {
      request.font = value;
    } else if (option == u"--text") {
      request.text = value;
    } else if (option == u"--size") {
      bool ok = false;
      const double points = value.toDouble(&ok);
      if (!ok || !std::isfinite(points) || points <= 0 || points > kMaxPoints) {
        return fail(QStringLiteral("--size takes a number of points above 0 and up to %1").arg(kMaxPoints));
      }
      request.points = points;
    } else if (option == u"--dpi") {
      bool ok = false;
      const int dpi = value.toInt(&ok);
      if (!ok || dpi < 1 || dpi > kMaxDpi) return fail(QStringLiteral("--dpi takes a whole number from 1 to %1").arg(kMaxDpi));
      request.dpi = dpi;
    } else if (option == u"--canvas") {
      static const QRegularExpression kSize(QStringLiteral("^([0-9]{1,9})x([0-9]{1,9})$"));
      const auto match = kSize.match(value);
      const QSize canvas = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
      if (!CanvasFits(canvas)) {
        return fail(QStringLiteral("--canvas takes WIDTHxHEIGHT in pixels, each from 1 to %1").arg(kMaxCanvasSide));
      }
      request.canvas = canvas;
    }
  }
  if (request.output.isEmpty()) return fail(QStringLiteral("--render or --specimen names the file to write"));
  if (!seen.contains(u"--font")) return fail(QStringLiteral("--font names the font (a name as --list prints it, or a font file)"));
  const auto format = FormatOf(request.output);
  if (request.kind == ExportRequest::Kind::Specimen) {
    if (format != Format::Pdf) return fail(QStringLiteral("unknown specimen format of \"%1\": --specimen writes .pdf").arg(request.output));
    for (const char* option : {"--size", "--text", "--bold", "--italic", "--underline", "--strikeout", "--dpi", "--canvas"}) {
      if (seen.contains(QLatin1StringView(option))) return fail(QStringLiteral("%1 is for --render only").arg(option));
    }
  } else if (!format) {
    return fail(QStringLiteral("unknown image format of \"%1\": --render writes .png, .svg or .pdf").arg(request.output));
  }
  if (format) request.format = *format;
  return {request, {}};
}

}  // namespace typeloom::exports
