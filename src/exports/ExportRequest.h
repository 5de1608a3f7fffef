#pragma once
// The command lines that write a font's sample or specimen to a file:
//
//   typeloom --render OUT.png|OUT.svg|OUT.pdf --font NAME-OR-FILE [--size PT] [--text TEXT]
//            [--bold] [--italic] [--underline] [--strikeout] [--dpi N] [--canvas WxH]
//   typeloom --specimen OUT.pdf --font NAME-OR-FILE
//
// Options come in any order, each once; a value is the next argument (so a text
// may begin with "--").
#include "platform/fonts/FaceResolver.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

namespace typeloom::exports {

enum class Format { Png, Svg, Pdf };

// The format a file name's suffix asks for (compared without regard to case).
std::optional<Format> FormatOf(const QString& path);

inline constexpr double kMaxPoints = 1000;
inline constexpr int kMaxDpi = 2400;
inline constexpr int kDefaultDpi = 96;
// Longest side of a canvas in pixels, and its largest area.
inline constexpr int kMaxCanvasSide = 16384;
inline constexpr qint64 kMaxCanvasPixels = qint64{1} << 26;

struct ExportRequest {
  enum class Kind { Render, Specimen };
  Kind kind = Kind::Render;
  QString output;
  Format format = Format::Png;
  QString font;
  double points = 12;
  std::optional<QString> text;  // none: the sample line the window shows
  platform::FontEffects effects;
  int dpi = kDefaultDpi;
  QSize canvas;  // invalid: just large enough for the line
};

struct ParsedRequest {
  std::optional<ExportRequest> request;
  QString error;  // one line when there is no request
};

// `arguments` without the program's name.
ParsedRequest ParseExportRequest(const QStringList& arguments);

// A canvas fits when each side is 1 to kMaxCanvasSide and its area at most kMaxCanvasPixels.
bool CanvasFits(const QSize& canvas);

// The size as the sample line writes it: "12", "10.5".
QString SizeText(double points);

}  // namespace typeloom::exports
