#pragma once
// The decisions of the main window's font display and details panel, without a
// window: size lists, the remembered-size choice, geometry and the panel's lines.
#include "platform/graphics/GraphicsFacts.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace typeloom {
class CFontPreview;
}
namespace typeloom::platform {
class SystemFontFolder;
}

namespace typeloom::app {

struct FontCatalogue;

// The leading decimal number of `text` (blanks before it skipped, an optional sign,
// digits, an optional fraction); 0 when there is none.
double LeadingNumber(const QString& text);
// Rounded to a whole number, halves to the even neighbour.
int RoundHalfEven(double value);
// LeadingNumber rounded half to even, as the lists show it ("#0").
QString SizeEntry(const QString& text);

// The entries of a catalogue sizes text such as "8,10,12,14,18,24".
QStringList FixedSizeEntries(const QString& sizes);

// The standard sizes of a scalable font, each offered only when the text height it
// gives (twips, from `heightAt`) is greater than that of the last size offered.
inline constexpr int kStandardSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
QStringList ScalableSizeEntries(const std::function<int(int points)>& heightAt, int* lastHeight = nullptr);

// The entry the size list ends on when the remembered size is `currentSize`: that
// size when offered, else the largest below it, else the first; the last entry when
// all are below it. -1 for an empty list.
int RememberedSizeIndex(const QStringList& entries, int currentSize);

// Window and drawing-area heights (twips) for the size shown.
inline constexpr int kWindowHeight = 5985;      // plus the caption height
inline constexpr int kTallWindowHeight = 6585;  // for "72"
inline constexpr int kPictureHeight = 1275;
inline constexpr int kTallPictureHeight = 1875;
inline constexpr int kHelpButtonMargin = 60;

// The sample line: "Arial 12-point font".
QString SampleLine(const QString& fontName, const QString& sizeText);

// The details panel's graphics-system lines for a face's facts, in their order.
QStringList GraphicsLines(const platform::TextFacts& facts);
// The version line: the text as it is when it begins with "version " in any case,
// else "Version " and the text; empty for an empty text.
QString VersionLine(const QString& version);
// The copyright label: the text before the first ".", or all of it.
QString FirstSentence(const QString& copyright);

// What ShowDetails puts into the panel for a font-list name.
struct Details {
  bool made = false;  // false: no face could be made; the panel stays empty, the label as it was
  QStringList lines;
  QString copyright;

  // What the lines were made from.
  platform::TextFacts facts;
  bool fileRead = false;  // a font file was found and read; the fields below are its
  QString file;           // its path
  QString version;        // its version text as it is
  bool installed = false;
  QString familyName;     // its name table's family and full names
  QString fullName;
  QString copyrightNotice;  // the whole notice
};
Details BuildDetails(const QString& fontName, const FontCatalogue& catalogue, platform::SystemFontFolder& folder,
                     platform::GraphicsFacts& facts);
// The details of the face `faceName` that `preview` has found in the file it read.
Details BuildFileDetails(const QString& faceName, const CFontPreview& preview, platform::GraphicsFacts& facts);

}  // namespace typeloom::app
