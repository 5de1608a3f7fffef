#pragma once
// Turns a font-list name into the face that draws it. Every window that draws a
// font-list name (sample, measuring area, details, summary, specimen) resolves it
// here, so all of them show the same face:
//
//   - a fontconfig family ("DejaVu Sans") draws as that family; bold and italic pick
//     the family's bold and italic faces as usual;
//   - a face's full name ("DejaVu Sans Bold Oblique", "C059-Bold") draws in exactly
//     that face: its first family and first style go into QFont::setFamily and
//     QFont::setStyleName (weight and slant are left alone, they come with the style);
//   - a bitmap family's list name with its point sizes ("Fixed 14,18") draws as
//     that family;
//   - a name installed nowhere draws in the substitute the font system picks.
// An installed face draws without font merging (QFont::NoFontMerging): characters
// it lacks show as its own missing-glyph shape, not in another font.
// Effects (bold, italic, strike-through, underline) then apply on top; bold or
// italic on a face that lacks them is synthesised by the font engine.
//
//   QFont font = platform::ResolveFont(name, 12, {.bold = true});
//   platform::FaceLocation face = platform::LocateFace(name);   // file + index for HarfBuzz
//
// Lookups go to fontconfig's current configuration; answers are kept while that
// configuration and the application fonts stay the same.
#include "platform/fonts/SizeListName.h"

#include <QFont>
#include <QRawFont>
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace typeloom::platform {

struct FontEffects {
  bool bold = false;
  bool italic = false;
  bool strikeOut = false;
  bool underline = false;
};

struct FaceLocation {
  enum class Kind { Family, FullName, Substitute };
  Kind kind = Kind::Substitute;
  QString family;    // the face's first family name
  QString style;     // the face's first style name
  std::string file;  // the font file fontconfig gives for the face; empty when none
  int index = 0;     // the face's number within the file (collections); 0 otherwise
  bool scalable = true;       // outlines, as fontconfig sees the face (false: a bitmap face)
  bool fixedSpacing = false;  // fontconfig's spacing is mono or charcell
};

// A number that goes up whenever fontconfig's configuration or its application fonts
// (and so Qt's font database) change, from 1 on: answers derived from the fonts may
// be kept while it stays the same.
std::size_t FontsStamp();

// How many faces of the file at `path` fontconfig lists among the installed fonts
// (its system set: application fonts of this process do not count); the path as
// fontconfig lists it, compared exactly. Kept per path while FontsStamp stays.
int InstalledFaceCount(const std::string& path);

// Whether InstalledFaceCount(path) > 0, without counting every face.
bool IsInstalledPath(const std::string& path);

// Whether an installed face has `name` among its family names, spelled exactly, as
// the last family listing of LocateFace found; nullopt when that listing was for
// another name or the fonts have changed since. Lets a later check of the same name
// skip a second listing over every installed font.
std::optional<bool> LastFamilyListing(std::string_view name);

// The face `name` denotes, with bold and italic as the face request asks for them
// (they only choose among a family's faces; a full name fixes the face).
FaceLocation LocateFace(const QString& name, bool bold = false, bool italic = false);

// The font that draws `name` at `pointSize` points with `effects`. A point size of
// 0 or less leaves the size at QFont's default.
QFont ResolveFont(const QString& name, double pointSize, const FontEffects& effects = {});

// ResolveFont for a face already located (saves a second lookup).
QFont FontForFace(const FaceLocation& face, const QString& name, double pointSize, const FontEffects& effects = {});

// Line heights (ascent and descent, each in whole device pixels) of one font at many point
// sizes, as QFontMetrics gives them on `device`. A QFont per
// size asks fontconfig for a new match every time (a millisecond each with a few
// thousand fonts); a scalable face is matched once here and its engine scaled, which
// gives the same figures. A bitmap face still goes through a QFont per size, so that
// the nearest strike is chosen as drawing chooses it. The face is loaded at
// `loadPointSize`: the size about to be drawn, so that drawing finds the engine made.
class LineHeights {
 public:
  LineHeights(const QFont& font, bool scalable, const QPaintDevice* device, int loadPointSize = 12);
  int AtPointSize(int pointSize);

 private:
  QFont font_;
  const QPaintDevice* device_;
  QRawFont raw_;  // invalid: measure through QFont
  int dpi_;
};

}  // namespace typeloom::platform
