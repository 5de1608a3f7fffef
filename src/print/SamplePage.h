#pragma once
// The one-page specimen of the selected font: heading, details, the alphabets
// and digits in regular, bold and italic at 12 points, and a pangram at eight
// sizes. A fixed layout in twips; nothing on it is measured.
#include "app/WindowSeams.h"
#include "platform/print/PrintingLayer.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace typeloom::print {

inline constexpr char kLowerCase[] = "abcdefghijklmnopqrstuvwxyz";
inline constexpr char kUpperCase[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr char kDigitsLine[] = "1234567890.:,;(<{#$%&*!?}>)";
inline constexpr char kPangram[] = "The quick brown fox jumps over the lazy dog.  1234567890";
inline constexpr char kLabelFace[] = "Arial";

// The details text cut into lines at each CR LF pair. A trailing CR LF adds no
// empty line; a CR or LF on its own stays in its line.
QStringList DetailLines(const QString& details);
// Calls `line` for each of those lines in turn, without building the list.
template <typename LineFn>
void ForEachDetailLine(const QString& details, LineFn&& line) {
  QStringView rest(details);
  while (!rest.isEmpty()) {
    const qsizetype cut = rest.indexOf(u"\r\n");
    if (cut < 0) {
      line(rest);
      return;
    }
    line(rest.left(cut));
    rest = rest.mid(cut + 2);
  }
}

// Adds `step` to `lineTop`; PrintError, leaving it unchanged, when the sum
// leaves the 32-bit range.
void AddToLineTop(std::int32_t& lineTop, std::int32_t step);

class SamplePagePrinter {
 public:
  SamplePagePrinter(app::MainWindowState& main, platform::PrintingLayer& printer) : main_(main), printer_(printer) {}

  // Draws one whole page for the font selected in the main window and ends the
  // page. A printing-layer failure or a lineTop overflow ends the drawing at
  // that point and is passed on as PrintError.
  void PrintSamplePage();
  // Bold off, then three black lines across the page at lineTop, +5 and +10.
  void PrintRule();

  // The y of the line being drawn, in twips.
  std::int32_t lineTop = 0;

 private:
  void Font(const QString& face, float points, bool bold, bool italic);
  void Text(int x, const QString& text);

  app::MainWindowState& main_;
  platform::PrintingLayer& printer_;
};

}  // namespace typeloom::print
