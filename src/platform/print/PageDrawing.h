#pragma once
// How a printing layer puts texts and rules onto a page device: twips from the
// top-left of the printable area scaled to the device's resolution, a text placed
// by the top of its cell, rules one 300-dpi dot wide. Shared by every layer that
// draws with QPainter (printers, PDF files), so that their pages agree.
#include "platform/fonts/FaceResolver.h"
#include "platform/print/PrintingLayer.h"

#include <QFont>
#include <QString>

#include <cstdint>
#include <map>
#include <tuple>

class QPainter;
class QPaintDevice;

namespace typeloom::platform {

struct PageFont {
  QString face;
  float points = 12.0F;
  bool bold = false;
  bool italic = false;
};

class PageDrawing {
 public:
  // `text` in `font` with the top-left of its first cell at (x, y) twips.
  void Text(QPainter& painter, const QPaintDevice& device, const PageFont& font, int x, int y, const QString& text);
  // A line between two points in twips; colour 0x00BBGGRR.
  void Line(QPainter& painter, const QPaintDevice& device, int x1, int y1, int x2, int y2, std::uint32_t colour);
  // Forgets the faces resolved so far (at the end of a document).
  void Forget();

 private:
  // Faces resolved during a document: a page asks for the same few again and again.
  struct FontKey {
    QString face;
    float points;
    bool bold, italic;
    bool operator<(const FontKey& o) const {
      return std::tie(face, points, bold, italic) < std::tie(o.face, o.points, o.bold, o.italic);
    }
  };
  struct PrintFont {
    QFont font;
    double ascent = 0;  // in device units
    double scale = 1;   // device units per unit of the font's own (a bitmap face's screen pixels)
  };
  std::map<FontKey, PrintFont> fonts_;
  std::map<std::tuple<QString, bool, bool>, FaceLocation> faces_;
};

// A printing layer whose pages are painted with QPainter through PageDrawing: the
// font state, the current position, texts and lines. A subclass supplies the
// painter of the page that output goes to.
class PaintedPrintingLayer : public PrintingLayer {
 public:
  void SetFontName(const QString& face) override { font_.face = face; }
  void SetFontSize(float points) override { font_.points = points; }
  void SetFontBold(bool bold) override { font_.bold = bold; }
  void SetFontItalic(bool italic) override { font_.italic = italic; }
  void SetCurrentX(int x) override { x_ = x; }
  void SetCurrentY(int y) override { y_ = y; }

  void PrintText(const QString& text) override;
  void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) override;

 protected:
  // The painter of the page that output goes to, the document started when none
  // runs; PrintError when that fails.
  virtual QPainter& Page() = 0;
  // At the end of a document.
  void ForgetFaces() { drawing_.Forget(); }

 private:
  PageFont font_;
  int x_ = 0;
  int y_ = 0;
  PageDrawing drawing_;
};

}  // namespace typeloom::platform
