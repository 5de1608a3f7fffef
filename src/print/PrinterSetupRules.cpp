#include "print/PrinterSetupRules.h"

#include <cmath>
#include <limits>

namespace typeloom::print {

QStringList PrinterListItems(const QStringList& printers) {
  QStringList items;
  for (const QString& name : printers) {
    if (name != QLatin1StringView(kHiddenPrinter)) items.append(name);
  }
  return items;
}

int PreselectIndex(const QStringList& items, const QString& current) {
  for (int i = 0; i < items.size(); ++i) {
    if (items[i] == current) return i;
  }
  return static_cast<int>(items.size()) - 1;
}

std::optional<int> StepCopies(int keyCode, int value, int min, int max) {
  switch (keyCode) {
    case 38: return value >= max ? max : value + 1;
    case 40: return value <= min ? min : value - 1;
    default: return std::nullopt;
  }
}

std::optional<std::int16_t> CopiesAsInt16(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);  // default rounding mode: halves to even
  if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

int PrintCopies(platform::PrintingLayer& printer, SamplePagePrinter& page, const QString& chosen, double copies) {
  try {
    for (const QString& name : printer.PrinterNames()) {
      if (name == chosen) {
        printer.SelectPrinter(name);
        break;
      }
    }
  } catch (const platform::PrintError&) {
  }
  if (copies == 0) copies = 1;
  int printed = 0;
  if (const auto n = CopiesAsInt16(copies)) {
    for (int copy = 1; copy <= *n; ++copy) {
      try {
        page.PrintSamplePage();
        ++printed;
      } catch (const platform::PrintError&) {
      }
    }
  }
  try {
    printer.EndDocument();
  } catch (const platform::PrintError&) {
  }
  return printed;
}

}  // namespace typeloom::print
