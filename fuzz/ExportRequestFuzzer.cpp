// Fuzz target: the command lines of --render and --specimen. The input is the
// argument list, arguments separated by NUL bytes, each read as the program reads
// its arguments. Traps when an accepted request breaks its limits or a refusal
// gives no reason. (A reason quotes arguments as given; the program escapes the
// line it prints.)
#include "exports/ExportRequest.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace typeloom::exports;
  QStringList arguments;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == 0) {
      arguments << QString::fromLocal8Bit(reinterpret_cast<const char*>(data) + start, static_cast<qsizetype>(i - start));
      start = i + 1;
    }
  }
  const ParsedRequest parsed = ParseExportRequest(arguments);
  if (!parsed.request) {
    if (parsed.error.isEmpty()) std::abort();
    return 0;
  }
  const ExportRequest& r = *parsed.request;
  if (r.output.isEmpty() || !FormatOf(r.output)) std::abort();
  if (!(r.points > 0 && r.points <= kMaxPoints) || !std::isfinite(r.points)) std::abort();
  if (r.dpi < 1 || r.dpi > kMaxDpi) std::abort();
  if (r.canvas.isValid() && !CanvasFits(r.canvas)) std::abort();
  if (r.kind == ExportRequest::Kind::Specimen && r.format != Format::Pdf) std::abort();
  return 0;
}
