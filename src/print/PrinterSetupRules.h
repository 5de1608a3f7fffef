#pragma once
// The print dialog's decisions, without a window: which printers it lists,
// which one it preselects, how the arrow keys step the copies, and what OK prints.
#include "platform/print/PrintingLayer.h"
#include "print/SamplePage.h"

#include <QStringList>

#include <cstdint>
#include <optional>

namespace typeloom::print {

inline constexpr int kMinCopies = 1;
inline constexpr int kMaxCopies = 99;
inline constexpr char kHiddenPrinter[] = "Rendering Subsystem";

// The printers' names in the system's order, without "Rendering Subsystem"
// (exact, case-sensitive).
QStringList PrinterListItems(const QStringList& printers);

// The item to preselect for the current printer: the first equal one; the last
// item when none is equal; -1 for an empty list.
int PreselectIndex(const QStringList& items, const QString& current);

// Up (38) and Down (40) step `value` by one within [min, max]; other keys
// leave it alone (nullopt).
std::optional<int> StepCopies(int keyCode, int value, int min = kMinCopies, int max = kMaxCopies);

// The count as a 16-bit integer, halves rounded to even; nullopt outside -32768..32767.
std::optional<std::int16_t> CopiesAsInt16(double value);

// OK's printing: makes the printer named `chosen` current (the first of that
// name; the current one stays when none has it), draws `copies` pages of the
// specimen as one job and ends the document. A failing page is skipped and the
// next copy still tried; a count that is no 16-bit integer prints nothing. No
// failure reaches the caller. Returns the pages that printed whole.
int PrintCopies(platform::PrintingLayer& printer, SamplePagePrinter& page, const QString& chosen, double copies);

}  // namespace typeloom::print
