#pragma once
// The floors' own way to the face a font name stands for: fontconfig asked directly,
// without the program's code.
#include <QFont>
#include <QString>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace typeloom::bench {

// The face a drawn name stands for, as a bare program finds it. A list name
// is a family ("DejaVu Sans"), a face's full name ("DejaVu Sans Bold Oblique") or its
// PostScript name ("C059-BdIta"); QFont(name) alone finds only families and draws
// every other name in a fallback face, which is not the page the window shows. An
// installed face draws without font merging, as in the window.
struct FloorFace {
  QString family;
  QString style;  // empty: the family's regular face
  bool installed = false;
  QByteArray file;  // the face's file with font tables and its index there; empty: none
  int index = 0;
  bool fixedPitch = false;  // fontconfig's spacing: mono, dual or char cell
};

inline FloorFace FaceOf(const QString& name) {
  FloorFace face;
  face.family = name;
  const QByteArray utf8 = name.toUtf8();
  for (const char* object : {FC_FAMILY, FC_FULLNAME, FC_POSTSCRIPT_NAME}) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, object, reinterpret_cast<const FcChar8*>(utf8.constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_SPACING, FC_FONTFORMAT, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set != nullptr && set->nfont > 0) {
      face.installed = true;
      // Of faces with the same name, the first by file and index, as the window takes.
      const auto byFileAndIndex = [](FcPattern* a, FcPattern* b) {
        FcChar8 *fa = nullptr, *fb = nullptr;
        int ia = 0, ib = 0;
        FcPatternGetString(a, FC_FILE, 0, &fa);
        FcPatternGetString(b, FC_FILE, 0, &fb);
        FcPatternGetInteger(a, FC_INDEX, 0, &ia);
        FcPatternGetInteger(b, FC_INDEX, 0, &ib);
        const int byFile = std::strcmp(fa != nullptr ? reinterpret_cast<const char*>(fa) : "",
                                       fb != nullptr ? reinterpret_cast<const char*>(fb) : "");
        return byFile != 0 ? byFile < 0 : ia < ib;
      };
      FcPattern* first = *std::min_element(set->fonts, set->fonts + set->nfont, byFileAndIndex);
      // The window's facts about a face come from its font tables: of the same faces,
      // the first in a file that has them (TrueType or CFF in an sfnt).
      FcPattern* tables = nullptr;
      for (int i = 0; i < set->nfont; ++i) {
        FcChar8* format = nullptr;
        if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch || format == nullptr) continue;
        const std::string_view kind(reinterpret_cast<const char*>(format));
        if ((kind == "TrueType" || kind == "CFF") && (tables == nullptr || byFileAndIndex(set->fonts[i], tables))) {
          tables = set->fonts[i];
        }
      }
      FcChar8* file = nullptr;
      if (tables != nullptr && FcPatternGetString(tables, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        face.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(tables, FC_INDEX, 0, &face.index);
      }
      int spacing = FC_PROPORTIONAL;
      face.fixedPitch = FcPatternGetInteger(first, FC_SPACING, 0, &spacing) == FcResultMatch && spacing != FC_PROPORTIONAL;
      if (object != std::string_view(FC_FAMILY)) {
        FcChar8* family = nullptr;
        FcChar8* style = nullptr;
        FcPatternGetString(first, FC_FAMILY, 0, &family);
        FcPatternGetString(first, FC_STYLE, 0, &style);
        if (family != nullptr) face.family = QString::fromUtf8(reinterpret_cast<const char*>(family));
        if (style != nullptr) face.style = QString::fromUtf8(reinterpret_cast<const char*>(style));
      }
    }
    if (set != nullptr) FcFontSetDestroy(set);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (face.installed) break;
  }
  return face;
}

// The font that draws `face` at `points`: its style when named, and alone (no font
// merging) when installed, as the window draws a sample.
inline QFont FloorFont(const FloorFace& face, int points) {
  QFont font(face.family, points);
  if (!face.style.isEmpty()) font.setStyleName(face.style);
  if (face.installed) font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

}  // namespace typeloom::bench
