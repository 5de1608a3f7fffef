#pragma once
// The printer object: the installed printers, the current one, and the page
// operations that output goes through. Page coordinates are twips (1/1440 inch)
// from the top-left corner of the printable area; a text is placed by the
// top-left corner of its first character cell.
#include <QString>
#include <QStringList>

#include <cstdint>
#include <stdexcept>

namespace typeloom::platform {

// A page operation that failed: no printer, a job that could not start, a
// device failure.
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The destination that writes the job to a PDF file the user chooses; always
// the last entry of the printer list.
inline constexpr char kPrintToFilePrinter[] = "Print to File (PDF)";

class PrintingLayer {
 public:
  virtual ~PrintingLayer() = default;

  // The installed printers' device names, in the system's order.
  virtual QStringList PrinterNames() = 0;
  // Where output goes: the system default at start, then the last one selected.
  virtual QString CurrentPrinter() const = 0;
  virtual void SelectPrinter(const QString& name) = 0;

  // Font state; each setting stays until it is changed.
  virtual void SetFontName(const QString& face) = 0;
  virtual void SetFontSize(float points) = 0;
  virtual void SetFontBold(bool bold) = 0;
  virtual void SetFontItalic(bool italic) = 0;
  // Current position, in twips.
  virtual void SetCurrentX(int x) = 0;
  virtual void SetCurrentY(int y) = 0;

  // Each throws PrintError when the printer fails. The first output of a
  // document starts the job on the current printer.
  virtual void PrintText(const QString& text) = 0;
  // A straight line between two points in twips; colour 0x00BBGGRR.
  virtual void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t colour) = 0;
  // Ends the page: further output goes to a new page.
  virtual void EndPage() = 0;
  // Ends the document: the job goes to the printer.
  virtual void EndDocument() = 0;
};

}  // namespace typeloom::platform
