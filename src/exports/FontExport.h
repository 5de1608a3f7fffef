#pragma once
// Writing a font's sample line or its specimen page to a file, without a window.
// Each file is made in memory and written by platform::ReplaceFile (a temporary file
// beside OUT, checked, flushed and renamed over it); on failure OUT stays as it was.
#include "exports/ExportRequest.h"

#include <QString>

namespace typeloom::exports {

// The sample of `fontName` (a name as the font list or the font system knows it)
// as `request` asks for it: the line the main window draws (SampleDrawing.h), black
// on white, on the given canvas or one just large enough, at the request's dpi.
// PNG is the raster image; SVG holds the glyphs as outlines (no font needed to
// view it); PDF embeds the font. False with a one-line reason in *error.
bool WriteSample(const ExportRequest& request, const QString& fontName, QString* error);

// The one-page specimen of `fontName` with the details panel's text `details`
// (lines ended by CR LF), as the printer prints it, to the PDF file `path`.
bool WriteSpecimen(const QString& path, const QString& fontName, const QString& details, QString* error);

// `typeloom --render ...` and `typeloom --specimen ...`: 0 when the file was
// written; otherwise one line on standard error and 2 for a command-line mistake,
// 1 for a failure (no such font, a file that cannot be written).
int RunExport(int argc, char** argv);

}  // namespace typeloom::exports
