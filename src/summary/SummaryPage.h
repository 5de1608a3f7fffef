#pragma once
// The summary's page and paging, apart from the window: which fonts a page shows
// and where, how the scroll value moves for a key, and where the window goes.
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace typeloom::summary {

inline constexpr int kRowsPerPage = 16;  // the scroll bar's large change
inline constexpr int kRowHeight = 240;   // twips
inline constexpr int kNameX = 30;
inline constexpr int kSampleX = 1800;
inline constexpr double kPointSize = 8;
inline const QString kSampleText = QStringLiteral("ABCDEFGabcdefg1234567890");
inline constexpr int kSampleKey = 84;  // T, alone: the sample column shows the main window's text, or the fixed one again

// Where the page is drawn: an area in twips that draws text with its top-left
// corner at a point.
class PageSurface {
 public:
  virtual ~PageSurface() = default;
  // Fills the area with its background colour.
  virtual void Clear() = 0;
  // Draws text on the background colour (opaque).
  virtual void DrawText(int x, int y, const QString& text, const QFont& font) = 0;
};

// The font that draws a font-list name at a size.
using FontResolver = std::function<QFont(const QString& name, double pointSize)>;

// What the sample column writes: the fixed sample, or the user's text in each font's
// own face only (a character the face lacks shows as its missing-glyph shape, not
// borrowed from another font).
struct SampleColumn {
  QString text = kSampleText;
  bool ownFaceOnly = false;
};

// The column for the user's text `userText`; the fixed sample when it is empty.
SampleColumn UserSampleColumn(const QString& userText);

// Draws the rows from topIndex on: each font's name and ":" in the label face, then
// the sample in the font itself, 8 points, no styles; at most one page, and only
// fonts that exist.
void DrawPage(PageSurface& surface, const QStringList& names, int topIndex, const QString& labelFontName,
              const FontResolver& resolve, const SampleColumn& column = {});

// The scroll bar: 0 to the last page's top (never below 0: with fewer fonts than a
// page there is nothing to scroll).
struct ScrollRange {
  int minimum = 0;
  int maximum = 0;
};
ScrollRange RangeFor(int fontCount);

// What a key does in the summary window.
struct KeyAction {
  bool close = false;       // close the summary
  bool endProgram = false;  // and end the program
  std::optional<int> value; // a new scroll value, when it moves
  bool toggleSample = false; // switch the sample column's text
};
KeyAction ActionForKey(int keyCode, int shift, int value, const ScrollRange& range);

// The window's outer top-left in twips: centred on the main window, 150 lower and
// 15 further right.
QPoint Placement(const QRect& mainOuter, const QSize& ownOuter);

}  // namespace typeloom::summary
